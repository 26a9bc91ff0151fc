// A DLL built the way Corvadel.dll must not be: it needs the mingw runtime DLLs beside it and
// exports a name of its own. The checks of the real DLL must fail on it.

#include <string>

extern "C" __declspec (dllexport) int controlTextLength (const char* text)
{
    return (int) std::string (text).size();
}

extern "C" __declspec (dllexport) void* VSTPluginMain (void*)
{
    return nullptr;
}

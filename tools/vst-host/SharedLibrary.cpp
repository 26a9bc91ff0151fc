#include "SharedLibrary.h"

#if defined(_WIN32)
#include <windows.h>

namespace
{
std::string lastErrorText()
{
    const auto code = GetLastError();
    char text[512] = {};
    FormatMessageA (FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof (text) - 1, nullptr);
    return "error " + std::to_string (code) + " " + text;
}
}

SharedLibrary::SharedLibrary (const std::string& path)
{
    handle = LoadLibraryA (path.c_str());

    if (handle == nullptr)
        throw LoadError (lastErrorText());
}

void* SharedLibrary::symbol (const char* name) const
{
    return handle != nullptr ? reinterpret_cast<void*> (GetProcAddress (static_cast<HMODULE> (handle), name)) : nullptr;
}

void SharedLibrary::unload()
{
    if (handle != nullptr)
        FreeLibrary (static_cast<HMODULE> (handle));

    handle = nullptr;
}

std::string SharedLibrary::besideThisProgram (const std::string& fileName)
{
    char path[MAX_PATH] = {};
    const auto length = GetModuleFileNameA (nullptr, path, MAX_PATH);
    std::string folder (path, length);
    return folder.substr (0, folder.find_last_of ("\\/") + 1) + fileName;
}

#else
#include <dlfcn.h>

SharedLibrary::SharedLibrary (const std::string& path)
{
    handle = dlopen (path.c_str(), RTLD_NOW | RTLD_LOCAL);

    if (handle == nullptr)
    {
        // The loader's text repeats the path; the caller names it already.
        const char* reason = dlerror();
        std::string text = reason != nullptr ? reason : "unknown reason";
        const auto pathPrefix = path + ": ";

        if (text.rfind (pathPrefix, 0) == 0)
            text = text.substr (pathPrefix.size());

        throw LoadError (text);
    }
}

void* SharedLibrary::symbol (const char* name) const
{
    return handle != nullptr ? dlsym (handle, name) : nullptr;
}

void SharedLibrary::unload()
{
    if (handle != nullptr)
        dlclose (handle);

    handle = nullptr;
}
#endif

SharedLibrary::~SharedLibrary()
{
    unload();
}

// The DLL's load notifications. Windows builds only.

#if defined(_WIN32)

#include "bridge/LibraryLifetime.h"

#include <windows.h>

// The loader's thread, under the loader lock: waits on nothing.
extern "C" BOOL WINAPI DllMain (HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        LibraryLifetime::onLoad (instance);
    else if (reason == DLL_PROCESS_DETACH)
        // Windows passes a non-null reserved pointer when the process is ending rather than
        // the library being freed.
        LibraryLifetime::onUnload (reserved != nullptr);

    return TRUE;
}

#endif

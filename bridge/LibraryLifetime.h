#pragma once

// Starts the framework when the host loads the library and stops it when the host unloads it.
// The platform's load notifications call these; everything between them may use the framework.
class LibraryLifetime
{
public:
    // The loading thread, inside the platform's loader (on Windows under its loader lock).
    static void onLoad (void* moduleHandle);
    // The unloading thread, inside the platform's loader. When the process is exiting, its other
    // threads are already gone and nothing may be torn down.
    static void onUnload (bool processIsExiting);
};

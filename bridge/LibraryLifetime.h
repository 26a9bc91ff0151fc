#pragma once

// What the library does when the platform loads and unloads it. The framework itself is started
// by the first plug-in instance and stopped by the last one closed (FrameworkReference); these
// hooks only hand over the module and, when a host unloads the library with instances it never
// closed, stop the framework's threads before its code goes away.
class LibraryLifetime
{
public:
    // Loader thread, while the platform loads the library; waits for nothing.
    static void onLoad (void* moduleHandle);

    // Loader thread, while the platform unloads the library or ends the process. When the process
    // is exiting nothing is torn down: the runtime has already destroyed the framework's static
    // objects, and the process's end releases everything anyway.
    static void onUnload (bool processIsExiting);
};

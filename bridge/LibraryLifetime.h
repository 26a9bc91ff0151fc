#pragma once

// Starts the framework when the host loads the library and stops it when the host unloads it.
// The platform's load notifications call these; everything between them may use the framework.
class LibraryLifetime
{
public:
    static void onLoad (void* moduleHandle);
    static void onUnload();
};

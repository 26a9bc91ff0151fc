#pragma once

// Keeps the framework running while at least one plug-in instance exists. The first reference
// starts it (the thread that takes it becomes the framework's message thread); the last one
// released shuts it down again, so a host that closes its instances and then exits, with or
// without unloading the library, leaves nothing of the framework for the process's exit to tear
// down.
//
// Threads: any host thread that creates or closes an instance; waits only for another thread
// starting or stopping the framework at the same moment.
class FrameworkReference
{
public:
    FrameworkReference();
    ~FrameworkReference();

    // The library is being unloaded while instances the host never closed still hold references:
    // the framework's threads must stop before its code goes away. Loader thread only.
    static void shutDownForUnload();

    // How many references are held now.
    static int count();

    FrameworkReference (const FrameworkReference&) = delete;
    FrameworkReference& operator= (const FrameworkReference&) = delete;
};

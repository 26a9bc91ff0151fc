#pragma once

// Xlib reports an X error to one process-wide handler, and the default one ends the process. A
// host may have installed none, so while the plug-in talks to the X server (through the window
// layer's connection or the framework's) on the host's user-interface thread, this trap's handler
// is installed instead and ignores the errors; the host's handler comes back afterwards. The
// framework's requests are answered asynchronously, so the outermost leave first waits until the
// server has answered everything sent on the framework's connection. All of it runs on the host's
// user-interface thread and waits only on the X server.
class X11ErrorTrap
{
public:
    // Stretches nest; only the outermost ones install and restore.
    static void enter();
    static void leave();

    // Around a call into the host from inside a stretch: the host's handler is back until resume,
    // which is given what suspend answered.
    static int suspend();
    static void resume (int suspendedDepth);

    static bool isActive();
    // Errors ignored since the library was loaded.
    static int ignoredErrorCount();

    // Waiting for the server's answers reads the framework's pending events off its connection
    // into Xlib's queue, where the framework's event loop, which waits for the connection to
    // become readable, would not look: the connection's file descriptor while such events wait,
    // otherwise -1.
    static int frameworkConnectionWithQueuedEvents();
};

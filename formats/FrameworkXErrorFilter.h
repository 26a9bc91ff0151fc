#pragma once

// Xlib reports an X error to one process-wide handler, and the default one ends the process. The
// framework's clients talk to the X server for the editor (embedding, events, closing) from calls
// this plug-in does not wrap, and the answers arrive later still, so while any reference to this
// filter exists its handler is installed: errors on the framework's own X connection are ignored,
// every other error goes to the handler that was there before, the host's or Xlib's default.
// The last reference released waits until the server has answered everything sent on the
// framework's connection and, if no one installed a handler over it, puts the previous one back.
//
// Threads: any non-audio host thread; construction and destruction wait on a brief lock and, for
// the last one, on the X server.
class FrameworkXErrorFilter
{
public:
    FrameworkXErrorFilter();
    ~FrameworkXErrorFilter();

    // Errors on the framework's connection ignored since the library was loaded.
    static int ignoredErrorCount();

    FrameworkXErrorFilter (const FrameworkXErrorFilter&) = delete;
    FrameworkXErrorFilter& operator= (const FrameworkXErrorFilter&) = delete;
};

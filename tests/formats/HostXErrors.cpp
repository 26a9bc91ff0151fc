#include "tests/formats/HostXErrors.h"

#include "bridge/FrameworkXConnection.h"

#include <X11/Xlib.h>

#include <atomic>

// Xlib's own handler, the one in force while a program has installed none (declared in Xlibint.h).
extern "C" int _XDefaultError (Display*, XErrorEvent*);

namespace
{
std::atomic<int> ownConnectionErrors { 0 };

int hostHandler (Display* display, XErrorEvent* error)
{
    if (display != nullptr && display == FrameworkXConnection::display())
    {
        ++ownConnectionErrors;
        return 0;
    }

    return _XDefaultError (display, error);
}
}

void HostXErrors::handleOwnConnectionOnly()
{
    XSetErrorHandler (hostHandler);
}

bool HostXErrors::hostHandlerInChain()
{
    const XErrorHandler installed = XSetErrorHandler (hostHandler);
    XSetErrorHandler (installed);
    return installed != nullptr && installed != &_XDefaultError;
}

int HostXErrors::ownErrors()
{
    return ownConnectionErrors.load();
}

#include "tests/formats/HostXErrors.h"

#include <X11/Xlib.h>

// Xlib's own handler, the one in force while a program has installed none (declared in Xlibint.h).
extern "C" int _XDefaultError (Display*, XErrorEvent*);

bool HostXErrors::xlibDefaultHandlerInstalled()
{
    // XSetErrorHandler answers the handler it replaces; setting it back leaves everything as it was.
    const XErrorHandler installed = XSetErrorHandler (nullptr);
    XSetErrorHandler (installed);
    return installed == &_XDefaultError;
}

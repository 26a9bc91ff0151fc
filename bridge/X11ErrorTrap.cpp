#if ! defined(_WIN32)

#include "bridge/X11ErrorTrap.h"

#include "bridge/FrameworkXConnection.h"

#include <X11/Xlib.h>

namespace
{
int depth = 0;
XErrorHandler hostHandler = nullptr;
int ignoredErrors = 0;

int ignoreError (::Display*, XErrorEvent*)
{
    ++ignoredErrors;
    return 0;
}

::Display* frameworkDisplay()
{
    return static_cast<::Display*> (FrameworkXConnection::display());
}
}

void X11ErrorTrap::enter()
{
    if (depth++ == 0)
        hostHandler = XSetErrorHandler (ignoreError);
}

void X11ErrorTrap::leave()
{
    if (depth == 0 || --depth > 0)
        return;

    // The errors of requests still on their way arrive here, while this trap's handler is in place.
    if (auto* d = frameworkDisplay())
        XSync (d, False);

    XSetErrorHandler (hostHandler);
    hostHandler = nullptr;
}

int X11ErrorTrap::suspend()
{
    const int suspendedDepth = depth;

    if (suspendedDepth > 0)
    {
        depth = 1;
        leave();
    }

    return suspendedDepth;
}

void X11ErrorTrap::resume (int suspendedDepth)
{
    if (suspendedDepth <= 0)
        return;

    enter();
    depth = suspendedDepth;
}

bool X11ErrorTrap::isActive()
{
    return depth > 0;
}

int X11ErrorTrap::ignoredErrorCount()
{
    return ignoredErrors;
}

int X11ErrorTrap::frameworkConnectionWithQueuedEvents()
{
    auto* d = frameworkDisplay();
    return d != nullptr && XQLength (d) > 0 ? ConnectionNumber (d) : -1;
}

#endif

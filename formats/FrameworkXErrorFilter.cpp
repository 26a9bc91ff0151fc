#include "formats/FrameworkXErrorFilter.h"

#include "bridge/FrameworkXConnection.h"

#include <X11/Xlib.h>

#include <atomic>
#include <mutex>

namespace
{
std::mutex referencesLock;
int references = 0;
// Whether filterError is in the chain of handlers: installed, or left under another's.
bool inChain = false;
XErrorHandler previousHandler = nullptr;
std::atomic<int> ignoredErrors { 0 };

int filterError (::Display* display, XErrorEvent* error)
{
    if (display != nullptr && display == FrameworkXConnection::display())
    {
        ++ignoredErrors;
        return 0;
    }

    return previousHandler != nullptr ? previousHandler (display, error) : 0;
}
}

FrameworkXErrorFilter::FrameworkXErrorFilter()
{
    const std::lock_guard<std::mutex> lock (referencesLock);

    if (references++ == 0 && ! inChain)
    {
        previousHandler = XSetErrorHandler (filterError);
        inChain = true;
    }
}

FrameworkXErrorFilter::~FrameworkXErrorFilter()
{
    const std::lock_guard<std::mutex> lock (referencesLock);

    if (--references > 0)
        return;

    // The errors of requests still on their way arrive here, while the filter is in place.
    if (auto* display = static_cast<::Display*> (FrameworkXConnection::display()))
        XSync (display, False);

    // A handler installed over this one keeps calling it: it stays, then, rather than leave that
    // handler's owner calling code that may be unloaded.
    const XErrorHandler current = XSetErrorHandler (previousHandler);

    if (current != filterError)
    {
        XSetErrorHandler (current);
        return;
    }

    previousHandler = nullptr;
    inChain = false;
}

int FrameworkXErrorFilter::ignoredErrorCount()
{
    return ignoredErrors;
}

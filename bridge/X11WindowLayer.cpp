#if ! defined(_WIN32)

#include "bridge/X11WindowLayer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>


namespace
{
::Display* asDisplay (void* d)
{
    return static_cast<::Display*> (d);
}

// A bad window id from a host must not end the process through Xlib's default handler: while
// one of these lives, X errors are ignored.
class IgnoredXErrors
{
public:
    IgnoredXErrors() : previous (XSetErrorHandler (ignore)) {}
    ~IgnoredXErrors() { XSetErrorHandler (previous); }

private:
    static int ignore (::Display*, XErrorEvent*) { return 0; }

    XErrorHandler previous;
};
}

X11WindowLayer::X11WindowLayer() = default;

X11WindowLayer::~X11WindowLayer()
{
    if (display != nullptr)
        XCloseDisplay (asDisplay (display));
}

void* X11WindowLayer::connection()
{
    if (! triedToConnect)
    {
        triedToConnect = true;
        display = XOpenDisplay (nullptr);
    }

    return display;
}

NativeWindowLayer::Window X11WindowLayer::parentOf (Window window)
{
    auto* d = asDisplay (connection());

    if (d == nullptr || window == noWindow)
        return noWindow;

    const IgnoredXErrors ignored;
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned int numChildren = 0;
    const Status ok = XQueryTree (d, (::Window) window, &root, &parent, &children, &numChildren);

    if (children != nullptr)
        XFree (children);

    // The root window is the desktop, not a host window.
    if (ok == 0 || parent == root)
        return noWindow;

    return (Window) parent;
}

std::string X11WindowLayer::classNameOf (Window window)
{
    auto* d = asDisplay (connection());

    if (d == nullptr || window == noWindow)
        return {};

    const IgnoredXErrors ignored;
    XClassHint hint {};
    std::string name;

    if (XGetClassHint (d, (::Window) window, &hint) != 0)
    {
        if (hint.res_class != nullptr)
            name = std::string (hint.res_class).substr (0, 31);

        if (hint.res_name != nullptr)
            XFree (hint.res_name);

        if (hint.res_class != nullptr)
            XFree (hint.res_class);
    }

    return name;
}

NativeWindowLayer::Rect X11WindowLayer::windowRect (Window window)
{
    auto* d = asDisplay (connection());
    Rect rect;

    if (d == nullptr || window == noWindow)
        return rect;

    const IgnoredXErrors ignored;
    XWindowAttributes attributes {};

    if (XGetWindowAttributes (d, (::Window) window, &attributes) != 0)
    {
        int x = 0, y = 0;
        ::Window child = 0;
        XTranslateCoordinates (d, (::Window) window, attributes.root, 0, 0, &x, &y, &child);
        rect = { x, y, x + attributes.width, y + attributes.height };
    }

    return rect;
}

void X11WindowLayer::resizeWindow (Window window, int width, int height)
{
    auto* d = asDisplay (connection());

    if (d == nullptr || window == noWindow || width <= 0 || height <= 0)
        return;

    const IgnoredXErrors ignored;
    XResizeWindow (d, (::Window) window, (unsigned) width, (unsigned) height);
    XSync (d, False);
}

void X11WindowLayer::raiseToTop (Window window)
{
    auto* d = asDisplay (connection());

    if (d == nullptr || window == noWindow)
        return;

    const IgnoredXErrors ignored;
    XRaiseWindow (d, (::Window) window);
    XSync (d, False);
}

int X11WindowLayer::fixedFrameThickness()
{
    // X11 windows carry no frame of the application's own; window managers draw theirs outside
    // the host's window.
    return 0;
}

NativeWindowLayer& NativeWindowLayer::platformLayer()
{
    static X11WindowLayer layer;
    return layer;
}

#endif

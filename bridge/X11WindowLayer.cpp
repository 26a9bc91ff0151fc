#if ! defined(_WIN32)

#include "bridge/X11WindowLayer.h"

#include "bridge/FrameworkXConnection.h"
#include "bridge/X11ErrorTrap.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace
{
::Display* asDisplay (void* d)
{
    return static_cast<::Display*> (d);
}

// A bad window id from a host must not end the process through Xlib's default handler.
struct TrappedErrors
{
    TrappedErrors() { X11ErrorTrap::enter(); }
    ~TrappedErrors() { X11ErrorTrap::leave(); }
};

// The framework looks these up once, when it opens its own connection, only if they exist, and
// then uses some of them without checking (WM_STATE and WM_PROTOCOLS as property names). A
// server without a window manager has none of them until a client makes them.
const char* const windowManagerAtomNames[] = {
    "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE", "WM_STATE",
    "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN",
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

    const TrappedErrors trapped;
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

    const TrappedErrors trapped;
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

    const TrappedErrors trapped;
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

    const TrappedErrors trapped;
    XResizeWindow (d, (::Window) window, (unsigned) width, (unsigned) height);
    XSync (d, False);
}

void X11WindowLayer::raiseToTop (Window window)
{
    auto* d = asDisplay (connection());

    if (d == nullptr || window == noWindow)
        return;

    const TrappedErrors trapped;
    XRaiseWindow (d, (::Window) window);
    XSync (d, False);
}

int X11WindowLayer::fixedFrameThickness()
{
    // X11 windows carry no frame of the application's own; window managers draw theirs outside
    // the host's window.
    return 0;
}

bool X11WindowLayer::windowExists (Window window)
{
    auto* d = asDisplay (connection());

    if (d == nullptr || window == noWindow)
        return false;

    const TrappedErrors trapped;

    // A window that the framework has just asked for exists once the server has handled the
    // framework's requests, which travel on its own connection.
    if (auto* framework = asDisplay (FrameworkXConnection::display()))
        XSync (framework, False);

    XWindowAttributes attributes {};
    return XGetWindowAttributes (d, (::Window) window, &attributes) != 0;
}

void X11WindowLayer::beginPluginCalls()
{
    X11ErrorTrap::enter();

    // Before the framework opens its connection, which happens inside the first of these
    // stretches (when the first editor is built).
    if (! madeWindowManagerAtoms)
        makeWindowManagerAtoms();
}

void X11WindowLayer::endPluginCalls()
{
    X11ErrorTrap::leave();
}

int X11WindowLayer::suspendPluginCalls()
{
    return X11ErrorTrap::suspend();
}

void X11WindowLayer::resumePluginCalls (int suspended)
{
    X11ErrorTrap::resume (suspended);
}

void X11WindowLayer::makeWindowManagerAtoms()
{
    auto* d = asDisplay (connection());

    if (d == nullptr)
        return;

    constexpr int count = (int) (sizeof (windowManagerAtomNames) / sizeof (windowManagerAtomNames[0]));
    char* names[count];
    Atom atoms[count];

    for (int i = 0; i < count; ++i)
        names[i] = const_cast<char*> (windowManagerAtomNames[i]);

    const TrappedErrors trapped;
    madeWindowManagerAtoms = XInternAtoms (d, names, count, False, atoms) != 0;
}

NativeWindowLayer& NativeWindowLayer::platformLayer()
{
    static X11WindowLayer layer;
    return layer;
}

#endif

#include "tests/display/XHostWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <png.h>
#include <unistd.h>

namespace
{
std::atomic<int> errors { 0 };

int countXError (::Display*, XErrorEvent*)
{
    ++errors;
    return 0;
}

::Display* asDisplay (void* d)
{
    return static_cast<::Display*> (d);
}

// A virtual X server now and then refuses a connection made right after another one closed;
// a moment later it takes it.
::Display* openDisplay()
{
    for (int attempt = 0; attempt < 20; ++attempt)
    {
        if (auto* d = XOpenDisplay (nullptr))
            return d;

        usleep (50 * 1000);
    }

    return nullptr;
}
}

bool XHostWindow::displayAvailable()
{
    if (auto* d = openDisplay())
    {
        XCloseDisplay (d);
        return true;
    }

    return false;
}

void XHostWindow::countErrorsFromNowOn()
{
    XSetErrorHandler (countXError);
}

int XHostWindow::errorCount()
{
    return errors.load();
}

extern "C" int _XDefaultError (Display*, XErrorEvent*);

bool XHostWindow::xlibDefaultHandlerInstalled()
{
    const XErrorHandler installed = XSetErrorHandler (nullptr);
    XSetErrorHandler (installed);
    return installed == &_XDefaultError;
}

bool XHostWindow::errorCounterInstalled()
{
    const XErrorHandler installed = XSetErrorHandler (countXError);

    if (installed != countXError)
        XSetErrorHandler (installed);

    return installed == countXError;
}

void XHostWindow::destroyOthersWindow (unsigned long id) const
{
    XDestroyWindow (asDisplay (display), id);
    XSync (asDisplay (display), False);
}

XHostWindow::XHostWindow (int width, int height)
{
    display = openDisplay();

    if (display == nullptr)
        return;

    auto* d = asDisplay (display);
    const int screen = DefaultScreen (d);
    window = XCreateSimpleWindow (d, RootWindow (d, screen), 0, 0, (unsigned) width, (unsigned) height, 0,
                                  BlackPixel (d, screen), 0x203040);
    XStoreName (d, window, "Corvadel test host");
    XMapWindow (d, window);
    XSync (d, False);
}

XHostWindow::~XHostWindow()
{
    if (display == nullptr)
        return;

    XDestroyWindow (asDisplay (display), window);
    XCloseDisplay (asDisplay (display));
}

bool XHostWindow::windowManagerRunning() const
{
    auto* d = asDisplay (display);
    const Atom check = XInternAtom (d, "_NET_SUPPORTING_WM_CHECK", True);

    if (check == None)
        return false;

    Atom type = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty (d, DefaultRootWindow (d), check, 0, 1, False, AnyPropertyType, &type, &format, &items,
                        &remaining, &data);

    if (data != nullptr)
        XFree (data);

    return type != None;
}

bool XHostWindow::atomExists (const char* name)
{
    auto* d = openDisplay();

    if (d == nullptr)
        return false;

    const bool exists = XInternAtom (d, name, True) != None;
    XCloseDisplay (d);
    return exists;
}

unsigned long XHostWindow::vanishedWindowId() const
{
    // Made on this host's own connection, whose ids are never handed out twice.
    auto* d = asDisplay (display);
    const ::Window w = XCreateSimpleWindow (d, window, 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow (d, w);
    XSync (d, False);
    return w;
}

std::vector<XHostWindow::ChildWindow> XHostWindow::children() const
{
    std::vector<ChildWindow> found;
    auto* d = asDisplay (display);
    ::Window root = 0, parent = 0;
    ::Window* list = nullptr;
    unsigned int count = 0;
    XSync (d, False);

    if (XQueryTree (d, window, &root, &parent, &list, &count) == 0)
        return found;

    for (unsigned int i = 0; i < count; ++i)
    {
        XWindowAttributes a {};

        if (XGetWindowAttributes (d, list[i], &a) != 0)
            found.push_back ({ list[i], a.x, a.y, a.width, a.height, a.map_state == IsViewable });
    }

    if (list != nullptr)
        XFree (list);

    return found;
}

int XHostWindow::viewableTopLevelWindows() const
{
    auto* d = asDisplay (display);
    ::Window root = 0, parent = 0;
    ::Window* list = nullptr;
    unsigned int count = 0;
    int viewable = 0;
    XSync (d, False);

    if (XQueryTree (d, DefaultRootWindow (d), &root, &parent, &list, &count) == 0)
        return 0;

    for (unsigned int i = 0; i < count; ++i)
    {
        XWindowAttributes a {};

        if (XGetWindowAttributes (d, list[i], &a) != 0 && a.map_state == IsViewable)
            ++viewable;
    }

    if (list != nullptr)
        XFree (list);

    return viewable;
}

int XHostWindow::width() const
{
    XWindowAttributes a {};
    XGetWindowAttributes (asDisplay (display), window, &a);
    return a.width;
}

int XHostWindow::height() const
{
    XWindowAttributes a {};
    XGetWindowAttributes (asDisplay (display), window, &a);
    return a.height;
}

uint32_t XHostWindow::pixel (int x, int y) const
{
    auto* d = asDisplay (display);
    XSync (d, False);
    XImage* image = XGetImage (d, window, x, y, 1, 1, AllPlanes, ZPixmap);

    if (image == nullptr)
        return 0xDEADBEEF;

    const uint32_t value = (uint32_t) XGetPixel (image, 0, 0) & 0xFFFFFF;
    XDestroyImage (image);
    return value;
}

bool XHostWindow::savePng (const std::string& path) const
{
    auto* d = asDisplay (display);
    XSync (d, False);
    const int w = width(), h = height();
    XImage* image = XGetImage (d, window, 0, 0, (unsigned) w, (unsigned) h, AllPlanes, ZPixmap);

    if (image == nullptr)
        return false;

    FILE* file = std::fopen (path.c_str(), "wb");
    bool written = false;

    if (file != nullptr)
    {
        png_structp png = png_create_write_struct (PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct (png);

        if (png != nullptr && info != nullptr && setjmp (png_jmpbuf (png)) == 0)
        {
            png_init_io (png, file);
            png_set_IHDR (png, info, (png_uint_32) w, (png_uint_32) h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                          PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
            png_write_info (png, info);
            std::vector<png_byte> row ((size_t) w * 3);

            for (int y = 0; y < h; ++y)
            {
                for (int x = 0; x < w; ++x)
                {
                    const auto p = XGetPixel (image, x, y);
                    row[(size_t) x * 3] = (png_byte) ((p >> 16) & 0xFF);
                    row[(size_t) x * 3 + 1] = (png_byte) ((p >> 8) & 0xFF);
                    row[(size_t) x * 3 + 2] = (png_byte) (p & 0xFF);
                }

                png_write_row (png, row.data());
            }

            png_write_end (png, nullptr);
            written = true;
        }

        png_destroy_write_struct (&png, &info);
        std::fclose (file);
    }

    XDestroyImage (image);
    return written;
}

void XHostWindow::moveMouse (int x, int y) const
{
    auto* d = asDisplay (display);
    int rootX = 0, rootY = 0;
    ::Window child = 0;
    XTranslateCoordinates (d, window, DefaultRootWindow (d), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent (d, -1, rootX, rootY, CurrentTime);
    XSync (d, False);
}

void XHostWindow::moveMouseOnScreen (int x, int y) const
{
    XTestFakeMotionEvent (asDisplay (display), -1, x, y, CurrentTime);
    XSync (asDisplay (display), False);
}

void XHostWindow::pressButton (int button) const
{
    XTestFakeButtonEvent (asDisplay (display), (unsigned) button, True, CurrentTime);
    XSync (asDisplay (display), False);
}

void XHostWindow::releaseButton (int button) const
{
    XTestFakeButtonEvent (asDisplay (display), (unsigned) button, False, CurrentTime);
    XSync (asDisplay (display), False);
}

void XHostWindow::sync() const
{
    XSync (asDisplay (display), False);
}

void XHostWindow::typeKeys (std::initializer_list<unsigned long> keysyms) const
{
    auto* d = asDisplay (display);

    for (auto keysym : keysyms)
        XTestFakeKeyEvent (d, XKeysymToKeycode (d, keysym), True, CurrentTime);

    for (auto it = std::rbegin (keysyms); it != std::rend (keysyms); ++it)
        XTestFakeKeyEvent (d, XKeysymToKeycode (d, *it), False, CurrentTime);

    XSync (d, False);
}

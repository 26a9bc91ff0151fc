#pragma once

#include <cstdint>
#include <string>

// The few native window calls that placing the editor in a host's window needs: an X11
// implementation on Linux, a Win32 one on Windows, and a fake window tree in the tests.
class NativeWindowLayer
{
public:
    using Window = uintptr_t;  // 0 names no window
    static constexpr Window noWindow = 0;

    struct Rect
    {
        int left = 0, top = 0, right = 0, bottom = 0;
        int width() const noexcept { return right - left; }
        int height() const noexcept { return bottom - top; }
    };

    virtual ~NativeWindowLayer() = default;

    // Whether the handle names a window that exists now. A layer that cannot tell answers true
    // for every handle but noWindow.
    virtual bool isWindow (Window window) { return window != noWindow; }

    // The window's parent, or noWindow for a top-level window.
    virtual Window parentOf (Window window) = 0;
    // The window's class name, at most 31 characters.
    virtual std::string classNameOf (Window window) = 0;
    virtual Rect windowRect (Window window) = 0;
    // Resizes without moving or restacking the window.
    virtual void resizeWindow (Window window, int width, int height) = 0;
    virtual void raiseToTop (Window window) = 0;
    virtual int fixedFrameThickness() = 0;

    // The layer of the platform this plug-in runs on; lives as long as the library.
    static NativeWindowLayer& platformLayer();
};

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

    // The window's parent, or noWindow for a top-level window.
    virtual Window parentOf (Window window) = 0;
    // The window's class name, at most 31 characters.
    virtual std::string classNameOf (Window window) = 0;
    virtual Rect windowRect (Window window) = 0;
    // Resizes without moving or restacking the window.
    virtual void resizeWindow (Window window, int width, int height) = 0;
    virtual void raiseToTop (Window window) = 0;
    virtual int fixedFrameThickness() = 0;
    // Whether the window exists now: a host may hand over a window that it has already closed.
    virtual bool windowExists (Window window) = 0;

    // The plug-in's own window-system work on the host's thread, this layer's and the
    // framework's, runs between these two. Inside, the errors it causes are ignored instead of
    // reaching the host's error handling (on X11, Xlib's default handler ends the process); after
    // the outermost end every request has been answered and the host's handling is back. Pairs
    // nest. See PluginWindowCalls.
    virtual void beginPluginCalls() = 0;
    virtual void endPluginCalls() = 0;
    // Around a call into the host from inside such a stretch: the host's handling applies until
    // resumePluginCalls is given what this answered.
    virtual int suspendPluginCalls() = 0;
    virtual void resumePluginCalls (int suspended) = 0;

    // The layer of the platform this plug-in runs on; lives as long as the library.
    static NativeWindowLayer& platformLayer();
};

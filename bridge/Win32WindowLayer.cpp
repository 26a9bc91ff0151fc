#if defined(_WIN32)

#include "bridge/Win32WindowLayer.h"

#include <windows.h>

namespace
{
HWND asHandle (NativeWindowLayer::Window window)
{
    return reinterpret_cast<HWND> (window);
}
}

NativeWindowLayer::Window Win32WindowLayer::parentOf (Window window)
{
    return reinterpret_cast<Window> (GetParent (asHandle (window)));
}

std::string Win32WindowLayer::classNameOf (Window window)
{
    char name[32] = {};
    GetClassNameA (asHandle (window), name, 31);
    return name;
}

NativeWindowLayer::Rect Win32WindowLayer::windowRect (Window window)
{
    RECT r {};
    GetWindowRect (asHandle (window), &r);
    return { (int) r.left, (int) r.top, (int) r.right, (int) r.bottom };
}

void Win32WindowLayer::resizeWindow (Window window, int width, int height)
{
    SetWindowPos (asHandle (window), nullptr, 0, 0, width, height,
                  SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void Win32WindowLayer::raiseToTop (Window window)
{
    SetWindowPos (asHandle (window), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

int Win32WindowLayer::fixedFrameThickness()
{
    return GetSystemMetrics (SM_CYFIXEDFRAME);
}

bool Win32WindowLayer::windowExists (Window window)
{
    return window != noWindow && IsWindow (asHandle (window)) != FALSE;
}

NativeWindowLayer& NativeWindowLayer::platformLayer()
{
    static Win32WindowLayer layer;
    return layer;
}

#endif

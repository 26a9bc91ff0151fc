#pragma once

#include "bridge/NativeWindowLayer.h"

// The window layer on X11. It keeps a display connection of its own, opened on first use; with
// no X server every window looks like a top-level window of size 0 and nothing is changed.
// Xlib's headers stay in the source file: they clash with the framework's names.
class X11WindowLayer : public NativeWindowLayer
{
public:
    X11WindowLayer();
    ~X11WindowLayer() override;

    Window parentOf (Window window) override;
    std::string classNameOf (Window window) override;
    Rect windowRect (Window window) override;
    void resizeWindow (Window window, int width, int height) override;
    void raiseToTop (Window window) override;
    int fixedFrameThickness() override;

private:
    void* connection();

    void* display = nullptr;
    bool triedToConnect = false;
};

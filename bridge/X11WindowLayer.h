#pragma once

#include "bridge/NativeWindowLayer.h"

// The window layer on X11. It keeps a display connection of its own, opened on first use; with
// no X server every window looks like a top-level window of size 0 and nothing is changed. Its
// requests, and the framework's between beginPluginCalls and endPluginCalls, run inside an
// X11ErrorTrap. Xlib's headers stay in the source file: they clash with the framework's names.
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
    bool windowExists (Window window) override;

    void beginPluginCalls() override;
    void endPluginCalls() override;
    int suspendPluginCalls() override;
    void resumePluginCalls (int suspended) override;

private:
    void* connection();
    void makeWindowManagerAtoms();

    void* display = nullptr;
    bool triedToConnect = false;
    bool madeWindowManagerAtoms = false;
};

#pragma once

#include "bridge/NativeWindowLayer.h"

// The window layer on Windows, over the Win32 calls the walks need. Windows builds only.
class Win32WindowLayer : public NativeWindowLayer
{
public:
    Window parentOf (Window window) override;
    std::string classNameOf (Window window) override;
    Rect windowRect (Window window) override;
    void resizeWindow (Window window, int width, int height) override;
    void raiseToTop (Window window) override;
    int fixedFrameThickness() override;
    bool windowExists (Window window) override;

    // Win32 reports a failed call through its answer; nothing ends the host.
    void beginPluginCalls() override {}
    void endPluginCalls() override {}
    int suspendPluginCalls() override { return 0; }
    void resumePluginCalls (int) override {}
};

#pragma once

#include "bridge/NativeWindowLayer.h"

#include <map>
#include <vector>

// A window tree in memory: each window has a parent, a class name and a rectangle, and the
// layer records every resize and raise made on it.
class FakeWindowTree : public NativeWindowLayer
{
public:
    struct FakeWindow
    {
        Window parent = noWindow;
        std::string className;
        Rect rect;
    };

    Window add (Window parent, int width, int height, const std::string& className = "HostFrame")
    {
        const Window id = nextId++;
        windows[id] = { parent, className, { 0, 0, width, height } };
        return id;
    }

    Window parentOf (Window w) override { return windows.count (w) ? windows[w].parent : noWindow; }
    std::string classNameOf (Window w) override { return windows.count (w) ? windows[w].className : std::string(); }
    Rect windowRect (Window w) override { return windows.count (w) ? windows[w].rect : Rect(); }

    void resizeWindow (Window w, int width, int height) override
    {
        resized.push_back ({ w, width, height });

        if (windows.count (w))
        {
            windows[w].rect.right = windows[w].rect.left + width;
            windows[w].rect.bottom = windows[w].rect.top + height;
        }
    }

    void raiseToTop (Window w) override { raised.push_back (w); }
    int fixedFrameThickness() override { return frame; }
    bool windowExists (Window w) override { return windows.count (w) != 0; }

    // A tree in memory reports no errors to anyone.
    void beginPluginCalls() override {}
    void endPluginCalls() override {}
    int suspendPluginCalls() override { return 0; }
    void resumePluginCalls (int) override {}

    struct Resize
    {
        Window window;
        int width, height;
        bool operator== (const Resize& o) const { return window == o.window && width == o.width && height == o.height; }
    };

    std::map<Window, FakeWindow> windows;
    std::vector<Resize> resized;
    std::vector<Window> raised;
    int frame = 3;

private:
    Window nextId = 100;
};

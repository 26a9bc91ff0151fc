#include "bridge/HostWindowChain.h"

#include <algorithm>
#include <cctype>

namespace
{
constexpr int largestHostMargin = 100;
// Real window trees are shallow; the bound only guards against a tree that loops.
constexpr int deepestWalk = 64;
}

bool HostWindowChain::isMdiClient (NativeWindowLayer& layer, NativeWindowLayer::Window window)
{
    std::string name = layer.classNameOf (window).substr (0, 31);
    std::transform (name.begin(), name.end(), name.begin(), [] (unsigned char c) { return (char) std::tolower (c); });
    return name == "mdiclient";
}

void HostWindowChain::resizeChain (NativeWindowLayer& layer, NativeWindowLayer::Window editorWindow, int width, int height)
{
    if (editorWindow == NativeWindowLayer::noWindow)
        return;

    const int frame = layer.fixedFrameThickness();
    int dw = 0, dh = 0;
    auto current = editorWindow;

    for (int level = 0; level < deepestWalk; ++level)
    {
        const auto parent = layer.parentOf (current);

        if (parent == NativeWindowLayer::noWindow || isMdiClient (layer, parent))
        {
            layer.resizeWindow (current, width + dw, height + dh);
            return;
        }

        const auto currentRect = layer.windowRect (current);
        const auto parentRect = layer.windowRect (parent);

        layer.resizeWindow (current, width + dw, height + dh);

        dw = parentRect.width() - currentRect.width();
        dh = parentRect.height() - currentRect.height();
        current = parent;

        if (dw == 2 * frame)
        {
            layer.resizeWindow (current, width + dw, height + dh);
            return;
        }

        if (dw > largestHostMargin || dh > largestHostMargin)
            return;
    }
}

NativeWindowLayer::Window HostWindowChain::findHostFrameWindow (NativeWindowLayer& layer, NativeWindowLayer::Window window)
{
    if (window == NativeWindowLayer::noWindow)
        return NativeWindowLayer::noWindow;

    const int frame = layer.fixedFrameThickness();
    auto current = window;

    for (int level = 0; level < deepestWalk; ++level)
    {
        const auto parent = layer.parentOf (current);

        if (parent == NativeWindowLayer::noWindow)
            return current;

        if (isMdiClient (layer, parent))
            return parent;

        const auto currentRect = layer.windowRect (current);
        const auto parentRect = layer.windowRect (parent);
        const int dw = parentRect.width() - currentRect.width();
        const int dh = parentRect.height() - currentRect.height();

        if (dw > largestHostMargin || dh > largestHostMargin)
            return current;

        current = parent;

        if (dw == 2 * frame)
            return current;
    }

    return current;
}

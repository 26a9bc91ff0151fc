#pragma once

#include "bridge/NativeWindowLayer.h"

// Walks from the editor's window up through the host's windows. Hosts wrap a plug-in's window in
// frames of their own; these walks find how far up a size change has to go and which window is
// the host's frame.
class HostWindowChain
{
public:
    // Gives the editor window the new size and every enclosing host window the new size plus the
    // margin it had around the window below it, stopping at an MDI client, at a frame exactly two
    // frame thicknesses wider than its child (resized, then the walk ends), or at a parent more
    // than 100 pixels wider or taller than its child (left alone).
    static void resizeChain (NativeWindowLayer& layer, NativeWindowLayer::Window editorWindow, int width, int height);

    // The host's frame around the editor window: an MDI client itself, the first window exactly
    // two frame thicknesses wider than its child, or the last window before a parent more than
    // 100 pixels larger.
    static NativeWindowLayer::Window findHostFrameWindow (NativeWindowLayer& layer, NativeWindowLayer::Window window);

private:
    static bool isMdiClient (NativeWindowLayer& layer, NativeWindowLayer::Window window);
};

#pragma once

#include "bridge/NativeWindowLayer.h"

// Marks a stretch of the plug-in's own window-system work (embedding, idling, resizing, closing
// the editor): see NativeWindowLayer::beginPluginCalls. Host's user-interface thread; waits on the
// window system only.
class PluginWindowCalls
{
public:
    explicit PluginWindowCalls (NativeWindowLayer& windowLayer = NativeWindowLayer::platformLayer())
        : layer (windowLayer)
    {
        layer.beginPluginCalls();
    }

    ~PluginWindowCalls() { layer.endPluginCalls(); }

    // A call into the host made inside such a stretch runs with the host's own error handling.
    class HostCall
    {
    public:
        explicit HostCall (NativeWindowLayer& windowLayer = NativeWindowLayer::platformLayer())
            : layer (windowLayer), suspended (layer.suspendPluginCalls())
        {
        }

        ~HostCall() { layer.resumePluginCalls (suspended); }

        HostCall (const HostCall&) = delete;
        HostCall& operator= (const HostCall&) = delete;

    private:
        NativeWindowLayer& layer;
        const int suspended;
    };

    PluginWindowCalls (const PluginWindowCalls&) = delete;
    PluginWindowCalls& operator= (const PluginWindowCalls&) = delete;

private:
    NativeWindowLayer& layer;
};

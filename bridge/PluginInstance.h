#pragma once

#include "bridge/FrameworkReference.h"
#include "bridge/JuceVSTWrapper.h"

// One instance as the host gets it from the entry point: the bridge around a new chord player,
// with the framework running from before the bridge is built until after it is destroyed (the
// reference is the first base, so it is taken first and released last).
class PluginInstance final : private FrameworkReference,
                             public JuceVSTWrapper
{
public:
    // Host thread calling the entry point. Fails by throwing; what was built is released.
    explicit PluginInstance (audioMasterCallback hostCallback);
};

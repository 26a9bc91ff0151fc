#include "bridge/PluginInstance.h"

#include "engine/Corvadel.h"

// The filter is created only once the framework runs. If it cannot be built, the reference is
// released again; once the bridge's constructor has started, the bridge owns the filter.
PluginInstance::PluginInstance (audioMasterCallback hostCallback)
    : FrameworkReference(),
      JuceVSTWrapper (hostCallback, createFilterInstance())
{
}

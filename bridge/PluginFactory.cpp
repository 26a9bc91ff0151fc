// The effect factory that the entry point calls.

#include "bridge/PluginInstance.h"
#include "host/EffectFactory.h"

AudioEffect* createEffectInstance (audioMasterCallback hostCallback)
{
    return new PluginInstance (hostCallback);
}

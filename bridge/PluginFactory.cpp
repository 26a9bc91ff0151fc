// The effect factory that the entry point calls: a bridge around a new chord player.

#include "bridge/JuceVSTWrapper.h"
#include "engine/Corvadel.h"
#include "host/EffectFactory.h"

void prepareForEffectCreation()
{
    // Instances share the process's one message manager; normally the library's load hook has
    // made it already.
    juce::MessageManager::getInstance();
}

AudioEffect* createEffectInstance (audioMasterCallback hostCallback)
{
    // The bridge owns the filter from its first member on; if its construction fails, the
    // filter goes with it, and the new-expression releases the bridge's memory.
    return new JuceVSTWrapper (hostCallback, createFilterInstance());
}

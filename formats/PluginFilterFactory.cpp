#include "formats/FilterProcessor.h"

// The framework's plug-in clients build each instance through this. Host's thread creating the
// instance.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new FilterProcessor();
}

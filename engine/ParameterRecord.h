#pragma once

#include <juce_core/juce_core.h>

// One registered parameter: where its plain value lives and the range that the host's
// normalised 0..1 maps onto.
struct ParameterRecord
{
    float* valuePtr = nullptr;  // owned by whoever registered the parameter
    juce::String name;
    float minimum = 0.0f;
    float maximum = 1.0f;
};

#pragma once

#include <cstdint>

// What a filter declares about itself, once, when the bridge is built around it.
struct FilterProperties
{
    int32_t uniqueId = 0;           // 0: the bridge derives one from the product and vendor names
    int32_t numInputChannels = 2;   // at most 32
    int32_t numOutputChannels = 2;  // at most 32
    int32_t latencySamples = 0;
    bool isSynth = false;
    bool wantsMidiInput = false;
    bool producesMidiOutput = false;
    bool hasNoTail = false;
    bool wantsKeyboardInput = true;
};

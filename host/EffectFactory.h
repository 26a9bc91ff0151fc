#pragma once

#include "host/VstInterface.h"

class AudioEffect;

// The entry point knows only the effect base class; the layer that knows the concrete effect
// supplies these two functions.

// Runs for every instance request before the host is asked anything.
void prepareForEffectCreation();

// Builds one effect object for the host. Fails by throwing.
AudioEffect* createEffectInstance (audioMasterCallback hostCallback);

#pragma once

#include "host/VstInterface.h"

class AudioEffect;

// The entry point knows only the effect base class; the layer that knows the concrete effect
// supplies this function.

// Builds one effect object for the host: host thread calling the entry point, after the host
// has said it wants an instance. Fails by throwing.
AudioEffect* createEffectInstance (audioMasterCallback hostCallback);

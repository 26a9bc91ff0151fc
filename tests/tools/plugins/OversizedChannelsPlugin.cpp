// A plug-in whose effect record claims 2^31 - 1 audio inputs and as many outputs: a host must
// not believe it. Everything else is a well-formed effect that answers nothing and plays nothing.

#include "host/VstInterface.h"

#include <new>

namespace
{
constexpr VstInt32 claimedChannels = 0x7fffffff;

// Any thread; waits on nothing.
VstIntPtr dispatch (AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == effClose)
        delete effect;

    return 0;
}

// Audio thread; waits on nothing.
void processNothing (AEffect*, float**, float**, VstInt32) {}
}

// The host's thread that creates instances; waits on nothing.
extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback)
{
    auto* effect = new (std::nothrow) AEffect {};

    if (effect == nullptr)
        return nullptr;

    effect->magic = kEffectMagic;
    effect->dispatcher = dispatch;
    effect->process = processNothing;
    effect->processReplacing = processNothing;
    effect->numInputs = claimedChannels;
    effect->numOutputs = claimedChannels;
    effect->uniqueID = 0x4f766572;  // 'Over'
    effect->version = 1;
    return effect;
}

#include "host/AudioEffect.h"
#include "host/EffectFactory.h"

#define CORVADEL_EXPORT extern "C" __attribute__ ((visibility ("default"), used))

// Any host thread, once per instance it wants; that thread becomes the framework's message
// thread when it creates the first instance. Waits on the host's version answer.
CORVADEL_EXPORT AEffect* VSTPluginMain (audioMasterCallback hostCallback)
{
    // The version request also tells whether the host wants an instance at all.
    if (hostCallback == nullptr || hostCallback (nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;

    try
    {
        if (auto* effect = createEffectInstance (hostCallback))
            return effect->getAeffect();
    }
    catch (...)
    {
    }

    return nullptr;
}

// Older hosts look the entry up as "main". The compiler refuses a C function called main that
// returns a pointer, so the second name is given at the assembler level.
extern "C" AEffect* corvadelMainEntry (audioMasterCallback hostCallback)
    __asm__ ("main") __attribute__ ((visibility ("default"), used, alias ("VSTPluginMain")));

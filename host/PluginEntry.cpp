#include "host/AudioEffect.h"
#include "host/EffectFactory.h"

#if defined(_WIN32)
// A DLL exports what host/exports.def names; that file also gives the entry its second name.
#define CORVADEL_EXPORT extern "C"
#else
#define CORVADEL_EXPORT extern "C" __attribute__ ((visibility ("default"), used))
#endif

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

#if ! defined(_WIN32)
// Older hosts look the entry up as "main". The compiler refuses a C function called main that
// returns a pointer, so the second name is given at the assembler level.
extern "C" AEffect* corvadelMainEntry (audioMasterCallback hostCallback)
    __asm__ ("main") __attribute__ ((visibility ("default"), used, alias ("VSTPluginMain")));
#endif

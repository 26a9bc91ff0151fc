#pragma once

#include "tests/fuzz/FuzzRandom.h"
#include "tests/support/PluginHost.h"

#include <string>

// Dispatcher calls with random arguments, each with the pointer its opcode's contract asks for:
// text buffers exactly as long as the host promises (so a longer write is caught), zero-ended
// text, the records the opcode names, pointers to pointers. The opcodes whose effect on the
// instance the fuzzer follows (close, switching on and off, the editor, the state, events) are
// left to the fuzzer's own steps.
class DispatcherFuzzer
{
public:
    explicit DispatcherFuzzer (FuzzRandom& randomToUse) : random (randomToUse) {}

    static bool isLeftToTheFuzzer (VstInt32 opcode);

    // The first rule the answer breaks, or an empty string.
    std::string callRandom (PluginHost& host, AEffect* effect);
    std::string call (PluginHost& host, AEffect* effect, VstInt32 opcode);

    VstInt32 randomOpcode();

private:
    std::string askForText (PluginHost& host, AEffect* effect, VstInt32 opcode, size_t maxCharacters);
    VstIntPtr askForSpeakers (PluginHost& host, AEffect* effect);
    VstIntPtr giveText (PluginHost& host, AEffect* effect, VstInt32 opcode, size_t maxCharacters);
    VstIntPtr giveRecord (PluginHost& host, AEffect* effect, VstInt32 opcode, size_t recordSize);
    VstIntPtr giveSpeakers (PluginHost& host, AEffect* effect);
    std::string randomText (size_t maxCharacters);

    FuzzRandom& random;
};

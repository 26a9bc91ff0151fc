#include "tests/fuzz/DispatcherFuzzer.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace
{
constexpr uint8_t untouched = 0xA5;
// Text limits of the interface: parameter names and labels, program names, effect, vendor and
// product names and display texts.
constexpr size_t paramTextLength = 8;
constexpr size_t programNameLength = 24;
constexpr size_t longTextLength = 64;
constexpr size_t errorTextLength = 255;
// Records the host owns; their size as the interface lays them out, rounded up.
constexpr size_t passedRecordSize = 512;

const char* const hostWords[] = { "receiveVstEvents", "receiveVstMidiEvents", "sendVstEvents", "sendVstMidiEvent",
                                  "receiveVstTimeInfo", "conformsToWindowRules", "ReceiveVstEvents", "bypass",
                                  "midiProgramNames", "", "sizeWindow" };
}

bool DispatcherFuzzer::isLeftToTheFuzzer (VstInt32 opcode)
{
    switch (opcode)
    {
        case effClose: case effMainsChanged: case effEditGetRect: case effEditOpen: case effEditClose:
        case effGetChunk: case effSetChunk: case effProcessEvents:
            return true;
        default:
            return false;
    }
}

VstInt32 DispatcherFuzzer::randomOpcode()
{
    for (;;)
    {
        const auto opcode = random.percent (95) ? (VstInt32) random.between (0, 76)
                                                : random.pick<VstInt32> ({ -1, 77, 78, 1000, INT_MIN, INT_MAX });

        if (! isLeftToTheFuzzer (opcode))
            return opcode;
    }
}

std::string DispatcherFuzzer::callRandom (PluginHost& host, AEffect* effect)
{
    return call (host, effect, randomOpcode());
}

std::string DispatcherFuzzer::call (PluginHost& host, AEffect* effect, VstInt32 opcode)
{
    const auto index = random.percent (70) ? (VstInt32) random.between (-2, 4) : random.oddInt32();
    const auto value = random.percent (70) ? (VstIntPtr) random.between (-2, 4) : (VstIntPtr) random.oddInt32();
    const float opt = random.pick<float> ({ 0.0f, 1.0f, 0.5f, -1.0f, 44100.0f, 1.0e30f, std::numeric_limits<float>::quiet_NaN(),
                                            std::numeric_limits<float>::infinity() });

    switch (opcode)
    {
        case effGetProgramName:
        case effGetProgramNameIndexed:
            return askForText (host, effect, opcode, programNameLength);

        case effGetParamLabel:
        case effGetParamName:
            return askForText (host, effect, opcode, paramTextLength);

        case effGetParamDisplay:
        case effGetEffectName:
        case effGetVendorString:
        case effGetProductString:
        case effShellGetNextPlugin:
            return askForText (host, effect, opcode, longTextLength);

        case effGetErrorText:
            return askForText (host, effect, opcode, errorTextLength);

        case effGetSpeakerArrangement:
            askForSpeakers (host, effect);
            return {};

        case effSetProgramName:
            giveText (host, effect, opcode, programNameLength);
            return {};

        case effString2Parameter:
        case effCanDo:
            giveText (host, effect, opcode, longTextLength);
            return {};

        case effSetSpeakerArrangement:
            giveSpeakers (host, effect);
            return {};

        case effGetInputProperties: case effGetOutputProperties: case effOfflineNotify: case effOfflinePrepare:
        case effOfflineRun: case effProcessVarIo: case effGetParameterProperties: case effGetMidiProgramName:
        case effGetCurrentMidiProgram: case effGetMidiProgramCategory: case effGetMidiKeyName:
        case effBeginLoadBank: case effBeginLoadProgram: case effVendorSpecific:
            giveRecord (host, effect, opcode, passedRecordSize);
            return {};

        default:
            host.dispatch (effect, opcode, index, value, nullptr, opt);
            return {};
    }
}

std::string DispatcherFuzzer::askForText (PluginHost& host, AEffect* effect, VstInt32 opcode, size_t maxCharacters)
{
    // Exactly the room the host promises: the characters and the zero after them.
    auto buffer = std::make_unique<char[]> (maxCharacters + 1);
    std::memset (buffer.get(), untouched, maxCharacters + 1);
    const auto index = (VstInt32) random.between (-2, 4);
    host.dispatch (effect, opcode, index, random.between (0, 2), buffer.get());

    if ((uint8_t) buffer[0] == untouched)
        return {};

    if (std::memchr (buffer.get(), 0, maxCharacters + 1) == nullptr)
        return "opcode " + std::to_string (opcode) + " wrote text without its ending zero";

    return {};
}

VstIntPtr DispatcherFuzzer::askForSpeakers (PluginHost& host, AEffect* effect)
{
    // Pointers to the host's own pointers, which the plug-in may set or clear.
    VstSpeakerArrangement hostsOwn {};
    VstSpeakerArrangement* input = &hostsOwn;
    VstSpeakerArrangement* output = &hostsOwn;
    return host.dispatch (effect, effGetSpeakerArrangement, 0, (VstIntPtr) &input, &output);
}

std::string DispatcherFuzzer::randomText (size_t maxCharacters)
{
    if (random.percent (50))
    {
        const auto& word = hostWords[random.between (0, (int64_t) std::size (hostWords) - 1)];
        return std::string (word).substr (0, maxCharacters);
    }

    std::string text ((size_t) random.between (0, (int64_t) maxCharacters), ' ');

    for (auto& c : text)
        c = (char) random.between (1, 255);

    return text;
}

VstIntPtr DispatcherFuzzer::giveText (PluginHost& host, AEffect* effect, VstInt32 opcode, size_t maxCharacters)
{
    const auto text = randomText (maxCharacters);
    auto buffer = std::make_unique<char[]> (text.size() + 1);
    std::memcpy (buffer.get(), text.c_str(), text.size() + 1);
    return host.dispatch (effect, opcode, (VstInt32) random.between (-2, 4), 0, buffer.get());
}

VstIntPtr DispatcherFuzzer::giveRecord (PluginHost& host, AEffect* effect, VstInt32 opcode, size_t recordSize)
{
    auto record = std::make_unique<uint8_t[]> (recordSize);
    std::memset (record.get(), 0, recordSize);
    return host.dispatch (effect, opcode, (VstInt32) random.between (0, 15), random.between (0, 1), record.get());
}

VstIntPtr DispatcherFuzzer::giveSpeakers (PluginHost& host, AEffect* effect)
{
    VstSpeakerArrangement input {}, output {};
    input.numChannels = output.numChannels = 2;
    input.type = output.type = (VstInt32) random.between (-1, 40);
    return host.dispatch (effect, effSetSpeakerArrangement, 0, (VstIntPtr) &input, &output);
}

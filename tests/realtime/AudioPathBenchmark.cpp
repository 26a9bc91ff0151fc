// Prints what one audio block costs inside the loaded plug-in: an empty block, and a block that
// ends one 128-note chord and starts another. A measurement to read, not a pass/fail test.

#include "tests/support/PluginHost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace
{
VstIntPtr silentHost (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : (opcode == audioMasterProcessEvents ? 1 : 0);
}

struct PedalList
{
    explicit PedalList (int value)
    {
        record.type = kVstMidiType;
        record.byteSize = 24;
        record.deltaFrames = 100;
        record.midiData[0] = (char) 0xB0;
        record.midiData[1] = 64;
        record.midiData[2] = (char) value;
        list.numEvents = 1;
        list.events[0] = reinterpret_cast<VstEvent*> (&record);
    }

    VstMidiEvent record {};
    VstEvents list {};
};

template <typename Block>
double nanosecondsPerBlock (int blocks, Block&& runOne)
{
    // The median of several rounds keeps one disturbed round from deciding the figure.
    std::vector<double> rounds;

    for (int round = 0; round < 7; ++round)
    {
        const auto start = std::chrono::steady_clock::now();

        for (int i = 0; i < blocks; ++i)
            runOne (i);

        const auto elapsed = std::chrono::duration<double, std::nano> (std::chrono::steady_clock::now() - start);
        rounds.push_back (elapsed.count() / blocks);
    }

    std::sort (rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}
}

int main (int argc, char** argv)
{
    PluginLibrary library (argc > 1 ? argv[1] : PluginLibrary::defaultPath());
    AEffect* effect = library.callEntry (&silentHost);
    const auto dispatch = [effect] (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return effect->dispatcher (effect, opcode, index, value, ptr, opt);
    };

    dispatch (effOpen);
    dispatch (effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch (effSetBlockSize, 0, 512);
    dispatch (effMainsChanged, 0, 1);

    ChordColumn all, others;

    for (int note = 0; note < 128; ++note)
    {
        all.notes.push_back ({ note, 100 });
        others.notes.push_back ({ note, 90 });
    }

    auto chunk = makeGridChunk ({ all, others });
    dispatch (effSetChunk, 0, (VstIntPtr) chunk.size(), chunk.data());
    dispatch (effEditGetRect);

    std::vector<float> samples (512 * 4, 0.0f);
    float* inputs[2] = { samples.data(), samples.data() + 512 };
    float* outputs[2] = { samples.data() + 1024, samples.data() + 1536 };
    PedalList down (127), up (0);

    const double empty = nanosecondsPerBlock (20000, [&] (int)
    {
        effect->processReplacing (effect, inputs, outputs, 512);
    });

    // A release between presses runs in a block of its own, outside the measured ones.
    const double chordChange = nanosecondsPerBlock (2000, [&] (int)
    {
        dispatch (effProcessEvents, 0, 0, &down.list);
        effect->processReplacing (effect, inputs, outputs, 512);
        dispatch (effProcessEvents, 0, 0, &up.list);
        effect->processReplacing (effect, inputs, outputs, 512);
    }) - empty;

    std::printf ("audio path, 512-sample blocks:\n");
    std::printf ("  empty block:                                  %8.0f ns\n", empty);
    std::printf ("  block ending a 128-note chord, starting another: %8.0f ns\n", chordChange);

    dispatch (effClose);
    return 0;
}

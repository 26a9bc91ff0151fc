// Prints what one audio block costs inside the loaded plug-in: an empty block, and a block that
// ends one 128-note chord and starts another. Beside them, in the same run, the floor a chord
// change cannot go below: writing its 256 note records and handing them to a host callback. A
// chord change may cost at most five times that floor; past it the program fails.
//
// Then, with an X display, what opening the editor costs on a grid of 1 and of 4096 columns:
// the time until it has painted, and the memory it takes. Figures to read, not limits.

#include "tests/display/XHostWindow.h"
#include "tests/support/EditorScreen.h"
#include "tests/support/PluginHost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

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
    // The fastest of several rounds: whatever else the machine does only ever adds time.
    std::vector<double> rounds;

    for (int round = 0; round < 15; ++round)
    {
        const auto start = std::chrono::steady_clock::now();

        for (int i = 0; i < blocks; ++i)
            runOne (i);

        const auto elapsed = std::chrono::duration<double, std::nano> (std::chrono::steady_clock::now() - start);
        rounds.push_back (elapsed.count() / blocks);
    }

    return *std::min_element (rounds.begin(), rounds.end());
}

// The floor: 256 note records written and handed to the host through a callback the compiler
// cannot see through.
double floorNanoseconds()
{
    std::vector<VstMidiEvent> records (256);
    std::vector<uint8_t> listBytes (offsetof (VstEvents, events) + sizeof (VstEvent*) * 258, 0);
    auto* list = reinterpret_cast<VstEvents*> (listBytes.data());

    for (size_t i = 0; i < records.size(); ++i)
    {
        records[i].type = kVstMidiType;
        records[i].byteSize = 24;
        list->events[i] = reinterpret_cast<VstEvent*> (&records[i]);
    }

    audioMasterCallback volatile host = &silentHost;

    return nanosecondsPerBlock (20000, [&] (int block)
    {
        auto* r = records.data();

        for (int i = 0; i < 256; ++i, ++r)
        {
            r->deltaFrames = 100;
            r->midiData[0] = (char) (i < 128 ? 0x80 : 0x90);
            r->midiData[1] = (char) (i & 0x7F);
            r->midiData[2] = (char) (i < 128 ? 0 : 90 + (block & 7));
        }

        list->numEvents = 256;
        host (nullptr, audioMasterProcessEvents, 0, 0, list, 0.0f);
    });
}

long residentKilobytes()
{
    std::ifstream status ("/proc/self/status");
    std::string line;

    while (std::getline (status, line))
        if (line.rfind ("VmRSS:", 0) == 0)
            return std::stol (line.substr (6));

    return 0;
}

// Opens the editor on a grid of numColumns columns in a window of the benchmark's own and idles
// it until it has painted; prints the time that took and the memory it added.
void measureEditorOpen (PluginLibrary& library, int numColumns)
{
    PluginHost host (library);
    XHostWindow window (700, 800);
    auto* effect = host.createInstance();
    host.startPlaying (effect);
    host.setChunk (effect, makeGridChunk (std::vector<ChordColumn> ((size_t) numColumns, ChordColumn { { { 60, 100 } } })));

    const long residentBefore = residentKilobytes();
    const auto start = std::chrono::steady_clock::now();
    host.dispatch (effect, effEditOpen, 0, 0, window.asHostPointer());
    const bool painted = EditorScreen::loopUntil ([&] { host.dispatch (effect, effEditIdle); },
                                                  [&] { return window.pixel (EditorScreen::column0X, EditorScreen::rowY (60)) == EditorScreen::onCell; },
                                                  20000, 1);
    const double seconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
    const long addedKilobytes = residentKilobytes() - residentBefore;

    std::printf ("  editor open on %4d columns: %s in %.3f s, %.1f MB more memory\n", numColumns,
                 painted ? "painted" : "NOT painted", seconds, addedKilobytes / 1024.0);
    host.dispatch (effect, effEditClose);
}
}

int main (int argc, char** argv)
{
    PluginLibrary library (argc > 1 ? argv[1] : builtPluginPath());
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

    std::vector<float> samples (512 * 4, 0.0f);
    float* inputs[2] = { samples.data(), samples.data() + 512 };
    float* outputs[2] = { samples.data() + 1024, samples.data() + 1536 };
    PedalList down (127), up (0);

    const double empty = nanosecondsPerBlock (20000, [&] (int)
    {
        effect->processReplacing (effect, inputs, outputs, 512);
    });

    // A release between presses runs in a block of its own, measured with the press and taken
    // off as an empty block.
    const double chordChange = nanosecondsPerBlock (2000, [&] (int)
    {
        dispatch (effProcessEvents, 0, 0, &down.list);
        effect->processReplacing (effect, inputs, outputs, 512);
        dispatch (effProcessEvents, 0, 0, &up.list);
        effect->processReplacing (effect, inputs, outputs, 512);
    }) - empty;

    const double floor = floorNanoseconds();
    constexpr double allowedRatio = 5.0;

    std::printf ("audio path, 512-sample blocks:\n");
    std::printf ("  empty block:                                            %8.0f ns\n", empty);
    std::printf ("  block ending a 128-note chord and starting another:     %8.0f ns  (%.1f x floor)\n",
                 chordChange, chordChange / floor);
    std::printf ("  floor: 256 note records written and handed to the host: %8.0f ns\n", floor);

    dispatch (effClose);

    if (XHostWindow::displayAvailable())
    {
        std::printf ("editor:\n");

        for (int columns : { 1, 4096 })
            measureEditorOpen (library, columns);
    }
    else
    {
        std::printf ("editor: not measured, no X display (test.sh runs this under xvfb-run)\n");
    }

    if (chordChange / floor > allowedRatio)
    {
        std::printf ("FAIL: a chord change costs %.1f times the floor, more than %.0f\n", chordChange / floor, allowedRatio);
        return 1;
    }

    return 0;
}

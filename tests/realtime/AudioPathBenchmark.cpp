// Reports what one audio block costs inside the loaded plug-in: an empty block, and a block that
// ends one 128-note chord and starts another, with the default settings and with the notes
// transposed and other MIDI passed through. Beside them, in the same run, the floors a chord
// change cannot go below: writing its 256 note records, each whole, and handing them to a host
// callback; and the same with the block's two outputs written silent, as every block must. A
// chord change goes through two passes of its notes (the filter writes them into its MIDI buffer,
// the bridge writes them into the host's records) besides the blocks themselves: its bound is four
// times the records' floor. Then, with an X display, what opening the editor costs on a grid of 1
// and of 4096 columns: the time until it has painted, and the memory it takes.
//
// These are figures, not a test: each moves with the machine, its load and where the process's
// memory happens to lie. A figure over its bound is reported with a warning line; the program
// fails only when it cannot measure. With --figures FILE it also writes the figures to FILE, one
// line each (name, value, unit, bound), so that two runs can be compared.

#include "tests/display/XHostWindow.h"
#include "tests/support/EditorScreen.h"
#include "tests/support/PluginHost.h"
#include "tests/support/ResidentMemory.h"

#include <algorithm>
#include <array>
#include <cstring>
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

// A host's event list of 3-byte messages, all at sample 100.
struct EventList
{
    explicit EventList (std::vector<std::array<uint8_t, 3>> messages)
        : records (messages.size()), bytes (offsetof (VstEvents, events) + sizeof (VstEvent*) * (messages.size() + 2), 0)
    {
        auto* list = reinterpret_cast<VstEvents*> (bytes.data());

        for (size_t i = 0; i < messages.size(); ++i)
        {
            records[i].type = kVstMidiType;
            records[i].byteSize = 24;
            records[i].deltaFrames = 100;
            std::memcpy (records[i].midiData, messages[i].data(), 3);
            list->events[i] = reinterpret_cast<VstEvent*> (&records[i]);
        }

        list->numEvents = (VstInt32) messages.size();
    }

    void* get() { return bytes.data(); }

    std::vector<VstMidiEvent> records;
    std::vector<uint8_t> bytes;
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

// The floor: 256 note records written whole (every record is: a reused one may hold anything)
// and handed to the host through a callback the compiler cannot see through; with
// silentOutputs, the block's two 512-sample outputs are zeroed as well.
double floorNanoseconds (bool silentOutputs)
{
    std::vector<float> outputs (2 * 512, 1.0f);
    float* volatile outputData = outputs.data();
    std::vector<VstMidiEvent> records (256);
    std::vector<uint8_t> listBytes (offsetof (VstEvents, events) + sizeof (VstEvent*) * 258, 0);
    auto* list = reinterpret_cast<VstEvents*> (listBytes.data());

    for (size_t i = 0; i < records.size(); ++i)
        list->events[i] = reinterpret_cast<VstEvent*> (&records[i]);

    audioMasterCallback volatile host = &silentHost;

    return nanosecondsPerBlock (20000, [&] (int block)
    {
        auto* r = records.data();

        // Four words stored straight into each record: the quickest way to write one whole.
        for (int i = 0; i < 256; ++i, ++r)
        {
            const uint32_t data = (uint32_t) (i < 128 ? 0x80 : 0x90) | (uint32_t) (i & 0x7F) << 8
                                | (uint32_t) (i < 128 ? 0 : 90 + (block & 7)) << 16;
            auto* out = reinterpret_cast<char*> (r);
            const uint64_t header = (uint64_t) kVstMidiType | (uint64_t) 24 << 32, position = 100, zero = 0, message = data;
            std::memcpy (out, &header, 8);
            std::memcpy (out + 8, &position, 8);
            std::memcpy (out + 16, &zero, 8);
            std::memcpy (out + 24, &message, 8);
        }

        if (silentOutputs)
            std::memset (outputData, 0, outputs.size() * sizeof (float));

        list->numEvents = 256;
        host (nullptr, audioMasterProcessEvents, 0, 0, list, 0.0f);
    });
}

// One measured figure and the bound it is read against.
struct Figure
{
    std::string name;
    double value;
    std::string unit;
    double bound; // negative for a floor, which is read, not bounded
    std::string boundMeaning;

    bool overBound() const { return bound >= 0 && value > bound; }
};

void printFigure (const Figure& figure)
{
    if (figure.bound < 0)
    {
        std::printf ("  %-58s %10.1f %-3s  (a floor)\n", figure.name.c_str(), figure.value, figure.unit.c_str());
        return;
    }

    std::printf ("  %-58s %10.1f %-3s  bound %10.1f %-3s %s\n", figure.name.c_str(), figure.value, figure.unit.c_str(),
                 figure.bound, figure.unit.c_str(), figure.boundMeaning.c_str());
}

void writeFigures (const std::string& path, const std::vector<Figure>& figures)
{
    std::ofstream file (path);

    for (const auto& figure : figures)
        file << figure.name << '\t' << figure.value << '\t' << figure.unit << '\t' << figure.bound << '\n';

    if (! file)
        std::printf ("WARNING: could not write the figures to %s\n", path.c_str());
}

// Opens the editor on a grid of numColumns columns in a window of the benchmark's own and idles
// it until it has painted; adds the time that took and the memory it added to the figures.
bool measureEditorOpen (PluginLibrary& library, int numColumns, double boundSeconds, double boundMegabytes,
                        std::vector<Figure>& figures)
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

    const std::string grid = "editor open on " + std::to_string (numColumns) + (numColumns == 1 ? " column" : " columns");
    figures.push_back ({ grid + ", until painted", seconds * 1000.0, "ms", boundSeconds * 1000.0, "" });
    figures.push_back ({ grid + ", memory added", addedKilobytes / 1024.0, "MB", boundMegabytes, "" });
    host.dispatch (effect, effEditClose);
    return painted;
}
}

int main (int argc, char** argv)
{
    const char* pluginPath = nullptr;
    const char* figuresPath = nullptr;

    for (int i = 1; i < argc; ++i)
    {
        if (std::string (argv[i]) == "--figures" && i + 1 < argc)
            figuresPath = argv[++i];
        else
            pluginPath = argv[i];
    }

    PluginLibrary library (pluginPath != nullptr ? pluginPath : builtPluginPath());
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

    std::vector<float> samples (512 * 4, 0.0f);
    float* inputs[2] = { samples.data(), samples.data() + 512 };
    float* outputs[2] = { samples.data() + 1024, samples.data() + 1536 };
    // The pedal's press comes with a note played by hand: passed through when the settings say so.
    EventList down ({ { 0xB0, 64, 127 }, { 0x91, 50, 90 } }), up ({ { 0xB0, 64, 0 } });

    const double empty = nanosecondsPerBlock (20000, [&] (int)
    {
        effect->processReplacing (effect, inputs, outputs, 512);
    });

    // A release between presses runs in a block of its own, measured with the press and taken
    // off as an empty block.
    const auto chordChange = [&] (const StoredSettings& settings)
    {
        auto chunk = makeGridChunk ({ all, others }, settings);
        dispatch (effSetChunk, 0, (VstIntPtr) chunk.size(), chunk.data());

        return nanosecondsPerBlock (2000, [&] (int)
        {
            dispatch (effProcessEvents, 0, 0, down.get());
            effect->processReplacing (effect, inputs, outputs, 512);
            dispatch (effProcessEvents, 0, 0, up.get());
            effect->processReplacing (effect, inputs, outputs, 512);
        }) - empty;
    };

    StoredSettings transposedAndPassing;
    transposedAndPassing.transpose = 5;
    transposedAndPassing.passThrough = true;

    const double plain = chordChange ({});
    const double withSettings = chordChange (transposedAndPassing);
    const double floor = floorNanoseconds (false);
    const double floorWithSilence = floorNanoseconds (true);
    dispatch (effClose);

    constexpr double allowedRatio = 4.0;
    const auto ratios = [&] (double value)
    {
        char text[96];
        std::snprintf (text, sizeof (text), "(4 x floor; %.1f x floor, %.1f x floor with silence)",
                       value / floor, value / floorWithSilence);
        return std::string (text);
    };

    std::vector<Figure> figures {
        { "empty block", empty, "ns", floor, "(the floor)" },
        { "block ending a 128-note chord and starting another", plain, "ns", allowedRatio * floor, ratios (plain) },
        { "the same, transposed, the hand's note passed through", withSettings, "ns", allowedRatio * floor, ratios (withSettings) },
        { "floor: 256 note records written whole, handed to the host", floor, "ns", -1, "" },
        { "floor with the two outputs written silent", floorWithSilence, "ns", -1, "" },
    };

    bool measured = true;

    if (XHostWindow::displayAvailable())
    {
        measured = measureEditorOpen (library, 1, 1.0, 64.0, figures)
                && measureEditorOpen (library, 4096, 5.0, 256.0, figures);
    }

    std::printf ("audio path, 512-sample blocks; editor opening:\n");

    for (const auto& figure : figures)
        printFigure (figure);

    if (! XHostWindow::displayAvailable())
        std::printf ("  editor: not measured, no X display (test.sh runs this under xvfb-run)\n");

    for (const auto& figure : figures)
        if (figure.overBound())
            std::printf ("WARNING: %s measured %.1f %s, over its bound of %.1f %s\n", figure.name.c_str(),
                         figure.value, figure.unit.c_str(), figure.bound, figure.unit.c_str());

    if (figuresPath != nullptr)
        writeFigures (figuresPath, figures);

    if (! measured)
    {
        std::printf ("FAIL: the editor never painted its grid\n");
        return 1;
    }

    return 0;
}

// The same plug-in in every format: the VST 2 through the tests' own host, the VST 3 and LV2
// bundles through the framework's hosting, loaded from disk. Each scenario runs in each format
// and must give the same MIDI, byte for byte, at the same samples; each format's saved state is
// the VST 2 chunk and loads in every other format.

#include "tests/formats/GridScript.h"
#include "tests/formats/FormatPlugin.h"
#include "tests/formats/HostedPlugin.h"

#include <gtest/gtest.h>

namespace
{
using Events = std::vector<PluginHost::InputEvent>;


// A block of what a player sends: the pedal among notes and other controllers, and a press at
// the given sample on the given channel.
Events pressAmongOtherEvents (int sample, uint8_t channel = 0, uint8_t value = 127)
{
    return { { 0, 0x90, 60, 100 }, { 1, 0xB0, 7, 90 }, { sample, (uint8_t) (0xB0 | channel), 64, value },
             { sample + 1, 0x91, 40, 80 }, { 500, 0xE0, 0, 64 } };
}

const Events release { { 5, 0xB0, 64, 0 } };

class FormatScenario : public ::testing::TestWithParam<PluginFormat>
{
protected:
    std::unique_ptr<FormatPlugin> plugin = openPlugin (GetParam());
};

}

TEST_P (FormatScenario, PressesStepTheLoadedGridWithExactNotesAtThePressSamples)
{
    const auto grid = GridScript::threeChords();
    plugin->loadGrid (GridScript::chunkOf (grid));

    // Presses on channels 1, 5 and 16, a half-pedal value of 1, presses held over blocks: four
    // presses over three columns wrap to the first.
    struct Block { Events events; std::vector<int> pressSamples; };
    const std::vector<Block> blocks {
        { pressAmongOtherEvents (17), { 17 } },
        { { { 3, 0xB0, 64, 100 } }, {} },          // still down: no press
        { release, {} },
        { pressAmongOtherEvents (511, 4), { 511 } },
        { release, {} },
        { pressAmongOtherEvents (0, 15, 1), { 0 } },
        { { { 100, 0xB0, 64, 0 } }, {} },
        { { { 300, 0xB0, 64, 127 } }, { 300 } },
        { {}, {} },
    };

    GridScript::Player expected (grid);

    for (size_t i = 0; i < blocks.size(); ++i)
        EXPECT_EQ (plugin->play (blocks[i].events), expected.pressesAt (pedalSamplesSeen (GetParam(), blocks[i].pressSamples))) << "block " << i;
}

TEST_P (FormatScenario, WithNoGridAPressSendsNothing)
{
    EXPECT_TRUE (plugin->play (pressAmongOtherEvents (10)).empty());
    EXPECT_TRUE (plugin->saveGrid().empty()) << "a fresh instance has no state to give";
}

TEST_P (FormatScenario, AProjectLoadedAnewStartsBeforeTheFirstColumn)
{
    const auto grid = GridScript::threeChords();
    plugin->loadGrid (GridScript::chunkOf (grid));
    plugin->play (pressAmongOtherEvents (10));
    plugin->play (release);
    plugin->play (pressAmongOtherEvents (10));
    const auto saved = plugin->saveGrid();

    auto reopened = openPlugin (GetParam());
    reopened->loadGrid (saved);
    EXPECT_EQ (reopened->play (pressAmongOtherEvents (10)), GridScript::Player (grid).pressesAt ({ pedalSampleSeen (GetParam(), 10) }));
}

TEST_P (FormatScenario, AMalformedStateIsRefusedAndThePreviousGridKept)
{
    const auto grid = GridScript::threeChords();
    const auto chunk = GridScript::chunkOf (grid);
    plugin->loadGrid (chunk);

    for (const auto& [what, bytes] : GridScript::malformedChunks (chunk))
    {
        plugin->loadGrid (bytes);
        EXPECT_EQ (plugin->saveGrid(), chunk) << what;
    }

    EXPECT_EQ (plugin->play (pressAmongOtherEvents (10)), GridScript::Player (grid).pressesAt ({ pedalSampleSeen (GetParam(), 10) }))
        << "the kept grid plays from its first column";
}

TEST_P (FormatScenario, ASuspendEndsTheChordAtTheFirstBlockAfterTheResume)
{
    const auto grid = GridScript::threeChords();
    plugin->loadGrid (GridScript::chunkOf (grid));
    GridScript::Player expected (grid);
    EXPECT_EQ (plugin->play (pressAmongOtherEvents (10)), expected.pressesAt ({ pedalSampleSeen (GetParam(), 10) }));
    plugin->play (release);

    plugin->suspendAndResume();

    if (GetParam() == PluginFormat::lv2)
    {
        // JUCE's LV2 hosting deactivates the instance (which its LV2 client ignores), then
        // builds a new one from the saved state: the old instance's chord is the host's to end,
        // and the new one starts before the first column.
        EXPECT_TRUE (plugin->play ({}).empty());
        EXPECT_EQ (plugin->play (pressAmongOtherEvents (10)), GridScript::Player (grid).pressesAt ({ 10 }));
        return;
    }

    const auto offs = expected.stop();
    ASSERT_FALSE (offs.empty());
    EXPECT_EQ (plugin->play ({}), offs);
    EXPECT_EQ (plugin->play (pressAmongOtherEvents (10)), expected.pressesAt ({ pedalSampleSeen (GetParam(), 10) }))
        << "the next column, and no note-off again";
}

TEST_P (FormatScenario, ABypassEndsTheChordStepsNothingAndPassesTheMidi)
{
    const auto grid = GridScript::threeChords();
    plugin->loadGrid (GridScript::chunkOf (grid));
    GridScript::Player expected (grid);
    plugin->play ({ { 0, 0xB0, 64, 127 } });
    plugin->play (release);
    expected.pressesAt ({ 0 });

    if (! plugin->setBypassed (true))
    {
        EXPECT_EQ (GetParam(), PluginFormat::vst2) << "only the VST 2 has no bypass";
        return;
    }

    // The chord's note-offs first, then the host's events as they came, the press among them.
    const Events during { { 0, 0xB0, 64, 127 }, { 40, 0x91, 40, 80 } };
    auto passed = expected.stop();
    ASSERT_FALSE (passed.empty());

    for (const auto& e : during)
        passed.push_back ({ e.deltaFrames, e.status, e.data1, e.data2 });

    EXPECT_EQ (plugin->play (during), passed);
    EXPECT_EQ (plugin->play ({ { 0, 0xB0, 64, 0 } }), (std::vector<MidiOut> { { 0, 0xB0, 64, 0 } }))
        << "a later bypassed block only passes the MIDI";

    plugin->setBypassed (false);
    EXPECT_EQ (plugin->play ({ { 0, 0xB0, 64, 127 } }), expected.pressesAt ({ 0 })) << "the next column, no note-off again";
}

INSTANTIATE_TEST_SUITE_P (EachFormat, FormatScenario, ::testing::ValuesIn (testedFormats()), FormatTestName());

// Each format saves the bytes the VST 2 chunk holds for the same grid, and each other format
// loads them: the grid comes back byte for byte and its first column plays.
TEST (FormatState, EachFormatsStateLoadsInEveryOtherFormatByteForByte)
{
    const auto grid = GridScript::threeChords();
    const auto chunk = GridScript::chunkOf (grid);

    for (auto from : testedFormats())
    {
        auto saver = openPlugin (from);
        saver->loadGrid (chunk);
        const auto saved = saver->saveGrid();
        EXPECT_EQ (saved, chunk) << nameOf (from) << " saves the VST 2 chunk's bytes";

        for (auto to : testedFormats())
        {
            auto loader = openPlugin (to);
            loader->loadGrid (saved);
            EXPECT_EQ (loader->saveGrid(), chunk) << nameOf (from) << " -> " << nameOf (to);
            EXPECT_EQ (loader->play (pressAmongOtherEvents (33)), GridScript::Player (grid).pressesAt ({ pedalSampleSeen (to, 33) }))
                << nameOf (from) << " -> " << nameOf (to) << ": the loaded grid plays";
        }
    }
}

// A project saved on one system opens on the other: the VST 3 component's stream for a grid (the
// plug-in's bytes and what JUCE's client appends) is the same on Linux and on Windows, 64-bit or
// 32-bit. The stored stream is what a Linux build saved.
TEST (FormatState, TheVst3ProjectBytesAreTheSameOnEverySystem)
{
    const auto grid = GridScript::threeChords();
    const auto stored = GridScript::threeChordsVst3StreamSavedOnLinux();

    HostedPlugin saver (PluginFormat::vst3);
    saver.loadGrid (GridScript::chunkOf (grid));
    const auto saved = saver.vst3ComponentStream();
    EXPECT_EQ (saved, stored) << "saved: " << GridScript::hexOf (saved);

    HostedPlugin loader (PluginFormat::vst3);
    loader.loadVst3ComponentStream (stored);
    EXPECT_EQ (loader.saveGrid(), GridScript::chunkOf (grid));
    EXPECT_EQ (loader.play (pressAmongOtherEvents (33)), GridScript::Player (grid).pressesAt ({ pedalSampleSeen (PluginFormat::vst3, 33) }));
}

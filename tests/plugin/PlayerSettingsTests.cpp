// The player's settings, stored with the grid and given through the state as a host gives it:
// each row a setting and a stream of blocks in, the exact stream out.

#include "tests/plugin/PluginFixture.h"

#include <optional>
#include <string>

namespace
{
// Columns of one note each, so that every note names its column.
const std::vector<ChordColumn> threeColumns { { { { 60, 100 } } }, { { { 62, 90 } } }, { { { 64, 80 } } } };

PluginHost::InputEvent cc (int controller, int value, int at, int channel = 0)
{
    return { at, (uint8_t) (0xB0 | channel), (uint8_t) controller, (uint8_t) value };
}

PluginHost::InputEvent pc (int program, int at)
{
    return { at, 0xC0, (uint8_t) program, 0 };
}

PluginHost::InputEvent noteIn (int note, int velocity, int at, int channel = 1)
{
    return { at, (uint8_t) ((velocity > 0 ? 0x90 : 0x80) | channel), (uint8_t) note, (uint8_t) velocity };
}

// "on 60 v100 ch1 @10", "off 60 ch1 @10", "cc1=5 ch1 @3", "pc2 ch1 @0".
std::string describe (const SentMidi& e)
{
    const auto at = " ch" + std::to_string ((e.status() & 0x0F) + 1) + " @" + std::to_string (e.deltaFrames);

    switch (e.status() & 0xF0)
    {
        case 0x90: return "on " + std::to_string (e.note()) + " v" + std::to_string (e.velocity()) + at;
        case 0x80: return "off " + std::to_string (e.note()) + at;
        case 0xB0: return "cc" + std::to_string (e.note()) + "=" + std::to_string (e.velocity()) + at;
        case 0xC0: return "pc" + std::to_string (e.note()) + at;
        default:   return "status " + std::to_string (e.status()) + at;
    }
}

struct Block
{
    std::vector<PluginHost::InputEvent> in;
    std::vector<std::string> out;
    // A state given before this block (a host's undo or preset: the grid from its first column).
    std::optional<StoredSettings> restoreWith;
    // The host suspends and resumes the plug-in before this block.
    bool suspendedBefore = false;
};

struct Scenario
{
    const char* name;
    StoredSettings settings;
    std::vector<Block> blocks;
    std::vector<ChordColumn> grid = threeColumns;
};

StoredSettings with (std::function<void (StoredSettings&)> change)
{
    StoredSettings s;
    change (s);
    return s;
}

const Scenario scenarios[] {
    { "defaults: the pedal steps forward and wraps; other MIDI is swallowed", {},
      { { { cc (64, 127, 10), noteIn (50, 90, 11) }, { "on 60 v100 ch1 @10" } },
        { { cc (64, 0, 1), cc (64, 127, 2), cc (64, 0, 3), cc (64, 127, 4), cc (1, 9, 5) },
          { "off 60 ch1 @2", "on 62 v90 ch1 @2", "off 62 ch1 @4", "on 64 v80 ch1 @4" } },
        { { cc (64, 0, 0), cc (64, 127, 7) }, { "off 64 ch1 @7", "on 60 v100 ch1 @7" } } } },

    { "a double press undone by previous", with ([] (auto& s) { s.previous = 67; }),
      { { { cc (64, 127, 0), cc (64, 0, 1), cc (64, 127, 2) }, { "on 60 v100 ch1 @0", "off 60 ch1 @2", "on 62 v90 ch1 @2" } },
        { { cc (67, 127, 5) }, { "off 62 ch1 @5", "on 60 v100 ch1 @5" } },
        { { cc (67, 90, 6) }, {} },
        { { cc (67, 0, 6), cc (67, 127, 8) }, { "off 60 ch1 @8", "on 64 v80 ch1 @8" } } } },

    { "stop at the end: the next press ends the chord, then nothing until previous",
      with ([] (auto& s) { s.endOfGrid = 1; s.previous = 67; }),
      { { { cc (64, 127, 0), cc (64, 0, 1), cc (64, 127, 2), cc (64, 0, 3), cc (64, 127, 4) },
          { "on 60 v100 ch1 @0", "off 60 ch1 @2", "on 62 v90 ch1 @2", "off 62 ch1 @4", "on 64 v80 ch1 @4" } },
        { { cc (64, 0, 0), cc (64, 127, 9) }, { "off 64 ch1 @9" } },
        { { cc (64, 0, 0), cc (64, 127, 9) }, {} },
        { { cc (67, 127, 3) }, { "on 64 v80 ch1 @3" } } } },

    { "stop at the end: reset and a jump start it again", with ([] (auto& s) { s.endOfGrid = 1; s.reset = 80; s.jumpByProgramChange = true; }),
      { { { cc (64, 127, 0), cc (64, 0, 1), cc (64, 127, 2), cc (64, 0, 3), cc (64, 127, 4), cc (64, 0, 5), cc (64, 127, 6) },
          { "on 60 v100 ch1 @0", "off 60 ch1 @2", "on 62 v90 ch1 @2", "off 62 ch1 @4", "on 64 v80 ch1 @4", "off 64 ch1 @6" } },
        { { pc (1, 0), cc (64, 0, 1), cc (64, 127, 2) }, { "on 62 v90 ch1 @2" } },
        { { cc (80, 127, 3), cc (64, 0, 4), cc (64, 127, 5) }, { "off 62 ch1 @3", "on 60 v100 ch1 @5" } } } },

    { "hold at the end: the last chord keeps sounding", with ([] (auto& s) { s.endOfGrid = 2; s.previous = 67; }),
      { { { cc (64, 127, 0), cc (64, 0, 1), cc (64, 127, 2), cc (64, 0, 3), cc (64, 127, 4), cc (64, 0, 5), cc (64, 127, 6) },
          { "on 60 v100 ch1 @0", "off 60 ch1 @2", "on 62 v90 ch1 @2", "off 62 ch1 @4", "on 64 v80 ch1 @4" } },
        { { cc (67, 127, 1) }, { "off 64 ch1 @1", "on 62 v90 ch1 @1" } } } },

    { "previous at the first column wraps to the last", with ([] (auto& s) { s.previous = 67; }),
      { { { cc (67, 127, 4) }, { "on 64 v80 ch1 @4" } } } },

    { "reset ends the chord; the next press plays the first column", with ([] (auto& s) { s.reset = 80; }),
      { { { cc (64, 127, 0), cc (64, 0, 1), cc (64, 127, 2), cc (80, 127, 3) },
          { "on 60 v100 ch1 @0", "off 60 ch1 @2", "on 62 v90 ch1 @2", "off 62 ch1 @3" } },
        { { cc (64, 0, 0), cc (64, 127, 1) }, { "on 60 v100 ch1 @1" } } } },

    { "jump by program change; a column that does not exist is ignored", with ([] (auto& s) { s.jumpByProgramChange = true; }),
      { { { pc (2, 0), cc (64, 127, 5) }, { "on 64 v80 ch1 @5" } },
        { { pc (7, 0), cc (64, 0, 1), cc (64, 127, 2) }, { "off 64 ch1 @2", "on 60 v100 ch1 @2" } } } },

    { "program changes without the jump are other MIDI", with ([] (auto& s) { s.passThrough = true; }),
      { { { pc (2, 0), cc (64, 127, 5) }, { "pc2 ch1 @0", "on 60 v100 ch1 @5" } } } },

    { "other MIDI passed through, in order, each at its own sample", with ([] (auto& s) { s.passThrough = true; }),
      { { { cc (1, 5, 3), noteIn (50, 90, 5), cc (64, 127, 10), noteIn (50, 0, 20), cc (123, 0, 30) },
          { "cc1=5 ch1 @3", "on 50 v90 ch2 @5", "on 60 v100 ch1 @10", "off 50 ch2 @20", "off 60 ch1 @30", "cc123=0 ch1 @30" } } } },

    { "a trigger on the same sample as a note keeps their order", with ([] (auto& s) { s.passThrough = true; }),
      { { { noteIn (50, 90, 10), cc (64, 127, 10) }, { "on 50 v90 ch2 @10", "on 60 v100 ch1 @10" } },
        { { cc (64, 0, 0), cc (64, 127, 10), noteIn (51, 90, 10) }, { "off 60 ch1 @10", "on 62 v90 ch1 @10", "on 51 v90 ch2 @10" } } } },

    { "a trigger of the player's own; the sustain pedal is then other MIDI", with ([] (auto& s) { s.next = 20; s.passThrough = true; }),
      { { { cc (64, 127, 0), cc (20, 1, 4) }, { "cc64=127 ch1 @0", "on 60 v100 ch1 @4" } } } },

    { "output channel 5", with ([] (auto& s) { s.channel = 5; }),
      { { { cc (64, 127, 0), cc (64, 0, 1), cc (64, 127, 2) }, { "on 60 v100 ch5 @0", "off 60 ch5 @2", "on 62 v90 ch5 @2" } } } },

    { "transpose: a note pushed past 127 is not played and never ended", with ([] (auto& s) { s.transpose = 12; }),
      { { { cc (64, 127, 0), cc (64, 0, 1), cc (64, 127, 2) }, { "on 72 v100 ch1 @0", "on 127 v100 ch1 @0", "off 72 ch1 @2", "off 127 ch1 @2" } } },
      { { { { 60, 100 }, { 115, 100 }, { 120, 100 } } }, {} } },

    { "transpose down below 0", with ([] (auto& s) { s.transpose = -24; }),
      { { { cc (64, 127, 0) }, { "on 0 v100 ch1 @0" } } },
      { { { { 10, 100 }, { 24, 100 } } } } },

    { "a transpose or channel change ends the sounding chord as it was started", {},
      { { { cc (64, 127, 0) }, { "on 60 v100 ch1 @0" } },
        { {}, { "off 60 ch1 @0" }, with ([] (auto& s) { s.transpose = 5; }) },
        { { cc (64, 0, 0), cc (64, 127, 3) }, { "on 65 v100 ch1 @3" } },
        { {}, { "off 65 ch1 @0" }, with ([] (auto& s) { s.channel = 2; }) },
        { { cc (64, 0, 0), cc (64, 127, 3) }, { "on 60 v100 ch2 @3" } } } },

    { "All Notes Off and All Sound Off end the chord at their sample; the next press ends nothing again", {},
      { { { cc (64, 127, 0) }, { "on 60 v100 ch1 @0" } },
        { { cc (123, 0, 20), cc (64, 0, 30), cc (64, 127, 40) }, { "off 60 ch1 @20", "on 62 v90 ch1 @40" } },
        { { cc (120, 0, 9, 9), cc (123, 0, 10, 9) }, { "off 62 ch1 @9" } },
        { { cc (64, 0, 0), cc (64, 127, 3) }, { "on 64 v80 ch1 @3" } } } },

    { "a panic on channel 10 ends the chord as it was started, then passes", with ([] (auto& s) { s.passThrough = true; s.channel = 5; s.transpose = 12; }),
      { { { cc (64, 127, 0) }, { "on 72 v100 ch5 @0" } },
        { { cc (120, 0, 7, 9), cc (123, 0, 8) }, { "off 72 ch5 @7", "cc120=0 ch10 @7", "cc123=0 ch1 @8" } } } },

    { "the mode messages 124 to 127 end the chord too, and are never a trigger", with ([] (auto& s) { s.endOfGrid = 1; }),
      { { { cc (64, 127, 0) }, { "on 60 v100 ch1 @0" } },
        { { cc (127, 0, 4, 3) }, { "off 60 ch1 @4" } },
        { { cc (64, 0, 0), cc (64, 127, 1), cc (124, 0, 2) }, { "on 62 v90 ch1 @1", "off 62 ch1 @2" } },
        { { cc (64, 0, 0), cc (64, 127, 1), cc (125, 0, 2), cc (126, 0, 3) }, { "on 64 v80 ch1 @1", "off 64 ch1 @2" } },
        { { cc (64, 0, 0), cc (64, 127, 1) }, {} } } },

    { "a suspend ends the chord at the first block after the resume", {},
      { { { cc (64, 127, 0) }, { "on 60 v100 ch1 @0" } },
        { {}, { "off 60 ch1 @0" }, std::nullopt, true },
        { { cc (64, 0, 0), cc (64, 127, 5) }, { "on 62 v90 ch1 @5" } },
        { { cc (64, 0, 0), cc (64, 127, 5) }, { "off 62 ch1 @0", "on 64 v80 ch1 @5" }, std::nullopt, true } } },
};

class PlayerSettingsTest : public PluginTest, public ::testing::WithParamInterface<Scenario>
{
};
}

TEST_P (PlayerSettingsTest, Scenario)
{
    const auto& scenario = GetParam();
    auto* effect = createPlaying();
    host->setChunk (effect, makeGridChunk (scenario.grid, scenario.settings));
    int number = 0;

    for (const auto& block : scenario.blocks)
    {
        if (block.restoreWith)
            host->setChunk (effect, makeGridChunk (scenario.grid, *block.restoreWith));

        if (block.suspendedBefore)
        {
            host->dispatch (effect, effMainsChanged, 0, 0);
            host->dispatch (effect, effMainsChanged, 0, 1);
        }

        std::vector<std::string> out;

        for (const auto& e : host->processBlock (effect, block.in))
            out.push_back (describe (e));

        EXPECT_EQ (out, block.out) << scenario.name << ", block " << number++;
    }
}

INSTANTIATE_TEST_SUITE_P (Rows, PlayerSettingsTest, ::testing::ValuesIn (scenarios));

TEST_F (PluginTest, SettingsFollowTheGridOnlyWhenOneDiffersAndEachComesBack)
{
    auto* effect = host->createInstance();

    // Every default: exactly the bytes of a grid alone, as saved before settings existed.
    host->setChunk (effect, makeGridChunk (threeColumns, StoredSettings {}));
    EXPECT_EQ (host->getChunk (effect), makeGridChunk (threeColumns));

    const std::vector<StoredSettings> each {
        with ([] (auto& s) { s.next = 0; }), with ([] (auto& s) { s.next = 119; }),
        with ([] (auto& s) { s.previous = 67; }), with ([] (auto& s) { s.reset = 3; }),
        with ([] (auto& s) { s.jumpByProgramChange = true; }), with ([] (auto& s) { s.endOfGrid = 1; }),
        with ([] (auto& s) { s.endOfGrid = 2; }), with ([] (auto& s) { s.passThrough = true; }),
        with ([] (auto& s) { s.channel = 16; }), with ([] (auto& s) { s.transpose = -24; }),
        with ([] (auto& s) { s.transpose = 24; }),
    };

    for (const auto& settings : each)
    {
        const auto chunk = makeGridChunk (threeColumns, settings);
        host->setChunk (effect, chunk);
        EXPECT_EQ (host->getChunk (effect), chunk);
    }

    // A state without settings loads with the defaults.
    host->setChunk (effect, makeGridChunk (threeColumns));
    EXPECT_EQ (host->getChunk (effect), makeGridChunk (threeColumns));
}

TEST_F (PluginTest, AStateGivingOneControllerToTwoTriggersLoadsWithTheClashingOneSetToNone)
{
    auto* effect = host->createInstance();

    // Such states were once taken as they were: they load, with one controller to one trigger.
    // Loaded as the second settings; none: as the defaults, which a saved state leaves out.
    const std::vector<std::pair<StoredSettings, std::optional<StoredSettings>>> loadedAs {
        { with ([] (auto& s) { s.previous = 64; }), std::nullopt },
        { with ([] (auto& s) { s.next = 20; s.reset = 20; s.previous = 67; }), with ([] (auto& s) { s.next = 20; s.previous = 67; }) },
        { with ([] (auto& s) { s.previous = 67; s.reset = 67; }), with ([] (auto& s) { s.previous = 67; }) },
        { with ([] (auto& s) { s.previous = 67; s.reset = 80; }), with ([] (auto& s) { s.previous = 67; s.reset = 80; }) },
    };

    for (const auto& [stored, loaded] : loadedAs)
    {
        host->setChunk (effect, makeGridChunk (threeColumns, stored));
        EXPECT_EQ (host->getChunk (effect), loaded ? makeGridChunk (threeColumns, *loaded) : makeGridChunk (threeColumns));
    }
}

TEST_F (PluginTest, AMalformedSettingsBlockRefusesTheWholeState)
{
    auto* effect = host->createInstance();
    const auto kept = makeGridChunk (threeColumns, with ([] (auto& s) { s.previous = 67; }));
    host->setChunk (effect, kept);
    const std::vector<ChordColumn> other { { { { 40, 100 } } } };

    const auto spoilt = [&] (std::function<void (std::vector<uint8_t>&)> spoil)
    {
        auto chunk = makeGridChunk (other, with ([] (auto& s) { s.transpose = 3; }));
        spoil (chunk);
        return chunk;
    };
    const size_t block = makeGridChunk (other).size();

    const std::vector<std::pair<const char*, std::vector<uint8_t>>> refused {
        { "cut short", spoilt ([&] (auto& c) { c.resize (c.size() - 1); }) },
        { "only its tag", spoilt ([&] (auto& c) { c.resize (block + 4); }) },
        { "version 2", spoilt ([&] (auto& c) { writeInt32 (c, block + 4, 2); }) },
        { "fewer than 8 bytes of fields", spoilt ([&] (auto& c) { writeInt32 (c, block + 8, 7); }) },
        { "more bytes of fields than follow", spoilt ([&] (auto& c) { writeInt32 (c, block + 8, 9); }) },
        { "more bytes of fields than the longest block holds",
          spoilt ([&] (auto& c) { c.resize (block + 12 + 245); writeInt32 (c, block + 8, 245); }) },
        { "next trigger 120", spoilt ([&] (auto& c) { c[block + 12] = 120; }) },
        { "previous trigger -2", spoilt ([&] (auto& c) { c[block + 13] = 0xFE; }) },
        { "jump flag 2", spoilt ([&] (auto& c) { c[block + 15] = 2; }) },
        { "end of grid 3", spoilt ([&] (auto& c) { c[block + 16] = 3; }) },
        { "channel 0", spoilt ([&] (auto& c) { c[block + 18] = 0; }) },
        { "channel 17", spoilt ([&] (auto& c) { c[block + 18] = 17; }) },
        { "transpose 25", spoilt ([&] (auto& c) { c[block + 19] = 25; }) },
    };

    for (const auto& [name, chunk] : refused)
    {
        host->setChunk (effect, chunk);
        EXPECT_EQ (host->getChunk (effect), kept) << name;
    }

    // The control: the same chunk unspoilt is taken.
    const auto good = spoilt ([] (auto&) {});
    host->setChunk (effect, good);
    EXPECT_EQ (host->getChunk (effect), good);

    // The longest block is taken, its fields past the eighth ignored.
    host->setChunk (effect, kept);
    host->setChunk (effect, spoilt ([&] (auto& c) { c.resize (block + 256); writeInt32 (c, block + 8, 244); }));
    EXPECT_EQ (host->getChunk (effect), good);

    // Bytes after the grid that are no settings block are ignored, as they always were.
    auto trailing = makeGridChunk (other);
    trailing.insert (trailing.end(), { 'C', 'V', 'x', 0, 1, 2 });
    host->setChunk (effect, trailing);
    EXPECT_EQ (host->getChunk (effect), makeGridChunk (other));
}

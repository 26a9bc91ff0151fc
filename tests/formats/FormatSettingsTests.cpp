// The player's settings play the same in every format: each row loads the grid with its settings
// and plays its blocks in the VST 2, the VST 3 and the LV2, and every format sends what the VST 2
// sends (whose exact streams the plug-in's own tests check). Triggers lie at a block's first
// sample, where the VST 3's framework hosting delivers controllers anyway.

#include "tests/formats/GridScript.h"
#include "tests/formats/FormatPlugin.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace
{
using Events = std::vector<PluginHost::InputEvent>;

PluginHost::InputEvent cc (int controller, int value, int channel = 0)
{
    return { 0, (uint8_t) (0xB0 | channel), (uint8_t) controller, (uint8_t) value };
}

struct Block
{
    Events in;
    std::optional<StoredSettings> restoreWith;  // the grid given again with these settings first
};

struct Row
{
    const char* name;
    StoredSettings settings;
    std::vector<Block> blocks;
};

StoredSettings with (std::function<void (StoredSettings&)> change)
{
    StoredSettings s;
    change (s);
    return s;
}

// A press and its release, a block each.
std::vector<Block> presses (int controller, int count)
{
    std::vector<Block> blocks;

    for (int i = 0; i < count; ++i)
    {
        blocks.push_back ({ { cc (controller, 127) } });
        blocks.push_back ({ { cc (controller, 0) } });
    }

    return blocks;
}

std::vector<Block> operator+ (std::vector<Block> a, const std::vector<Block>& b)
{
    a.insert (a.end(), b.begin(), b.end());
    return a;
}

const Row rows[] {
    { "a double press undone by previous", with ([] (auto& s) { s.previous = 67; }), presses (64, 2) + presses (67, 1) },
    { "stop at the end, then previous", with ([] (auto& s) { s.endOfGrid = 1; s.previous = 67; }), presses (64, 5) + presses (67, 1) },
    { "hold at the end", with ([] (auto& s) { s.endOfGrid = 2; }), presses (64, 5) },
    { "reset", with ([] (auto& s) { s.reset = 80; }), presses (64, 2) + presses (80, 1) + presses (64, 1) },
    { "a trigger of the player's own", with ([] (auto& s) { s.next = 20; }), presses (64, 1) + presses (20, 2) },
    { "channel 5, transposed past 127", with ([] (auto& s) { s.channel = 5; s.transpose = 12; }), presses (64, 3) },
    { "notes passed through at their samples", with ([] (auto& s) { s.passThrough = true; }),
      { { { cc (64, 127), { 40, 0x91, 50, 90 }, { 80, 0x81, 50, 0 } } }, { { cc (64, 0), { 20, 0x92, 51, 70 } } } } },
    { "a transpose change ends the chord as it was started", {},
      presses (64, 1) + std::vector<Block> { { {}, with ([] (auto& s) { s.transpose = -7; }) } } + presses (64, 1) },
    { "All Notes Off and All Sound Off on channels 1 and 10", {},
      presses (64, 1) + std::vector<Block> { { { cc (123, 0) } } } + presses (64, 1) + std::vector<Block> { { { cc (120, 0, 9) } } }
          + presses (64, 1) + std::vector<Block> { { { cc (123, 0, 9) } } } + presses (64, 1) + std::vector<Block> { { { cc (120, 0) } } } },
    { "a panic passed on after the note-offs", with ([] (auto& s) { s.passThrough = true; s.channel = 3; }),
      presses (64, 1) + std::vector<Block> { { { cc (120, 0, 9) } } } + presses (64, 1) },
};

class FormatSettings : public ::testing::TestWithParam<PluginFormat>
{
};
}

TEST_P (FormatSettings, EachSettingPlaysAsInTheVst2)
{
    const auto grid = GridScript::threeChords();

    for (const auto& row : rows)
    {
        auto reference = openPlugin (PluginFormat::vst2);
        auto plugin = openPlugin (GetParam());
        reference->loadGrid (makeGridChunk (grid, row.settings));
        plugin->loadGrid (makeGridChunk (grid, row.settings));
        EXPECT_EQ (plugin->saveGrid(), reference->saveGrid()) << row.name << ": the same state, settings and all";
        size_t notesSent = 0;

        for (size_t i = 0; i < row.blocks.size(); ++i)
        {
            if (row.blocks[i].restoreWith)
            {
                reference->loadGrid (makeGridChunk (grid, *row.blocks[i].restoreWith));
                plugin->loadGrid (makeGridChunk (grid, *row.blocks[i].restoreWith));
            }

            const auto expected = reference->play (row.blocks[i].in);
            notesSent += expected.size();
            EXPECT_EQ (plugin->play (row.blocks[i].in), expected) << row.name << ", block " << i;
        }

        EXPECT_GT (notesSent, 0u) << row.name << " plays something";
    }
}

INSTANTIATE_TEST_SUITE_P (EachFormat, FormatSettings, ::testing::Values (PluginFormat::vst3, PluginFormat::lv2),
                          [] (const auto& info) { return nameOf (info.param); });

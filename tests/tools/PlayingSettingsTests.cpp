// The playing settings as options and in a --state file, and a --pedal file's other messages,
// through the built program: the exact messages written and listed, the errors, the state saved.

#include "tests/tools/PlayFixture.h"

#include <functional>
#include <optional>

namespace
{
// Columns of one note each, so that every note names its column.
const std::vector<Chord> threeColumns { { { 60, 100 } }, { { 62, 90 } }, { { 64, 80 } } };

using Messages = std::vector<TimedMessage>;

juce::MidiMessage cc (int controller, int value, int channel = 1)
{
    return juce::MidiMessage::controllerEvent (channel, controller, value);
}

// Presses of {controller, tick}, each released a quarter beat later; then the extra messages.
Messages presses (std::initializer_list<std::pair<int, int>> controllerAtTick, Messages extra = {})
{
    for (const auto& [controller, tick] : controllerAtTick)
        extra.insert (extra.end(), { { tick, cc (controller, 127) }, { tick + 240, cc (controller, 0) } });

    return extra;
}

StoredSettings stored (const std::function<void (StoredSettings&)>& change, StoredSettings s = {})
{
    change (s);
    return s;
}

const auto fivePresses = presses ({ { 64, 0 }, { 64, 960 }, { 64, 1920 }, { 64, 2880 }, { 64, 3840 } });

// Around one press of controller 20: a controller, a note ended, a program change, a pitch bend,
// a note never ended, the sustain pedal on channel 16.
const auto handsAroundOnePress = presses ({ { 20, 480 } }, { { 96, cc (1, 5, 2) },
                                                             { 192, juce::MidiMessage::noteOn (3, 50, (juce::uint8) 90) },
                                                             { 768, juce::MidiMessage::noteOff (3, 50) },
                                                             { 864, juce::MidiMessage::programChange (1, 4) },
                                                             { 912, juce::MidiMessage::pitchWheel (1, 1000) },
                                                             { 936, juce::MidiMessage::noteOn (4, 70, (juce::uint8) 60) },
                                                             { 950, cc (64, 100, 16) } });

struct OptionRun
{
    const char* name;
    std::vector<std::string> options;
    std::vector<std::string> expected;  // messageText of every message written
    Messages pedal = {};                // none: the default pedal, a press a beat
    std::vector<Chord> grid = threeColumns;
    std::optional<StoredSettings> inStateFile = {};
    std::string refusal = {};  // a file the run must refuse, exiting with 1 and saying why

    friend void PrintTo (const OptionRun& row, std::ostream* os) { *os << row.name; }
};

const OptionRun optionRuns[] {
    // The default pedal presses the next trigger, wherever it is.
    { "Channel5WithTheDefaultPedalOnTheNextTrigger", { "--channel", "5", "--next-cc", "20" },
      { "@0 on 60 v100 ch5", "@960 off 60 ch5", "@960 on 62 v90 ch5", "@1920 off 62 ch5", "@1920 on 64 v80 ch5",
        "@2400 off 64 ch5" } },
    { "TransposeWithANotePushedPast127", { "--transpose", "+24", "--channel", "16" },
      { "@0 on 84 v100 ch16", "@960 off 84 ch16", "@960 on 86 v90 ch16", "@1440 off 86 ch16" }, {},
      { { { 60, 100 }, { 110, 100 } }, { { 62, 90 } } } },
    { "StopAtTheEndWithAPedalFile", { "--at-end", "stop" },
      { "@0 on 60 v100 ch1", "@960 off 60 ch1", "@960 on 62 v90 ch1", "@1920 off 62 ch1", "@1920 on 64 v80 ch1",
        "@2880 off 64 ch1" },
      fivePresses },
    { "HoldAtTheEndWithAPedalFile", { "--at-end", "hold" },
      { "@0 on 60 v100 ch1", "@960 off 60 ch1", "@960 on 62 v90 ch1", "@1920 off 62 ch1", "@1920 on 64 v80 ch1",
        "@4320 off 64 ch1" },
      fivePresses },
    // Reset, then previous from the first column wraps to the last; the run ends half a beat
    // after that last press of all, not after the next trigger's last.
    { "PreviousAndResetTriggersFromAPedalFile", { "--previous-cc", "67", "--reset-cc", "80" },
      { "@0 on 60 v100 ch1", "@960 off 60 ch1", "@960 on 62 v90 ch1", "@1920 off 62 ch1", "@2880 on 60 v100 ch1",
        "@3840 off 60 ch1", "@3840 on 64 v80 ch1", "@4320 off 64 ch1" },
      presses ({ { 64, 0 }, { 64, 960 }, { 80, 1920 }, { 64, 2880 }, { 67, 3840 } }) },
    // Column 2, then 1; column 7 does not exist.
    { "JumpByProgramChangeFromAPedalFile", { "--jump-by-program" },
      { "@480 on 64 v80 ch1", "@1440 off 64 ch1", "@1440 on 62 v90 ch1", "@2400 off 62 ch1", "@2400 on 64 v80 ch1",
        "@2880 off 64 ch1" },
      presses ({ { 64, 480 }, { 64, 1440 }, { 64, 2400 } }, { { 0, juce::MidiMessage::programChange (1, 2) },
                                                                { 960, juce::MidiMessage::programChange (1, 1) },
                                                                { 1920, juce::MidiMessage::programChange (1, 7) } }) },
    // The trigger's release is no other MIDI; the note the file leaves sounding ends with the run.
    { "PassThroughOfAPedalFilesOtherMessages", { "--next-cc", "20", "--pass-through" },
      { "@96 cc1=5 ch2", "@192 on 50 v90 ch3", "@480 on 60 v100 ch1", "@768 off 50 ch3", "@864 pc4 ch1",
        "@912 bend1000 ch1", "@936 on 70 v60 ch4", "@950 cc64=100 ch16", "@960 off 60 ch1", "@960 off 70 ch4" },
      handsAroundOnePress },
    { "OtherMessagesSwallowedWithoutPassThrough", { "--next-cc", "20" }, { "@480 on 60 v100 ch1", "@960 off 60 ch1" },
      handsAroundOnePress },
    { "SettingsOfTheStateFilePlay", {}, { "@0 on 6 v100 ch3", "@480 off 6 ch3" }, {}, { { { 10, 100 }, { 30, 100 } } },
      stored ([] (auto& s) { s.transpose = -24; s.channel = 3; }) },
    { "PedalFileThatNeverPressesTheNextTrigger", { "--next-cc", "20" }, {}, presses ({ { 64, 0 } }), threeColumns, {},
      "it never presses controller 20, the trigger that steps forward" },
    { "MalformedSettingsBlockNotRepairedByAnOption", { "--channel", "2" }, {}, {}, threeColumns,
      stored ([] (auto& s) { s.channel = 17; }), "the plug-in refused the state in" },
};
}

class OptionRunTest : public PlayTest, public testing::WithParamInterface<OptionRun>
{
};

TEST_P (OptionRunTest, WritesAndListsExactlyWhatThePluginSent)
{
    const auto& row = GetParam();
    const auto state = row.inStateFile ? gridChunk (row.grid, *row.inStateFile) : gridChunk (row.grid);
    std::vector<std::string> arguments { "--state", writeBytes ("grid.state", state) };

    if (! row.pedal.empty())
        arguments.insert (arguments.end(), { "--pedal", writeMessagesFile ("pedal.mid", row.pedal) });

    arguments.insert (arguments.end(), row.options.begin(), row.options.end());
    const auto run = play (arguments);

    if (! row.refusal.empty())
    {
        EXPECT_EQ (run.exitCode, 1) << testing::PrintToString (run);
        EXPECT_EQ (run.errLines().size(), 1u) << run.err;
        EXPECT_EQ (run.err.rfind ("corvadel-play: ", 0), 0u) << run.err;
        EXPECT_NE (run.err.find (row.refusal), std::string::npos) << run.err;
        EXPECT_FALSE (file ("corvadel-out.mid").exists());
        return;
    }

    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);
    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).messages, row.expected);

    auto listed = row.expected;

    for (auto& m : listed)
        m.erase (0, m.find (' ') + 1);  // the listing shows seconds, not ticks

    EXPECT_EQ (listedMessages (run), listed) << run.out;
}

INSTANTIATE_TEST_SUITE_P (Settings, OptionRunTest, testing::ValuesIn (optionRuns),
                          [] (const testing::TestParamInfo<OptionRun>& info) { return std::string (info.param.name); });

class SettingsTest : public PlayTest
{
};

//==============================================================================
// Each value at and beyond its range: beyond is a usage error (exit 2, one line with the usage),
// within plays.
TEST_F (SettingsTest, OutOfRangeOrOnTakenControllersAreUsageErrors)
{
    const std::pair<std::vector<std::string>, std::string> rows[] {
        { { "--next-cc", "120" }, "--next-cc needs a controller number from 0 to 119, not '120'" },
        { { "--next-cc", "none" }, "--next-cc needs a controller number from 0 to 119, not 'none'" },
        { { "--previous-cc", "128" }, "--previous-cc needs a controller number from 0 to 119 or none, not '128'" },
        { { "--at-end", "loop" }, "--at-end needs wrap, stop or hold, not 'loop'" },
        { { "--channel", "0" }, "--channel needs a MIDI channel from 1 to 16, not '0'" },
        { { "--channel", "17" }, "--channel needs a MIDI channel from 1 to 16, not '17'" },
        { { "--transpose", "25" }, "--transpose needs a number of semitones from -24 to +24, not '25'" },
        { { "--transpose", "+-3" }, "--transpose needs a number of semitones from -24 to +24, not '+-3'" },
        { { "--next-cc", "67", "--previous-cc", "67" },
          "--next-cc and --previous-cc both name controller 67: one controller is one trigger" },
        { { "--reset-cc", "64" },
          "--reset-cc 64 names the controller that steps forward: one controller is one trigger (--next-cc gives the next "
          "trigger another)" },
        // Within: these play.
        { { "--next-cc", "0", "--previous-cc", "119", "--channel", "16", "--transpose", "-24" }, "" },
        { { "--next-cc", "119", "--reset-cc", "0", "--channel", "1", "--transpose", "+24" }, "" },
        { { "--next-cc", "20", "--previous-cc", "64" }, "" },
    };

    for (const auto& [arguments, error] : rows)
    {
        SCOPED_TRACE (arguments[0] + " " + arguments[1]);
        file ("corvadel-out.mid").deleteFile();
        const auto run = play (arguments);

        EXPECT_EQ (run.exitCode, error.empty() ? 0 : 2) << testing::PrintToString (run);
        EXPECT_EQ (file ("corvadel-out.mid").exists(), error.empty());
        EXPECT_EQ (run.errLines().size(), error.empty() ? 0u : 1u) << run.err;
        EXPECT_EQ (run.err.rfind ("corvadel-play: " + error + "; usage: corvadel-play", 0),
                   error.empty() ? std::string::npos : 0u) << run.err;
    }
}

//==============================================================================
// --save-state: the grid, then the settings block as the README lays it out, only when a setting
// differs from its default; the listing's heading names the settings.
TEST_F (SettingsTest, SavedAfterTheGrid)
{
    const auto inFile = stored ([] (auto& s) {
        s.previous = 67; s.reset = 80; s.jumpByProgramChange = 1; s.endOfGrid = 2; s.passThrough = 1; s.channel = 5;
    });
    const struct
    {
        std::optional<StoredSettings> inStateFile;
        std::vector<std::string> options;
        std::optional<StoredSettings> saved;  // none: the grid alone
        std::string heading;
    } rows[] {
        { {},
          { "--next-cc", "20", "--previous-cc", "67", "--reset-cc", "80", "--jump-by-program", "--at-end", "stop",
            "--pass-through", "--channel", "9", "--transpose", "-5" },
          StoredSettings { 20, 67, 80, 1, 1, 1, 9, -5 },
          "Playing settings: --next-cc 20 --previous-cc 67 --reset-cc 80 --jump-by-program --at-end stop --pass-through "
          "--channel 9 --transpose -5" },
        // A controller given to another trigger is taken from its owner; the rest stays as the file has it.
        { inFile, { "--next-cc", "67", "--previous-cc", "80", "--channel", "3" },
          stored ([] (auto& s) { s.next = 67; s.previous = 80; s.reset = -1; s.channel = 3; }, inFile),
          "Playing settings: --next-cc 67 --previous-cc 80 --jump-by-program --at-end hold --pass-through --channel 3" },
        { inFile,
          { "--previous-cc", "none", "--reset-cc", "none", "--no-jump-by-program", "--at-end", "wrap", "--no-pass-through",
            "--channel", "1" },
          {}, "presses of controller 64 at 120 bpm\n  time" },  // no settings line before the listing
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.heading);
        const auto state = row.inStateFile ? gridChunk (threeColumns, *row.inStateFile) : gridChunk (threeColumns);
        std::vector<std::string> arguments { "--state", writeBytes ("in.state", state), "--save-state", "out.state" };
        arguments.insert (arguments.end(), row.options.begin(), row.options.end());

        const auto run = play (arguments);
        ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

        juce::MemoryBlock saved;
        ASSERT_TRUE (file ("out.state").loadFileAsData (saved));
        EXPECT_EQ (saved, row.saved ? gridChunk (threeColumns, *row.saved) : gridChunk (threeColumns));
        EXPECT_NE (run.out.find (row.heading), std::string::npos) << run.out;
    }
}

// The playing settings as options and in a --state file, and a --pedal file's other messages:
// each row a run of the built program, with the exact messages the output file and the listing
// hold.

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

// A press of the controller at each tick on channel 1, each released a quarter beat later.
Messages presses (std::initializer_list<std::pair<int, int>> controllerAtTick)
{
    Messages messages;

    for (const auto& [controller, tick] : controllerAtTick)
    {
        messages.push_back ({ tick, cc (controller, 127) });
        messages.push_back ({ tick + 240, cc (controller, 0) });
    }

    return messages;
}

Messages operator+ (Messages a, const Messages& b)
{
    a.insert (a.end(), b.begin(), b.end());
    return a;
}

const Messages pressesAtEveryBeatPastTheEnd = presses ({ { 64, 0 }, { 64, 960 }, { 64, 1920 }, { 64, 2880 }, { 64, 3840 } });

// Other MIDI around one press: a controller, a note ended, a program change, a pitch bend, a note
// the file never ends, a controller on channel 16.
const Messages handsAroundOnePress = Messages { { 96, cc (1, 5, 2) },
                                                { 192, juce::MidiMessage::noteOn (3, 50, (juce::uint8) 90) },
                                                { 768, juce::MidiMessage::noteOff (3, 50) },
                                                { 864, juce::MidiMessage::programChange (1, 4) },
                                                { 912, juce::MidiMessage::pitchWheel (1, 1000) },
                                                { 936, juce::MidiMessage::noteOn (4, 70, (juce::uint8) 60) },
                                                { 950, cc (7, 100, 16) } }
                                   + presses ({ { 64, 480 } });

const Messages programChangesBetweenPresses = Messages { { 0, juce::MidiMessage::programChange (1, 2) },
                                                         { 960, juce::MidiMessage::programChange (1, 1) },
                                                         { 1920, juce::MidiMessage::programChange (1, 7) } }
                                            + presses ({ { 64, 480 }, { 64, 1440 }, { 64, 2400 } });

struct OptionRun
{
    const char* name;
    std::vector<std::string> options;
    std::vector<std::string> expected;  // messageText of every message written
    Messages pedal = {};                // none: the default pedal, a press a beat
    std::vector<Chord> grid = threeColumns;
    std::optional<StoredSettings> stateSettings = {};  // a settings block in the --state file

    friend void PrintTo (const OptionRun& row, std::ostream* os) { *os << row.name; }
};

StoredSettings stored (const std::function<void (StoredSettings&)>& change)
{
    StoredSettings s;
    change (s);
    return s;
}

const OptionRun optionRuns[] {
    { "Channel5ForTheChordsAndTheRunsEnd", { "--channel", "5" },
      { "@0 on 60 v100 ch5", "@960 off 60 ch5", "@960 on 62 v90 ch5", "@1920 off 62 ch5", "@1920 on 64 v80 ch5",
        "@2400 off 64 ch5" } },

    { "TransposeWithANotePushedPast127", { "--transpose", "+24", "--channel", "16" },
      { "@0 on 84 v100 ch16", "@960 off 84 ch16", "@960 on 86 v90 ch16", "@1440 off 86 ch16" },
      {}, { { { 60, 100 }, { 110, 100 } }, { { 62, 90 } } } },

    { "StopAtTheEndWithAPedalFile", { "--at-end", "stop" },
      { "@0 on 60 v100 ch1", "@960 off 60 ch1", "@960 on 62 v90 ch1", "@1920 off 62 ch1", "@1920 on 64 v80 ch1",
        "@2880 off 64 ch1" },
      pressesAtEveryBeatPastTheEnd },

    { "HoldAtTheEndWithAPedalFile", { "--at-end", "hold" },
      { "@0 on 60 v100 ch1", "@960 off 60 ch1", "@960 on 62 v90 ch1", "@1920 off 62 ch1", "@1920 on 64 v80 ch1",
        "@4320 off 64 ch1" },
      pressesAtEveryBeatPastTheEnd },

    // Reset, next, then previous from the first column wraps to the last; the run ends half a
    // beat after that last press, not after the last press of the next trigger.
    { "PreviousAndResetTriggersFromAPedalFile", { "--previous-cc", "67", "--reset-cc", "80" },
      { "@0 on 60 v100 ch1", "@960 off 60 ch1", "@960 on 62 v90 ch1", "@1920 off 62 ch1", "@2880 on 60 v100 ch1",
        "@3840 off 60 ch1", "@3840 on 64 v80 ch1", "@4320 off 64 ch1" },
      presses ({ { 64, 0 }, { 64, 960 }, { 80, 1920 }, { 64, 2880 }, { 67, 3840 } }) },

    { "JumpByProgramChangeFromAPedalFile", { "--jump-by-program" },
      { "@480 on 64 v80 ch1", "@1440 off 64 ch1", "@1440 on 62 v90 ch1", "@2400 off 62 ch1", "@2400 on 64 v80 ch1",
        "@2880 off 64 ch1" },
      programChangesBetweenPresses },

    { "ProgramChangesWithoutTheJumpStepNothing", {},
      { "@480 on 60 v100 ch1", "@1440 off 60 ch1", "@1440 on 62 v90 ch1", "@2400 off 62 ch1", "@2400 on 64 v80 ch1",
        "@2880 off 64 ch1" },
      programChangesBetweenPresses },

    // The trigger's release is no other MIDI; the note the file leaves sounding ends with the run.
    { "PassThroughOfAPedalFilesOtherMessages", { "--pass-through" },
      { "@96 cc1=5 ch2", "@192 on 50 v90 ch3", "@480 on 60 v100 ch1", "@768 off 50 ch3", "@864 pc4 ch1",
        "@912 bend1000 ch1", "@936 on 70 v60 ch4", "@950 cc7=100 ch16", "@960 off 60 ch1", "@960 off 70 ch4" },
      handsAroundOnePress },

    { "OtherMessagesSwallowedWithoutPassThrough", {}, { "@480 on 60 v100 ch1", "@960 off 60 ch1" }, handsAroundOnePress },

    { "ATriggerOfThePlayersOwnLeavesTheSustainPedalOtherMidi", { "--next-cc", "20", "--pass-through" },
      { "@0 cc64=127 ch1", "@240 cc64=0 ch1", "@480 on 60 v100 ch1", "@960 off 60 ch1" },
      presses ({ { 64, 0 }, { 20, 480 } }) },

    { "TheDefaultPedalPressesTheNextTrigger", { "--next-cc", "20" },
      { "@0 on 60 v100 ch1", "@960 off 60 ch1", "@960 on 62 v90 ch1", "@1920 off 62 ch1", "@1920 on 64 v80 ch1",
        "@2400 off 64 ch1" } },

    { "SettingsOfTheStateFilePlay", {}, { "@0 on 6 v100 ch3", "@480 off 6 ch3" }, {},
      { { { 10, 100 }, { 30, 100 } } }, stored ([] (auto& s) { s.transpose = -24; s.channel = 3; }) },

    { "AnOptionReplacesOneSettingOfTheStateFile", { "--channel", "4" }, { "@0 on 6 v100 ch4", "@480 off 6 ch4" }, {},
      { { { 10, 100 }, { 30, 100 } } }, stored ([] (auto& s) { s.transpose = -24; s.channel = 3; }) },
};

std::vector<std::string> withoutTicks (std::vector<std::string> messages)
{
    for (auto& m : messages)
        m = m.substr (m.find (' ') + 1);

    return messages;
}
}

class OptionRunTest : public PlayTest, public testing::WithParamInterface<OptionRun>
{
};

TEST_P (OptionRunTest, WritesAndListsExactlyWhatThePluginSent)
{
    const auto& row = GetParam();
    const auto state = row.stateSettings ? gridChunk (row.grid, *row.stateSettings) : gridChunk (row.grid);
    std::vector<std::string> arguments { "--state", writeBytes ("grid.state", state) };

    if (! row.pedal.empty())
        arguments.insert (arguments.end(), { "--pedal", writeMessagesFile ("pedal.mid", row.pedal) });

    arguments.insert (arguments.end(), row.options.begin(), row.options.end());
    const auto run = play (arguments);
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).messages, row.expected);
    EXPECT_EQ (listedMessages (run), withoutTicks (row.expected)) << run.out;
}

INSTANTIATE_TEST_SUITE_P (Settings, OptionRunTest, testing::ValuesIn (optionRuns),
                          [] (const testing::TestParamInfo<OptionRun>& info) { return std::string (info.param.name); });

//==============================================================================
// Values at and beyond each setting's range, and settings the plug-in must not be given: what is
// wrong with the command line exits with 2, what is wrong with a file with 1, each on one line;
// what is right plays.
class SettingsFiles : public PlayTest
{
public:
    using PlayTest::writeBytes;
    using PlayTest::writeMessagesFile;
};

struct SettingsCommandLine
{
    const char* name;
    std::function<std::vector<std::string> (SettingsFiles&)> arguments;
    int exitCode;
    std::string fragment = {};

    friend void PrintTo (const SettingsCommandLine& row, std::ostream* os) { *os << row.name; }
};

class SettingsCommandLineTest : public SettingsFiles, public testing::WithParamInterface<SettingsCommandLine>
{
};

namespace
{
SettingsCommandLine given (const char* name, std::vector<std::string> arguments, int exitCode, std::string fragment = {})
{
    return { name, [arguments] (SettingsFiles&) { return arguments; }, exitCode, std::move (fragment) };
}

std::string stateWithChannel17 (SettingsFiles& test)
{
    return test.writeBytes ("bad.state", gridChunk (threeColumns, stored ([] (auto& s) { s.channel = 17; })));
}

const std::string controllerRange = "a controller number from 0 to 119";

const SettingsCommandLine settingsCommandLines[] {
    given ("NextCcOf120", { "--next-cc", "120" }, 2, "--next-cc needs " + controllerRange + ", not '120'"),
    given ("NextCcOfNone", { "--next-cc", "none" }, 2, "--next-cc needs " + controllerRange + ", not 'none'"),
    given ("NextCcOfMinusOne", { "--next-cc", "-1" }, 2, "--next-cc needs"),
    given ("PreviousCcOf128", { "--previous-cc", "128" }, 2, "--previous-cc needs " + controllerRange + " or none"),
    given ("ResetCcOfAFraction", { "--reset-cc", "1.5" }, 2, "--reset-cc needs"),
    given ("AtEndLoop", { "--at-end", "loop" }, 2, "--at-end needs wrap, stop or hold, not 'loop'"),
    given ("ChannelZero", { "--channel", "0" }, 2, "--channel needs a MIDI channel from 1 to 16"),
    given ("Channel17", { "--channel", "17" }, 2, "--channel needs"),
    given ("ChannelInHexadecimal", { "--channel", "0x1" }, 2, "--channel needs"),
    given ("Transpose25", { "--transpose", "25" }, 2, "--transpose needs a number of semitones from -24 to +24"),
    given ("TransposeMinus25", { "--transpose", "-25" }, 2, "--transpose needs"),
    given ("TransposeOfTwoSigns", { "--transpose", "+-3" }, 2, "--transpose needs"),
    given ("TransposeWithALeadingSpace", { "--transpose", " 3" }, 2, "--transpose needs"),
    given ("TransposeWithoutItsValue", { "--transpose" }, 2, "--transpose needs a value"),
    given ("OneControllerForTwoTriggers", { "--next-cc", "67", "--previous-cc", "67" }, 2,
           "--next-cc and --previous-cc both name controller 67"),
    given ("PreviousAndResetOnOneController", { "--previous-cc", "80", "--reset-cc", "80" }, 2,
           "--previous-cc and --reset-cc both name controller 80"),
    given ("ResetOnTheNextTriggersController", { "--reset-cc", "64" }, 2,
           "--reset-cc 64 names the controller that steps forward"),
    { "PedalFileThatNeverPressesTheNextTrigger",
      [] (SettingsFiles& t) -> std::vector<std::string> {
          return { "--next-cc", "20", "--pedal", t.writeMessagesFile ("pedal.mid", presses ({ { 64, 0 } })) };
      },
      1, "it never presses controller 20, the trigger that steps forward" },
    { "StateWithAMalformedSettingsBlock",
      [] (SettingsFiles& t) -> std::vector<std::string> { return { "--state", stateWithChannel17 (t) }; }, 1,
      "the plug-in refused the state in" },
    { "StateWithAMalformedSettingsBlockAndAnOption",
      [] (SettingsFiles& t) -> std::vector<std::string> { return { "--state", stateWithChannel17 (t), "--channel", "2" }; },
      1, "the plug-in refused the state in" },

    // Just within: these play.
    given ("EveryRangesEnds", { "--next-cc", "0", "--previous-cc", "119", "--channel", "16", "--transpose", "-24" }, 0),
    given ("TheOtherEnds", { "--next-cc", "119", "--reset-cc", "0", "--channel", "1", "--transpose", "+24" }, 0),
    given ("PreviousOnTheSustainPedalOnceNextHasAnother", { "--next-cc", "20", "--previous-cc", "64" }, 0),
    given ("EverySwitchAndWord", { "--jump-by-program", "--pass-through", "--at-end", "hold", "--no-pass-through",
                                   "--previous-cc", "none", "--reset-cc", "none" },
           0),
};
}

TEST_P (SettingsCommandLineTest, RefusedOnOneLineOrPlayed)
{
    const auto& row = GetParam();
    const auto run = play (row.arguments (*this));

    ASSERT_TRUE (run.exitedNormally) << testing::PrintToString (run);
    ASSERT_EQ (run.exitCode, row.exitCode) << testing::PrintToString (run);

    if (row.exitCode == 0)
    {
        EXPECT_FALSE (readOutput (file ("corvadel-out.mid")).notes.empty());
        return;
    }

    const auto lines = run.errLines();
    ASSERT_EQ (lines.size(), 1u) << run.err;
    EXPECT_EQ (lines[0].rfind ("corvadel-play: ", 0), 0u) << lines[0];
    EXPECT_NE (lines[0].find (row.fragment), std::string::npos) << lines[0];
    EXPECT_EQ (lines[0].find ("usage: corvadel-play") != std::string::npos, row.exitCode == 2) << lines[0];
    EXPECT_FALSE (file ("corvadel-out.mid").exists());
}

INSTANTIATE_TEST_SUITE_P (Settings, SettingsCommandLineTest, testing::ValuesIn (settingsCommandLines),
                          [] (const testing::TestParamInfo<SettingsCommandLine>& info) {
                              return std::string (info.param.name);
                          });

//==============================================================================
// --save-state after a run: the settings block as the README lays it out, after the grid's
// bytes, only when a setting differs from its default.
struct SavedSettings
{
    const char* name;
    std::optional<StoredSettings> inStateFile;
    std::vector<std::string> options;
    std::optional<StoredSettings> saved;  // none: the grid alone

    friend void PrintTo (const SavedSettings& row, std::ostream* os) { *os << row.name; }
};

namespace
{
const StoredSettings previousStopChannel5 = stored ([] (auto& s) { s.previous = 67; s.endOfGrid = 1; s.channel = 5; });

const SavedSettings savedSettings[] {
    { "EveryOptionSaved", {},
      { "--next-cc", "20", "--previous-cc", "67", "--reset-cc", "80", "--jump-by-program", "--at-end", "stop",
        "--pass-through", "--channel", "9", "--transpose", "-5" },
      StoredSettings { 20, 67, 80, 1, 1, 1, 9, -5 } },
    { "HoldSaved", {}, { "--at-end", "hold" }, stored ([] (auto& s) { s.endOfGrid = 2; }) },
    { "TheStateFilesSettingsKept", previousStopChannel5, {}, previousStopChannel5 },
    { "AnOptionReplacesOnlyItsSetting", previousStopChannel5, { "--channel", "3" },
      stored ([] (auto& s) { s.previous = 67; s.endOfGrid = 1; s.channel = 3; }) },
    { "AControllerGivenToAnotherTriggerIsTakenFromItsOwner", stored ([] (auto& s) { s.previous = 67; s.reset = 80; }),
      { "--next-cc", "67", "--previous-cc", "80" }, stored ([] (auto& s) { s.next = 67; s.previous = 80; }) },
    { "OptionsBackToTheDefaultsSaveTheGridAlone", previousStopChannel5,
      { "--previous-cc", "none", "--at-end", "wrap", "--channel", "1" }, {} },
    { "SwitchesTurnedOffSaveTheGridAlone",
      stored ([] (auto& s) { s.jumpByProgramChange = 1; s.passThrough = 1; }),
      { "--no-jump-by-program", "--no-pass-through" }, {} },
    { "DefaultsSaveTheGridAlone", {}, {}, {} },
};
}

class SavedSettingsTest : public PlayTest, public testing::WithParamInterface<SavedSettings>
{
};

TEST_P (SavedSettingsTest, SavedAfterTheGrid)
{
    const auto& row = GetParam();
    const auto state = row.inStateFile ? gridChunk (threeColumns, *row.inStateFile) : gridChunk (threeColumns);
    std::vector<std::string> arguments { "--state", writeBytes ("in.state", state), "--save-state", "out.state" };
    arguments.insert (arguments.end(), row.options.begin(), row.options.end());

    const auto run = play (arguments);
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    juce::MemoryBlock saved;
    ASSERT_TRUE (file ("out.state").loadFileAsData (saved));
    EXPECT_EQ (saved, row.saved ? gridChunk (threeColumns, *row.saved) : gridChunk (threeColumns));
}

INSTANTIATE_TEST_SUITE_P (Settings, SavedSettingsTest, testing::ValuesIn (savedSettings),
                          [] (const testing::TestParamInfo<SavedSettings>& info) { return std::string (info.param.name); });

TEST_F (PlayTest, StateSavedWithSettingsPlaysTheSameAgain)
{
    const auto first = play ({ "--chart", "C G Am", "--transpose", "-5", "--channel", "9", "--at-end", "hold",
                               "--save-state", "saved.state", "--out", "first.mid" });
    ASSERT_EQ (first.exitCode, 0) << testing::PrintToString (first);

    const auto again = play ({ "--state", "saved.state", "--out", "again.mid" });
    ASSERT_EQ (again.exitCode, 0) << testing::PrintToString (again);

    const auto played = readOutput (file ("first.mid")).notes;
    ASSERT_EQ (played.size(), 24u);  // three chords of four notes, each started and ended
    EXPECT_EQ (played.front(), (PlayedNote { 0, true, 43, 100, 9 }));  // C3 a fourth lower
    EXPECT_EQ (readOutput (file ("again.mid")).notes, played);
    EXPECT_NE (again.out.find ("Playing settings: --at-end hold --channel 9 --transpose -5"), std::string::npos)
        << again.out;
}

// What the program says to input it cannot use: one line on standard error, exit code 1 for
// unusable files or plug-ins, 2 for a wrong command line, and never a crash.

#include "tests/tools/PlayFixture.h"

#include <dlfcn.h>
#include <filesystem>
#include <functional>

namespace
{
// A real shared library that is no plug-in: the C library this test runs on.
std::string libraryWithoutEntry()
{
    Dl_info info {};
    return dladdr (reinterpret_cast<void*> (&dlopen), &info) != 0 && info.dli_fname != nullptr ? info.dli_fname : "";
}
}

class BadInputTest : public PlayTest
{
protected:
    // Exit code as given, exactly one line on standard error naming the program and holding the
    // fragment, and no output file left behind.
    void expectRefusal (const ToolRun& run, int exitCode, const std::string& fragment)
    {
        ASSERT_TRUE (run.exitedNormally) << testing::PrintToString (run);
        EXPECT_EQ (run.exitCode, exitCode) << testing::PrintToString (run);

        const auto lines = run.errLines();
        ASSERT_EQ (lines.size(), 1u) << run.err;
        EXPECT_EQ (lines[0].rfind ("corvadel-play: ", 0), 0u) << lines[0];
        EXPECT_NE (lines[0].find (fragment), std::string::npos) << lines[0];
        EXPECT_FALSE (file ("corvadel-out.mid").exists());
    }

    std::string textFile() { return writeText ("notes.mid", "C E G, then A C E\n"); }
    std::string fileWithoutNotes()
    {
        return writePedalFile ("no-notes.mid", { { 0, 1, 127 }, { 480, 1, 0 } }, { { 0, 100.0 } }, 960);
    }
};

TEST_F (BadInputTest, MissingChordsFile)
{
    expectRefusal (play ({ "--chords", path ("absent.mid") }), 1, "cannot read chords from " + path ("absent.mid"));
}

TEST_F (BadInputTest, TextFilePassedAsChords)
{
    expectRefusal (play ({ "--chords", textFile() }), 1, "not a MIDI file");
}

TEST_F (BadInputTest, ChordsFileWithoutNoteOns)
{
    expectRefusal (play ({ "--chords", fileWithoutNotes() }), 1, "no notes");
}

TEST_F (BadInputTest, EmptyFilePassedAsChords)
{
    expectRefusal (play ({ "--chords", writeText ("empty.mid", "") }), 1, "not a MIDI file");
}

TEST_F (BadInputTest, FolderPassedAsChords)
{
    ASSERT_TRUE (file ("sub").createDirectory());
    expectRefusal (play ({ "--chords", path ("sub") }), 1, "folder");
}

TEST_F (BadInputTest, TextFilePassedAsPedal)
{
    expectRefusal (play ({ "--pedal", textFile() }), 1, "cannot read pedal presses");
}

TEST_F (BadInputTest, PedalFileWithoutPresses)
{
    const auto onlyNotes = writeChordsFile ("notes-only.mid", { { { 60, 100 } } });
    expectRefusal (play ({ "--pedal", onlyNotes }), 1, "it never presses controller 64");
}

TEST_F (BadInputTest, MissingStateFile)
{
    expectRefusal (play ({ "--state", path ("absent.state") }), 1, "cannot read the state from");
}

TEST_F (BadInputTest, EmptyStateFile)
{
    expectRefusal (play ({ "--state", writeText ("blank.state", "") }), 1, "it is empty");
}

TEST_F (BadInputTest, PluginPathThatDoesNotExist)
{
    expectRefusal (play ({ "--plugin", path ("nowhere/Corvadel.so") }, false), 1, "cannot load the plug-in");
}

TEST_F (BadInputTest, PluginThatIsNotALibrary)
{
    expectRefusal (play ({ "--plugin", writeText ("fake.so", "not a library\n") }, false), 1,
                   "cannot load the plug-in " + path ("fake.so"));
}

TEST_F (BadInputTest, LibraryWithoutTheEntry)
{
    const auto library = libraryWithoutEntry();
    ASSERT_FALSE (library.empty());
    expectRefusal (play ({ "--plugin", library }, false), 1, "VSTPluginMain");
}

TEST_F (BadInputTest, UnwritableOutputFile)
{
    const auto run = play ({ "--out", path ("no-such-folder/out.mid") });
    ASSERT_TRUE (run.exitedNormally) << testing::PrintToString (run);
    EXPECT_EQ (run.exitCode, 1);
    ASSERT_EQ (run.errLines().size(), 1u) << run.err;
    EXPECT_NE (run.err.find ("out.mid"), std::string::npos) << run.err;
}

TEST_F (BadInputTest, UnwritableSavedState)
{
    ASSERT_TRUE (file ("taken").createDirectory());
    const auto run = play ({ "--save-state", path ("taken") });
    ASSERT_TRUE (run.exitedNormally) << testing::PrintToString (run);
    EXPECT_EQ (run.exitCode, 1);
    ASSERT_EQ (run.errLines().size(), 1u) << run.err;
    EXPECT_NE (run.err.find ("taken"), std::string::npos) << run.err;
}

//==============================================================================
TEST_F (BadInputTest, BpmThatIsNotAPositiveNumber)
{
    for (const char* bpm : { "0", "-120", "fast", "", "12x", "nan", "inf" })
    {
        SCOPED_TRACE (bpm);
        expectRefusal (play ({ "--bpm", bpm }), 2, "--bpm");
    }
}

TEST_F (BadInputTest, UnknownOption)
{
    const auto run = play ({ "--loud" });
    expectRefusal (run, 2, "unknown option --loud");
    EXPECT_NE (run.err.find ("usage: corvadel-play"), std::string::npos) << "the usage goes with it";
}

TEST_F (BadInputTest, OptionWithoutItsValue)
{
    expectRefusal (play ({ "--out" }), 2, "--out needs a value");
}

TEST_F (BadInputTest, TwoSourcesOfChords)
{
    const auto chords = writeChordsFile ("c.mid", { { { 60, 100 } } });

    for (const auto& [first, second] : { std::pair<std::vector<std::string>, std::vector<std::string>> {
                                             { "--chords", chords }, { "--state", "x.state" } },
                                         { { "--chart", "C G" }, { "--chords", chords } },
                                         { { "--state", "x.state" }, { "--chart", "C G" } } })
    {
        auto arguments = first;
        arguments.insert (arguments.end(), second.begin(), second.end());
        expectRefusal (play (arguments), 2, "--chords, --state and --chart each give the chord sequence");
    }
}

TEST_F (BadInputTest, StrayArgument)
{
    expectRefusal (play ({ "chords.mid" }), 2, "unexpected argument chords.mid");
}

//==============================================================================
// Faults seen on input the program must refuse: each once made it run for hours, crash, trip
// a sanitizer or leave output behind. Every row must end within 5 seconds with its exit
// code and one line on standard error (a sanitizer's report would add lines), and leave the
// folder as it found it: no output file and no temporary file.
namespace
{
constexpr double rowTimeLimitSeconds = 5.0;

// The largest state the plug-in takes: 4096 columns of 1024 cells of 8 bytes, after the counts.
// The largest grid, and the longest settings block.
constexpr int64_t largestStateBytes = 8 + 4096LL * 1024 * 8 + 256;

// MIDI keeps tempo in microseconds a quarter note in three bytes: this is the slowest tempo.
const double slowestFileBpm = 60.0e6 / 0xFFFFFF;

juce::MemoryBlock bytesOf (std::initializer_list<int> values)
{
    juce::MemoryBlock block;

    for (int v : values)
    {
        const auto byte = (juce::uint8) v;
        block.append (&byte, 1);
    }

    return block;
}
}

// Files at and beyond the limits, and what is left in the scratch folder.
class InputLimitsTest : public PlayTest
{
public:
    using PlayTest::path;
    using PlayTest::writeBytes;
    using PlayTest::writeChordsFile;
    using PlayTest::writePedalFile;

    // A file of that many bytes that takes no room on the disk.
    std::string writeSparse (const std::string& name, int64_t size)
    {
        EXPECT_TRUE (file (name).create());
        std::error_code error;
        std::filesystem::resize_file (path (name), (std::uintmax_t) size, error);
        EXPECT_FALSE (error) << error.message();
        return path (name);
    }

    // A pedal file pressing at ticks 0 and 960 and releasing between, with the header division
    // given here and, when given, one meta event at tick 0.
    std::string writePedalFileWithTiming (const std::string& name, int division, const juce::MemoryBlock& meta)
    {
        juce::MidiMessageSequence track;

        if (! meta.isEmpty())
            track.addEvent (juce::MidiMessage (meta.getData(), (int) meta.getSize()), 0);

        track.addEvent (juce::MidiMessage::controllerEvent (1, 64, 127), 0);
        track.addEvent (juce::MidiMessage::controllerEvent (1, 64, 0), 480);
        track.addEvent (juce::MidiMessage::controllerEvent (1, 64, 127), 960);

        juce::MidiFile midi;
        midi.setTicksPerQuarterNote (960);
        midi.addTrack (track);
        juce::MemoryOutputStream bytes;
        midi.writeTo (bytes, 1);

        // The division is the header's last two bytes (big-endian), written here as they come.
        auto block = bytes.getMemoryBlock();
        static_cast<juce::uint8*> (block.getData())[12] = (juce::uint8) (division >> 8);
        static_cast<juce::uint8*> (block.getData())[13] = (juce::uint8) division;
        return writeBytes (name, block);
    }

    std::string chords() { return writeChordsFile ("chords.mid", { { { 60, 100 } }, { { 64, 100 } } }); }

    juce::StringArray folderContents() const
    {
        juce::StringArray names;

        // Hidden files too: temporary files may be hidden.
        for (const auto& entry : juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFilesAndDirectories))
            names.add (entry.getFile().getFileName());

        names.sort (false);
        return names;
    }
};

struct RefusedInput
{
    const char* name;
    std::function<std::vector<std::string> (InputLimitsTest&)> arguments;
    int exitCode;
    std::string fragment;
};

void PrintTo (const RefusedInput& row, std::ostream* os) { *os << row.name; }

class RefusedInputTest : public InputLimitsTest, public testing::WithParamInterface<RefusedInput>
{
};

TEST_P (RefusedInputTest, EndsAtOnceWithOneLineAndLeavesNothing)
{
    const auto& row = GetParam();
    auto arguments = row.arguments (*this);
    arguments.insert (arguments.begin(), { "--plugin", pluginFile().getFullPathName().toStdString() });
    const auto before = folderContents();

    const auto run = ToolRun::run (arguments, folder, rowTimeLimitSeconds);

    ASSERT_FALSE (run.timedOut) << testing::PrintToString (run);
    ASSERT_TRUE (run.exitedNormally) << testing::PrintToString (run);
    EXPECT_EQ (run.exitCode, row.exitCode) << testing::PrintToString (run);

    const auto lines = run.errLines();
    ASSERT_EQ (lines.size(), 1u) << run.err;
    EXPECT_EQ (lines[0].rfind ("corvadel-play: ", 0), 0u) << lines[0];
    EXPECT_NE (lines[0].find (row.fragment), std::string::npos) << lines[0];
    EXPECT_LT (lines[0].size(), 1000u) << "a message quotes at most a line's worth of what it refuses";
    EXPECT_EQ (folderContents(), before) << "output or temporary files were left behind";
}

INSTANTIATE_TEST_SUITE_P (
    Faults, RefusedInputTest,
    testing::Values (
        RefusedInput { "StateWithCountsOfTwoToThe31",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           return { "--state", t.writeBytes ("huge.state", bytesOf ({ 0xff, 0xff, 0xff, 0x7f,
                                                                                      0xff, 0xff, 0xff, 0x7f })) };
                       },
                       1, "the plug-in refused the state" },
        RefusedInput { "StateFromAnEndlessDevice",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--state", "/dev/zero" }; },
                       1, std::to_string (largestStateBytes) + " bytes" },
        RefusedInput { "StateOneByteLargerThanAnyState",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           return { "--state", t.writeSparse ("large.state", largestStateBytes + 1) };
                       },
                       1, std::to_string (largestStateBytes) + " bytes" },
        RefusedInput { "PedalPressAtTheLargestTick",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           // 2^28 - 1 ticks at 120 bpm: 39 hours.
                           return { "--chords", t.chords(), "--pedal",
                                    t.writePedalFile ("far.mid", { { 0, 1, 127 }, { 480, 1, 0 }, { 0x0FFFFFFF, 1, 127 } },
                                                      {}, 960) };
                       },
                       1, "one hour" },
        RefusedInput { "PedalPressAtAModestTickAtTheSlowestTempo",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           // 250 beats of 16.8 s: 70 minutes.
                           return { "--chords", t.chords(), "--pedal",
                                    t.writePedalFile ("slow.mid", { { 0, 1, 127 }, { 480, 1, 0 }, { 250 * 960, 1, 127 } },
                                                      { { 0, slowestFileBpm } }, 960) };
                       },
                       1, "one hour" },
        RefusedInput { "PedalFileAtAMillionBeatsAMinute",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           // A tick a beat; three million beats in (three minutes): more ticks
                           // than the output file's 960 a beat can count.
                           return { "--chords", t.chords(), "--pedal",
                                    t.writePedalFile ("fast.mid", { { 0, 1, 127 }, { 1, 1, 0 }, { 3000000, 1, 127 } },
                                                      { { 0, 1.0e6 } }, 1) };
                       },
                       1, "beyond the 268435455" },
        RefusedInput { "BpmOfAMillionth",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--bpm", "0.000001" }; }, 2,
                       "--bpm" },
        RefusedInput { "BpmOfAThousandth",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--bpm", "1e-3" }; }, 2, "--bpm" },
        RefusedInput { "BpmOfTenToTheMinus300",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--bpm", "1e-300" }; }, 2,
                       "--bpm" },
        RefusedInput { "BpmSlowerThanAMidiFileCanHold",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--bpm", "3.5" }; }, 2, "--bpm" },
        RefusedInput { "BpmWithALeadingSpace",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--bpm", " 120" }; }, 2, "--bpm" },
        RefusedInput { "BpmInHexadecimal",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--bpm", "0x78" }; }, 2, "--bpm" },
        RefusedInput { "TimeSignatureOfTwoToThe40",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           return { "--chords", t.chords(), "--pedal",
                                    t.writePedalFileWithTiming ("sig.mid", 960, bytesOf ({ 0xff, 0x58, 4, 4, 40, 24, 8 })) };
                       },
                       1, "time signature" },
        RefusedInput { "SmpteDivisionOfNoTicksAFrame",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           return { "--chords", t.chords(), "--pedal", t.writePedalFileWithTiming ("smpte.mid", 0xE700, {}) };
                       },
                       1, "0 ticks" },
        RefusedInput { "DivisionOfNoTicksAQuarterNote",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           return { "--chords", t.chords(), "--pedal", t.writePedalFileWithTiming ("zero.mid", 0, {}) };
                       },
                       1, "0 ticks" },
        RefusedInput { "PluginClaimingTwoToThe31Channels",
                       [] (InputLimitsTest&) -> std::vector<std::string> {
                           return { "--plugin", CORVADEL_OVERSIZED_CHANNELS_PLUGIN_PATH };
                       },
                       1, "2147483647" },
        RefusedInput { "SavedStateThatCannotBeWritten",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           return { "--save-state", t.path ("no-folder/after.state") };
                       },
                       1, "after.state" },
        RefusedInput { "ChartWithANameOutsideTheVocabulary",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--chart", "C Am7 | H7 G" }; },
                       1, "cannot use the chart given with --chart: 'H7' (line 1, bar 2, chord 1) is no chord name" },
        RefusedInput { "ChartFileWithANameOutsideTheVocabulary",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           return { "--chart", t.writeBytes ("song.txt", juce::MemoryBlock ("C | G\nD7 | Emaj8", 16)) };
                       },
                       1, "song.txt: 'Emaj8' (line 2, bar 3, chord 1) is no chord name: no chord kind is spelled 'maj8'" },
        RefusedInput { "ChartFileWithANulByte",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           return { "--chart", t.writeBytes ("nul.txt", juce::MemoryBlock ("C\0Am7 G", 7)) };
                       },
                       1, "nul.txt: byte 0x00 (line 1, character 2) is no text" },
        RefusedInput { "ChartFileInLatin1",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           return { "--chart", t.writeBytes ("latin1.txt", juce::MemoryBlock ("C\r\nE\xb0", 5)) };
                       },
                       1, "latin1.txt: byte 0xB0 (line 2, character 2) is no text" },
        RefusedInput { "ChartWithStrayBrackets",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--chart", "G7)(" }; }, 1,
                       "'G7)(' (line 1, bar 1, chord 1) is no chord name: no chord kind is spelled '7)('" },
        RefusedInput { "ChartWithClosingBracketsAfterAChord",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--chart", "C)))" }; }, 1,
                       "'C)))' (line 1, bar 1, chord 1) is no chord name" },
        RefusedInput { "ChartFileOfOneFourMegabyteName",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           const std::string name = "Cmaj" + std::string (4 * 1024 * 1024 - 5, '9');
                           return { "--chart", t.writeBytes ("long.txt", juce::MemoryBlock (name.data(), name.size())) };
                       },
                       1, "'Cmaj" + std::string (53, '9') + "...' (line 1, bar 1, chord 1)" },
        RefusedInput { "MidiFileToStandardOutput",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--out", "/dev/stdout" }; }, 2,
                       "--out names standard output" },
        RefusedInput { "SavedStateToStandardOutputWithTheChart",
                       [] (InputLimitsTest&) -> std::vector<std::string> {
                           return { "--print-chart", "--out", "/dev/null", "--save-state", "/dev/stdout" };
                       },
                       2, "--save-state names standard output" },
        RefusedInput { "ChartOfNoChords",
                       [] (InputLimitsTest&) -> std::vector<std::string> { return { "--chart", "| |" }; }, 1,
                       "it holds no chords" },
        RefusedInput { "EditorPictureThatCannotBeWritten",
                       [] (InputLimitsTest& t) -> std::vector<std::string> {
                           return { "--save-state", "after.state", "--editor-png", t.path ("no-folder/editor.png") };
                       },
                       1, "editor.png" }),
    [] (const testing::TestParamInfo<RefusedInput>& info) { return std::string (info.param.name); });

//==============================================================================
// The other side of each limit: what lies just within it is still played.
TEST_F (InputLimitsTest, StateFileOfTheLargestSizeIsPlayed)
{
    // Two columns and their settings, then zeros up to the largest size: the plug-in reads what
    // the counts need. (A grid that really is that large takes the plug-in minutes to save under
    // AddressSanitizer.) The notes come out transposed: the settings were read.
    StoredSettings settings;
    settings.transpose = 1;
    auto state = gridChunk ({ { { 60, 90 } }, { { 64, 80 } } }, settings);
    state.setSize ((size_t) largestStateBytes, true);

    const auto run = play ({ "--state", writeBytes ("largest.state", state) });

    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);
    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes,
               expectedPerformance ({ { { 61, 90 } }, { { 65, 80 } } }, ticksEveryBeat (2)));
}

TEST_F (InputLimitsTest, MidiFileIsReadUpToItsLimitAndNoFurther)
{
    // Both are zeros, so not MIDI: only the one beyond the limit is refused before it is read.
    const int64_t limit = 16 * 1024 * 1024;
    const auto atLimit = play ({ "--pedal", writeSparse ("at-limit.mid", limit) });
    const auto beyond = play ({ "--pedal", writeSparse ("beyond.mid", limit + 1) });

    EXPECT_EQ (atLimit.exitCode, 1);
    EXPECT_NE (atLimit.err.find ("not a MIDI file"), std::string::npos) << atLimit.err;
    EXPECT_EQ (beyond.exitCode, 1);
    EXPECT_NE (beyond.err.find ("more than " + std::to_string (limit) + " bytes"), std::string::npos) << beyond.err;
}

TEST_F (InputLimitsTest, RunOfJustUnderAnHourIsPlayed)
{
    // 7198 beats at 120 bpm: 59 minutes 59 seconds.
    const auto pedal = writePedalFile ("hour.mid", { { 0, 1, 127 }, { 480, 1, 0 }, { 7198 * 960, 1, 127 } }, {}, 960);

    const auto run = play ({ "--chords", chords(), "--pedal", pedal });

    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);
    const auto notes = readOutput (file ("corvadel-out.mid")).notes;
    ASSERT_FALSE (notes.empty());
    EXPECT_EQ (notes.back().tick, 7198 * 960 + 480);  // the last chord ends half a beat after the last press
}

TEST_F (InputLimitsTest, SlowestTempoIsPlayedAndWritten)
{
    const auto run = play ({ "--chords", chords(), "--bpm", "4" });

    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);
    const auto output = readOutput (file ("corvadel-out.mid"));
    ASSERT_EQ (output.tempos.size(), 1u);
    EXPECT_NEAR (output.tempos[0].second, 4.0, 0.0001);
    EXPECT_EQ (output.notes, expectedPerformance ({ { { 60, 100 } }, { { 64, 100 } } }, ticksEveryBeat (2)));
}

TEST_F (InputLimitsTest, TimeSignatureOfA256thNoteBeatIsRead)
{
    const auto pedal = writePedalFileWithTiming ("sig.mid", 960, bytesOf ({ 0xff, 0x58, 4, 3, 8, 24, 8 }));

    const auto run = play ({ "--chords", chords(), "--pedal", pedal });

    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);
    const auto output = readOutput (file ("corvadel-out.mid"));
    ASSERT_EQ (output.timeSignatures.size(), 1u);
    EXPECT_EQ (output.timeSignatures[0], std::make_pair (3, 256));
}

TEST_F (InputLimitsTest, ChordFileOfMoreChordsThanTheGridTakesIsRefused)
{
    const auto manyChords = [] (int count) {
        std::vector<Chord> chords;

        for (int i = 0; i < count; ++i)
            chords.push_back ({ { 40 + i % 40, 100 } });

        return chords;
    };

    const auto largest = play ({ "--chords", writeChordsFile ("4096.mid", manyChords (4096)), "--bpm", "6000" });
    const auto beyond = play ({ "--chords", writeChordsFile ("4097.mid", manyChords (4097)) });

    ASSERT_EQ (largest.exitCode, 0) << testing::PrintToString (largest);
    EXPECT_NE (largest.out.find ("4096 chords from"), std::string::npos);
    EXPECT_EQ (beyond.exitCode, 1);
    EXPECT_NE (beyond.err.find ("4097 chords, more than the 4096"), std::string::npos) << beyond.err;
}

TEST_F (InputLimitsTest, SuccessfulRunLeavesItsFilesAndNoOther)
{
    const auto before = folderContents();
    const auto run = play ({ "--out", "out.mid", "--save-state", "after.state", "--editor-png", "editor.png" });

    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);
    auto expected = before;
    expected.addArray ({ "after.state", "editor.png", "out.mid" });
    expected.sort (false);
    EXPECT_EQ (folderContents(), expected);
}

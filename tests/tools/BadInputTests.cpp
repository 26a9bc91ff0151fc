// What the program says to input it cannot use: one line on standard error, exit code 1 for
// unusable files or plug-ins, 2 for a wrong command line, and never a crash.

#include "tests/tools/PlayFixture.h"

#include <dlfcn.h>

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
    expectRefusal (play ({ "--pedal", onlyNotes }), 1, "no sustain-pedal presses");
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

TEST_F (BadInputTest, ChordsAndStateTogether)
{
    expectRefusal (play ({ "--chords", writeChordsFile ("c.mid", { { { 60, 100 } } }), "--state", "x.state" }), 2,
                   "--chords and --state");
}

TEST_F (BadInputTest, StrayArgument)
{
    expectRefusal (play ({ "chords.mid" }), 2, "unexpected argument chords.mid");
}

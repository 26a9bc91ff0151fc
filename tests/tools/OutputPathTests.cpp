// What an output path names decides how it is written: a symbolic link writes its target, a
// FIFO is written directly, and a read-only file, a folder or two outputs naming one file are
// refused. Everything here lives in the test's scratch folder; no real device is written.

#include "tests/tools/PlayFixture.h"

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

class OutputPathTest : public PlayTest
{
public:
    using PlayTest::path;
    using PlayTest::writeText;

    void TearDown() override
    {
        if (reader >= 0)
            ::close (reader);

        PlayTest::TearDown();
    }

    void link (const std::string& name, const std::string& target) { fs::create_symlink (target, path (name)); }
    fs::perms permissionsOf (const std::string& name) { return fs::status (path (name)).permissions(); }

    std::string writeFile (const std::string& name, fs::perms perms)
    {
        writeText (name, "old");
        fs::permissions (path (name), perms, fs::perm_options::replace);
        return name;
    }

    std::string contentsOf (const std::string& name)
    {
        juce::MemoryBlock bytes;
        file (name).loadFileAsData (bytes);
        return bytes.toString().substring (0, 4).toStdString();
    }

    // A FIFO with this test as its reader (close-on-exec: the program must not inherit a reader
    // of its own), opened without waiting for a writer; and, with pipeBytes, a pipe that small.
    std::string fifo (const std::string& name, bool withReader, int pipeBytes = 0)
    {
        EXPECT_EQ (::mkfifo (path (name).c_str(), 0644), 0);
        reader = withReader ? ::open (path (name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;

        if (pipeBytes > 0)
            EXPECT_GE (::fcntl (reader, F_SETPIPE_SZ, pipeBytes), pipeBytes);

        return name;
    }

    std::string readFifo()
    {
        char start[4] = {};
        return ::read (reader, start, 4) == 4 ? std::string (start, 4) : std::string();
    }

    // Waits (at most a minute) for the writer to fill the pipe, then goes away mid-write.
    void leaveOnceWritten()
    {
        pollfd waiting { reader, POLLIN, 0 };
        EXPECT_EQ (::poll (&waiting, 1, 60000), 1);
        readFifo();
        ::close (reader);
        reader = -1;
    }

    juce::StringArray folderContents() const
    {
        juce::StringArray names;

        // Hidden ones too: temporary files are hidden.
        for (const auto& entry : juce::RangedDirectoryIterator (folder, true, "*", juce::File::findFilesAndDirectories))
            names.add (entry.getFile().getRelativePathFrom (folder));

        names.sort (false);
        return names;
    }

    int reader = -1;
    std::function<void()> whileRunning;
};

struct OutputPath
{
    const char* name;
    std::function<std::vector<std::string> (OutputPathTest&)> arguments;  // makes what the row needs
    int exitCode;
    std::string fragment;  // of the one line on standard error
    std::function<void (OutputPathTest&)> check;
};

void PrintTo (const OutputPath& row, std::ostream* os) { *os << row.name; }

class OutputPathTable : public OutputPathTest, public testing::WithParamInterface<OutputPath>
{
};

TEST_P (OutputPathTable, WritesWhatThePathNamesOrRefusesAndLeavesNothing)
{
    const auto& row = GetParam();
    ASSERT_TRUE (file ("sub").createDirectory());
    auto arguments = row.arguments (*this);
    arguments.insert (arguments.begin(), { "--plugin", pluginFile().getFullPathName().toStdString() });
    const auto before = folderContents();

    auto running = std::async (std::launch::async, [&] { return ToolRun::run (arguments, folder, 120.0); });

    if (whileRunning)
        whileRunning();

    const auto run = running.get();
    ASSERT_TRUE (run.exitedNormally) << testing::PrintToString (run);
    EXPECT_EQ (run.exitCode, row.exitCode) << testing::PrintToString (run);

    if (row.exitCode != 0)
    {
        ASSERT_EQ (run.errLines().size(), 1u) << run.err;
        EXPECT_NE (run.err.find (row.fragment), std::string::npos) << run.err;
        EXPECT_EQ (folderContents(), before) << "a failed run leaves no file and no temporary file";
    }

    if (row.check)
        row.check (*this);
}

namespace
{
using Arguments = std::vector<std::string>;
const fs::perms ownerWrites = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
}

INSTANTIATE_TEST_SUITE_P (
    Outputs, OutputPathTable,
    testing::Values (
        OutputPath { "SymlinkWritesItsTargetKeepingItsPermissions",
                     [] (OutputPathTest& t) {
                         t.link ("link.mid", t.writeFile ("sub/real.mid", ownerWrites));
                         return Arguments { "--out", "link.mid" };
                     },
                     0, "",
                     [] (OutputPathTest& t) {
                         EXPECT_TRUE (fs::is_symlink (t.path ("link.mid")));
                         EXPECT_EQ (t.contentsOf ("sub/real.mid"), "MThd");
                         EXPECT_EQ (t.permissionsOf ("sub/real.mid"), ownerWrites);
                     } },
        OutputPath { "SymlinkToAFileNotMadeYetMakesIt",
                     [] (OutputPathTest& t) {
                         t.link ("new.mid", "sub/made.mid");
                         return Arguments { "--out", "new.mid" };
                     },
                     0, "",
                     [] (OutputPathTest& t) {
                         EXPECT_TRUE (fs::is_symlink (t.path ("new.mid")));
                         EXPECT_EQ (t.contentsOf ("sub/made.mid"), "MThd");
                     } },
        OutputPath { "ReadOnlyFileIsRefusedEvenToRoot",
                     [] (OutputPathTest& t) { return Arguments { "--out", t.writeFile ("ro.mid", readOnly) }; }, 1,
                     "it is read-only",
                     [] (OutputPathTest& t) {
                         EXPECT_EQ (t.contentsOf ("ro.mid"), "old");
                         EXPECT_EQ (t.permissionsOf ("ro.mid"), readOnly);
                     } },
        OutputPath { "FolderIsRefused", [] (OutputPathTest&) { return Arguments { "--export-chords", "sub" }; }, 1,
                     "it is a folder", nullptr },
        OutputPath { "SameFileTwice",
                     [] (OutputPathTest& t) {
                         return Arguments { "--out", t.writeFile ("x.mid", ownerWrites), "--save-state", "x.mid" };
                     },
                     2, "--out and --save-state name the same file",
                     [] (OutputPathTest& t) { EXPECT_EQ (t.contentsOf ("x.mid"), "old"); } },
        OutputPath { "SameFileNotMadeYetThroughALinkAndDotDot",
                     [] (OutputPathTest& t) {
                         t.link ("l.mid", "sub/../x.mid");
                         return Arguments { "--out", "x.mid", "--export-chords", "l.mid" };
                     },
                     2, "--out and --export-chords name the same file", nullptr },
        OutputPath { "FifoWithAReaderIsWrittenDirectly",
                     [] (OutputPathTest& t) { return Arguments { "--out", t.fifo ("out.fifo", true) }; }, 0, "",
                     [] (OutputPathTest& t) { EXPECT_EQ (t.readFifo(), "MThd"); } },
        OutputPath { "FifoNobodyReadsIsAnErrorNotAHang",
                     [] (OutputPathTest& t) {
                         return Arguments { "--out", "out.mid", "--save-state", t.fifo ("lonely.fifo", false) };
                     },
                     1, "no program is reading it", nullptr },
        OutputPath { "FifoWhoseReaderLeavesMidWriteIsAnError",
                     [] (OutputPathTest& t) {
                         // A pipe of one page, a state of two: the program is still writing.
                         t.whileRunning = [&t] { t.leaveOnceWritten(); };
                         return Arguments { "--out", "out.mid", "--save-state", t.fifo ("state.fifo", true, 4096) };
                     },
                     1, "Broken pipe", nullptr }),
    [] (const testing::TestParamInfo<OutputPath>& info) { return std::string (info.param.name); });

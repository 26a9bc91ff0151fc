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
    using PlayTest::file;
    using PlayTest::path;
    using PlayTest::writeText;

    void TearDown() override
    {
        if (reader >= 0)
            ::close (reader);

        PlayTest::TearDown();
    }

    void link (const std::string& name, const std::string& target) { fs::create_symlink (target, path (name)); }

    void makeReadOnly (const std::string& name, fs::perms perms)
    {
        fs::permissions (path (name), perms, fs::perm_options::replace);
    }

    fs::perms permissionsOf (const std::string& name) { return fs::status (path (name)).permissions(); }

    // A FIFO with this test as its reader, opened without waiting for a writer.
    std::string fifoWithReader (const std::string& name, int pipeBytes = 0)
    {
        EXPECT_EQ (::mkfifo (path (name).c_str(), 0644), 0);
        // Close-on-exec: the program under test must not inherit a reader of its own.
        reader = ::open (path (name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        EXPECT_GE (reader, 0);

        if (pipeBytes > 0)
            EXPECT_GE (::fcntl (reader, F_SETPIPE_SZ, pipeBytes), pipeBytes);

        return path (name);
    }

    // What the FIFO holds once its writer has gone.
    std::string readFifo()
    {
        std::string bytes;
        char buffer[4096];

        for (ssize_t got; (got = ::read (reader, buffer, sizeof (buffer))) > 0;)
            bytes.append (buffer, (size_t) got);

        return bytes;
    }

    // Waits (at most a minute) for the writer to fill the FIFO, then goes away mid-write.
    void leaveOnceWritten()
    {
        pollfd waiting { reader, POLLIN, 0 };
        EXPECT_EQ (::poll (&waiting, 1, 60000), 1);
        char some[16];
        EXPECT_GT (::read (reader, some, sizeof (some)), 0);
        ::close (reader);
        reader = -1;
    }

    std::string contentsOf (const std::string& name)
    {
        juce::MemoryBlock bytes;
        file (name).loadFileAsData (bytes);
        return std::string (static_cast<const char*> (bytes.getData()), bytes.getSize());
    }

    juce::StringArray folderContents() const
    {
        juce::StringArray names;

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
        const auto lines = run.errLines();
        ASSERT_EQ (lines.size(), 1u) << run.err;
        EXPECT_NE (lines[0].find (row.fragment), std::string::npos) << lines[0];
        EXPECT_EQ (folderContents(), before) << "a failed run leaves no file and no temporary file";
    }

    if (row.check)
        row.check (*this);
}

namespace
{
const fs::perms readWriteForOwner = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

bool isMidi (const std::string& bytes)
{
    return bytes.rfind ("MThd", 0) == 0 && bytes.size() > 100;
}
}

INSTANTIATE_TEST_SUITE_P (
    Outputs, OutputPathTable,
    testing::Values (
        OutputPath { "ExistingFileIsReplacedKeepingItsPermissions",
                     [] (OutputPathTest& t) -> std::vector<std::string> {
                         t.writeText ("kept.mid", "old");
                         t.makeReadOnly ("kept.mid", readWriteForOwner);
                         return { "--out", "kept.mid" };
                     },
                     0, "",
                     [] (OutputPathTest& t) {
                         EXPECT_TRUE (isMidi (t.contentsOf ("kept.mid")));
                         EXPECT_EQ (t.permissionsOf ("kept.mid"), readWriteForOwner);
                     } },
        OutputPath { "SymlinkWritesItsTargetAndStaysALink",
                     [] (OutputPathTest& t) -> std::vector<std::string> {
                         t.writeText ("sub/real.mid", "old");
                         t.makeReadOnly ("sub/real.mid", readWriteForOwner);
                         t.link ("link.mid", "sub/real.mid");
                         return { "--out", "link.mid" };
                     },
                     0, "",
                     [] (OutputPathTest& t) {
                         EXPECT_TRUE (fs::is_symlink (t.path ("link.mid")));
                         EXPECT_TRUE (isMidi (t.contentsOf ("sub/real.mid")));
                         EXPECT_EQ (t.permissionsOf ("sub/real.mid"), readWriteForOwner);
                     } },
        OutputPath { "SymlinkToAFileNotMadeYetMakesIt",
                     [] (OutputPathTest& t) -> std::vector<std::string> {
                         t.link ("new.state", "sub/made.state");
                         return { "--save-state", "new.state" };
                     },
                     0, "",
                     [] (OutputPathTest& t) {
                         EXPECT_TRUE (fs::is_symlink (t.path ("new.state")));
                         EXPECT_TRUE (t.file ("sub/made.state").existsAsFile());
                     } },
        OutputPath { "ReadOnlyFileIsRefusedEvenToRoot",
                     [] (OutputPathTest& t) -> std::vector<std::string> {
                         t.writeText ("ro.mid", "keep");
                         t.makeReadOnly ("ro.mid", readOnly);
                         return { "--out", "ro.mid", "--save-state", "s.state" };
                     },
                     1, "it is read-only",
                     [] (OutputPathTest& t) {
                         EXPECT_EQ (t.contentsOf ("ro.mid"), "keep");
                         EXPECT_EQ (t.permissionsOf ("ro.mid"), readOnly);
                     } },
        OutputPath { "FolderIsRefused",
                     [] (OutputPathTest&) -> std::vector<std::string> { return { "--export-chords", "sub" }; }, 1,
                     "it is a folder", nullptr },
        OutputPath { "SameFileTwice",
                     [] (OutputPathTest&) -> std::vector<std::string> {
                         return { "--out", "x.mid", "--save-state", "x.mid" };
                     },
                     2, "--out and --save-state name the same file", nullptr },
        OutputPath { "SameFileThroughALink",
                     [] (OutputPathTest& t) -> std::vector<std::string> {
                         t.writeText ("x.mid", "old");
                         t.link ("l.mid", "x.mid");
                         return { "--out", "x.mid", "--export-chords", "l.mid" };
                     },
                     2, "--out and --export-chords name the same file",
                     [] (OutputPathTest& t) { EXPECT_EQ (t.contentsOf ("x.mid"), "old"); } },
        OutputPath { "SameFileThroughDotDot",
                     [] (OutputPathTest&) -> std::vector<std::string> {
                         return { "--save-state", "sub/../y.state", "--editor-png", "y.state" };
                     },
                     2, "--save-state and --editor-png name the same file", nullptr },
        OutputPath { "SameFileNotMadeYetThroughTwoLinks",
                     [] (OutputPathTest& t) -> std::vector<std::string> {
                         t.link ("a.lnk", "sub/t.mid");
                         t.link ("b.lnk", "sub/../sub/t.mid");
                         return { "--out", "a.lnk", "--save-state", "b.lnk" };
                     },
                     2, "--out and --save-state name the same file", nullptr },
        OutputPath { "FifoWithAReaderIsWrittenDirectly",
                     [] (OutputPathTest& t) -> std::vector<std::string> {
                         return { "--out", t.fifoWithReader ("out.fifo") };
                     },
                     0, "",
                     [] (OutputPathTest& t) {
                         EXPECT_TRUE (isMidi (t.readFifo()));
                         EXPECT_TRUE (fs::is_fifo (t.path ("out.fifo")));
                     } },
        OutputPath { "FifoNobodyReadsIsAnErrorNotAHang",
                     [] (OutputPathTest& t) -> std::vector<std::string> {
                         EXPECT_EQ (::mkfifo (t.path ("lonely.fifo").c_str(), 0644), 0);
                         return { "--out", "out.mid", "--save-state", "lonely.fifo" };
                     },
                     1, "no program is reading it",
                     [] (OutputPathTest& t) { EXPECT_TRUE (fs::is_fifo (t.path ("lonely.fifo"))); } },
        OutputPath { "FifoWhoseReaderLeavesMidWriteIsAnError",
                     [] (OutputPathTest& t) -> std::vector<std::string> {
                         // A pipe of one page, and a state of two: the program is still writing
                         // when the reader leaves.
                         t.fifoWithReader ("state.fifo", 4096);
                         t.whileRunning = [&t] { t.leaveOnceWritten(); };
                         return { "--out", "out.mid", "--save-state", "state.fifo" };
                     },
                     1, "Broken pipe", nullptr }),
    [] (const testing::TestParamInfo<OutputPath>& info) { return std::string (info.param.name); });

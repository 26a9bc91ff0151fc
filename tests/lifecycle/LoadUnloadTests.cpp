// A host loads the library, uses instances and unloads it again: nothing may stay behind.

#include "tests/support/PluginHost.h"

#include <gtest/gtest.h>

#include <array>
#include <dirent.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
bool pluginIsMapped()
{
    std::ifstream maps ("/proc/self/maps");
    std::string line;

    while (std::getline (maps, line))
        if (line.find ("Corvadel.so") != std::string::npos)
            return true;

    return false;
}

int threadCount()
{
    int count = 0;

    if (auto* dir = opendir ("/proc/self/task"))
    {
        while (auto* entry = readdir (dir))
            if (entry->d_name[0] != '.')
                ++count;

        closedir (dir);
    }

    return count;
}

struct ChildResult
{
    int exitStatus = -1;  // -1 when the child did not exit normally
    int signal = 0;
    std::string errorOutput;
};

// Runs the exiting host with one case and collects what it wrote to standard error.
ChildResult runExitingHost (const std::string& caseName)
{
    int errorPipe[2];

    if (pipe (errorPipe) != 0)
        return {};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_adddup2 (&actions, errorPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose (&actions, errorPipe[0]);

    std::string program = CORVADEL_EXITING_HOST_PATH;
    char* argv[] = { program.data(), const_cast<char*> (caseName.c_str()), nullptr };
    pid_t child = 0;
    const int spawned = posix_spawn (&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy (&actions);
    close (errorPipe[1]);

    ChildResult result;
    std::array<char, 4096> buffer;
    ssize_t n;

    while ((n = read (errorPipe[0], buffer.data(), buffer.size())) > 0)
        result.errorOutput.append (buffer.data(), (size_t) n);

    close (errorPipe[0]);

    if (spawned != 0)
        return result;

    int status = 0;
    waitpid (child, &status, 0);

    if (WIFEXITED (status))
        result.exitStatus = WEXITSTATUS (status);
    else if (WIFSIGNALED (status))
        result.signal = WTERMSIG (status);

    return result;
}

std::vector<SentMidi> playOneChord (PluginHost& host, AEffect* effect)
{
    host.setChunk (effect, makeGridChunk ({ { { { 60, 100 }, { 67, 100 } } } }));
    host.dispatch (effect, effEditGetRect, 0, 0, nullptr);
    return host.processBlock (effect, { { 0, 0xB0, 64, 127 } });
}
}

TEST (LoadUnload, InstancesComeAndGoAndTheLibraryLeavesNothingBehind)
{
    const int threadsBefore = threadCount();
    ASSERT_FALSE (pluginIsMapped());

    for (int load = 0; load < 3; ++load)
    {
        PluginLibrary library;
        ASSERT_TRUE (pluginIsMapped());

        {
            PluginHost host (library);
            auto* first = host.createInstance();
            auto* second = host.createInstance();
            ASSERT_NE (first, nullptr);
            ASSERT_NE (second, nullptr);

            for (auto* effect : { first, second })
                host.startPlaying (effect);

            EXPECT_EQ (playOneChord (host, first).size(), 2u);
            host.close (first);

            EXPECT_EQ (playOneChord (host, second).size(), 2u) << "load " << load;
            EXPECT_FALSE (host.getChunk (second).empty());
            host.close (second);
        }

        library.unload();
        EXPECT_FALSE (pluginIsMapped()) << "dlclose must really unload, load " << load;
        EXPECT_EQ (threadCount(), threadsBefore) << "load " << load;
    }
}

TEST (LoadUnload, UnloadingWithAnEditorStillOpenClosesItWithTheInstance)
{
    PluginLibrary library;

    {
        PluginHost host (library);
        auto* effect = host.createInstance();
        host.startPlaying (effect);
        EXPECT_EQ (playOneChord (host, effect).size(), 2u);
        // The host closes the instance without closing the editor first.
    }

    library.unload();
    EXPECT_FALSE (pluginIsMapped());
}

TEST (LoadUnload, TwentyRoundsInOneProcessEachUnloadReally)
{
    const int threadsBefore = threadCount();

    for (int round = 0; round < 20; ++round)
    {
        PluginLibrary library;

        {
            PluginHost host (library);
            auto* effect = host.createInstance();
            ASSERT_NE (effect, nullptr) << "round " << round;
            host.startPlaying (effect);
            EXPECT_EQ (playOneChord (host, effect).size(), 2u) << "round " << round;
            host.close (effect);
        }

        library.unload();
        ASSERT_FALSE (pluginIsMapped()) << "round " << round;
        ASSERT_EQ (threadCount(), threadsBefore) << "round " << round;
    }
}

// Hosts and plug-in scanners often end without unloading their plug-ins, some with instances
// still open. Each case is a process of its own that must end cleanly.
TEST (ExitingHost, EndsCleanlyHoweverItLeavesThePlugIn)
{
    for (const char* caseName : { "create-only", "open-close", "open-after-press", "editor-created-and-closed",
                                  "chunk-handed-out", "two-instances", "unload-then-exit" })
    {
        const auto result = runExitingHost (caseName);
        EXPECT_EQ (result.exitStatus, 0) << caseName << (result.signal != 0 ? ": killed by signal " + std::to_string (result.signal) : "");
        EXPECT_EQ (result.errorOutput, "") << caseName;
    }
}

TEST (ExitingHost, ControlCaseAFailingChildIsSeen)
{
    const auto result = runExitingHost ("no-such-case");
    EXPECT_EQ (result.exitStatus, 2);
    EXPECT_NE (result.errorOutput.find ("usage"), std::string::npos);
}

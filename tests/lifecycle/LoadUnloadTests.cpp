// A host loads the library, uses instances and unloads it again: nothing may stay behind.

#include "tests/support/PluginHost.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/ProcessProbe.h"
#include "tools/vst-host/SharedLibrary.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
#if defined(_WIN32)
const char* const pluginFileName = "Corvadel.dll";
#else
const char* const pluginFileName = "Corvadel.so";
#endif

bool pluginIsMapped()
{
    return ProcessProbe::libraryIsLoaded (pluginFileName);
}

int threadCount()
{
    return ProcessProbe::threadCount();
}

// Runs the exiting host with one case and collects what it wrote to standard error.
ChildProcess::Result runExitingHost (const std::string& caseName)
{
#if defined(_WIN32)
    return ChildProcess::run (SharedLibrary::besideThisProgram ("exiting_host.exe"), caseName);
#else
    return ChildProcess::run (CORVADEL_EXITING_HOST_PATH, caseName);
#endif
}

std::vector<SentMidi> playOneChord (PluginHost& host, AEffect* effect)
{
    host.setChunk (effect, makeGridChunk ({ { { { 60, 100 }, { 67, 100 } } } }));
    return host.processBlock (effect, { { 0, 0xB0, 64, 127 } });
}
}

TEST (LoadUnload, InstancesComeAndGoAndTheLibraryLeavesNothingBehind)
{
    const int threadsBefore = threadCount();
    ASSERT_FALSE (pluginIsMapped());

    for (int load = 0; load < 3; ++load)
    {
        PluginLibrary library (builtPluginPath());
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
        EXPECT_FALSE (pluginIsMapped()) << "unloading must really unload, load " << load;
        EXPECT_EQ (threadCount(), threadsBefore) << "load " << load;
    }
}

TEST (LoadUnload, UnloadingWithAnEditorStillOpenClosesItWithTheInstance)
{
    PluginLibrary library (builtPluginPath());

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
        PluginLibrary library (builtPluginPath());

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
    for (const char* caseName : { "create-only", "open-close", "open-after-press", "editor-size-asked-and-closed",
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

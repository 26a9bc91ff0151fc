// A host loads the library, uses instances and unloads it again: nothing may stay behind.

#include "tests/support/PluginHost.h"
#include "tests/support/ProcessProbe.h"

#include <gtest/gtest.h>

namespace
{
#if defined(_WIN32)
const char* const pluginFileName = "Corvadel.dll";
#else
const char* const pluginFileName = "Corvadel.so";
#endif

// Hosts load and unload a plug-in as their users add and remove it; leftovers add up.
constexpr int loadCycles = 20;

bool pluginIsMapped()
{
    return ProcessProbe::libraryIsLoaded (pluginFileName);
}

int threadCount()
{
    return ProcessProbe::threadCount();
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

    for (int load = 0; load < loadCycles; ++load)
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
        EXPECT_FALSE (pluginIsMapped()) << "unloading must really unload, load " << load;
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

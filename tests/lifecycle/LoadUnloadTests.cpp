// A host loads the library, uses instances and unloads it again: nothing may stay behind.

#include "tests/support/PluginHost.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <string>

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

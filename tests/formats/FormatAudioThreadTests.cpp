// What the host's audio thread makes the VST 3 and LV2 plug-ins do, through the framework's
// hosting: once playing, no allocation, no write system call, no lock but the filter's own, with
// the window closed and with the editor open while the host's message loop runs between blocks.
// The C library's entry points are replaced in this program to count (AudioThreadCounter), and
// only what the plug-in's library causes is counted (PluginCallFilter): the host's own share of
// each block (the framework's hosting locks a mutex for every MIDI event it lists) is the host's.

#include "tests/display/XHostWindow.h"
#include "tests/formats/GridScript.h"
#include "tests/formats/HostedPlugin.h"
#include "tests/formats/PluginCallFilter.h"
#include "tests/realtime/AudioThreadScenario.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace
{
using namespace AudioThreadScenario;

class FormatAudioThread : public ::testing::TestWithParam<PluginFormat>
{
protected:
    void SetUp() override
    {
        plugin = std::make_unique<HostedPlugin> (GetParam());
        plugin->loadGrid (GridScript::chunkOf (fullChords()));
        ASSERT_TRUE (PluginCallFilter::countOnlyLibrary (GetParam() == PluginFormat::vst3 ? "Corvadel.vst3/" : "Corvadel.lv2/"))
            << "the plug-in's library is loaded";
    }

    void TearDown() override
    {
        PluginCallFilter::countEverything();

        if (plugin != nullptr)
            plugin->closeEditor (editor);

        plugin.reset();
    }

    // The locks an empty block takes in the plug-in: first the one JUCE's client takes around every
    // block (the AudioProcessor's callback lock, which only suspendProcessing takes elsewhere and
    // nothing here calls), then the filter's own.
    std::pair<const void*, const void*> findPluginLocks()
    {
        AudioThreadCounter::Counts all, second;
        juce::MidiBuffer none;
        audio.perform ([&] {
            AudioThreadCounter::start();
            plugin->runBlock (none, 512);
            all = AudioThreadCounter::stop();
            AudioThreadCounter::start (all.firstOtherMutex);
            plugin->runBlock (none, 512);
            second = AudioThreadCounter::stop();
        });

        EXPECT_EQ (all.otherLocks, 2u) << "an empty block takes the client's callback lock and the filter's lock";
        EXPECT_EQ (second.otherLocks, 1u);
        EXPECT_EQ (all.allocations + all.writes, 0u);
        return { all.firstOtherMutex, second.firstOtherMutex };
    }

    // The block pattern on the audio thread, counted from the second block; between blocks,
    // betweenBlocks runs on this (the message) thread.
    AudioThreadCounter::Counts countOver (int numBlocks, const std::function<void()>& betweenBlocks = {})
    {
        const auto [clientLock, filterLock] = findPluginLocks();
        const juce::MidiBuffer blocks[4] = { HostedPlugin::midiOf (eventsForBlock (0)), HostedPlugin::midiOf (eventsForBlock (1)),
                                             HostedPlugin::midiOf (eventsForBlock (2)), HostedPlugin::midiOf (eventsForBlock (3)) };
        AudioThreadCounter::Counts total;
        notesOut = 0;

        for (int block = 0; block < numBlocks; ++block)
        {
            audio.perform ([&] {
                const bool counted = block > 0;

                if (counted)
                    AudioThreadCounter::start (clientLock, filterLock);

                plugin->runBlock (blocks[block % 4], 512);

                if (counted)
                    addTo (total, AudioThreadCounter::stop());
            });

            notesOut += (size_t) plugin->lastOutputSize();
            EXPECT_EQ (plugin->outputPeak(), 0.0f) << "block " << block << ": the outputs are silent";

            if (betweenBlocks)
                betweenBlocks();
        }

        return total;
    }

    std::unique_ptr<HostedPlugin> plugin;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    AudioThread audio;
    size_t notesOut = 0;
};

}

TEST_P (FormatAudioThread, CountersSeeWhatTheyCountAndWhoseCodeCausedIt)
{
    const auto [clientLock, filterLock] = findPluginLocks();
    ASSERT_NE (filterLock, nullptr) << "the plug-in's locks are seen";

    const auto ownWork = [&] {
        AudioThreadCounter::Counts own;
        audio.perform ([&] { own = countOneOfEach (clientLock, filterLock); });
        return own;
    };

    const auto hostsOwn = ownWork();
    EXPECT_EQ (hostsOwn.allocations + hostsOwn.otherLocks + hostsOwn.writes, 0u) << "this program's own work is the host's";

    PluginCallFilter::countEverything();
    const auto everything = ownWork();
    EXPECT_EQ (everything.allocations, 1u);
    EXPECT_EQ (everything.otherLocks, 1u);
    EXPECT_EQ (everything.writes, 1u);

    // Saving the state builds it: the plug-in allocates, and that is counted as the plug-in's. The
    // host's saving waits for its message thread, which runs here meanwhile.
    ASSERT_TRUE (PluginCallFilter::countOnlyLibrary (GetParam() == PluginFormat::vst3 ? "Corvadel.vst3/" : "Corvadel.lv2/"));
    AudioThreadCounter::Counts saving;
    std::atomic<bool> saved { false };
    std::thread saver ([&] {
        AudioThreadCounter::start (clientLock, filterLock);
        plugin->hostState();
        saving = AudioThreadCounter::stop();
        saved = true;
    });

    while (! saved)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);

    saver.join();
    EXPECT_GT (saving.allocations, 0u) << "the plug-in's allocations are counted";
}

TEST_P (FormatAudioThread, SteppingWithTheWindowClosedTouchesOnlyTheFilterLock)
{
    expectNothingButTheFilterLock (countOver (4000), nameOf (GetParam()) + ", window closed, 3999 blocks");
    EXPECT_EQ (notesOut, notesForPressesOver (4000));
}

TEST_P (FormatAudioThread, BypassingEveryFewBlocksTouchesOnlyTheFilterLock)
{
    // Bypassed for 7 blocks in every 16: the chord ends and the MIDI passes, as allocation-free
    // as the stepping.
    int block = 0;
    expectNothingButTheFilterLock (countOver (1600, [&] { plugin->setBypassed (++block % 16 >= 9); }),
                                   nameOf (GetParam()) + ", bypassed every few blocks, 1599 blocks");
    EXPECT_GT (notesOut, 0u);
}

TEST_P (FormatAudioThread, SteppingWithTheEditorOpenAndTheMessageLoopRunningTouchesOnlyTheFilterLock)
{
    if (! XHostWindow::displayAvailable())
        GTEST_SKIP() << "no X server to open the editor in (the test program runs under xvfb-run in the suite)";

    XHostWindow window (900, 900);
    editor = plugin->openEditorIn (window.asHostPointer());
    ASSERT_NE (editor, nullptr);

    expectNothingButTheFilterLock (countOver (1000, [] { juce::MessageManager::getInstance()->runDispatchLoopUntil (1); }),
                                   nameOf (GetParam()) + ", editor open, 999 blocks");
    EXPECT_EQ (notesOut, notesForPressesOver (1000));
}

INSTANTIATE_TEST_SUITE_P (EachFormat, FormatAudioThread, ::testing::Values (PluginFormat::vst3, PluginFormat::lv2), FormatTestName());

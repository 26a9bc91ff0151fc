#include "tests/realtime/AudioThreadScenario.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <mutex>
#include <unistd.h>

std::vector<ChordColumn> AudioThreadScenario::fullChords()
{
    ChordColumn all, alternate;

    for (int note = 0; note < 128; ++note)
    {
        all.notes.push_back ({ note, 100 });

        if (note % 2 == 0)
            alternate.notes.push_back ({ note, 64 });
    }

    return { all, alternate };
}

std::vector<PluginHost::InputEvent> AudioThreadScenario::eventsForBlock (int block)
{
    switch (block % 4)
    {
        case 0: return { { 17, 0xB0, 64, 127 }, { 20, 0x90, 60, 90 } };
        case 2: return { { 3, 0xB0, 64, 0 }, { 9, 0x80, 60, 0 }, { 11, 0xB0, 7, 100 } };
        default: return {};
    }
}

size_t AudioThreadScenario::notesForPressesOver (int numBlocks)
{
    const size_t presses = (size_t) (numBlocks + 3) / 4;
    return 128 + (presses - 1) * 192;
}

void AudioThreadScenario::addTo (AudioThreadCounter::Counts& total, const AudioThreadCounter::Counts& counts)
{
    total.allocations += counts.allocations;
    total.writes += counts.writes;
    total.otherLocks += counts.otherLocks;
}

void AudioThreadScenario::expectNothingButTheFilterLock (const AudioThreadCounter::Counts& counts, const std::string& what)
{
    std::cout << what << ", the plug-in's: " << counts.allocations << " allocations, " << counts.writes << " writes, "
              << counts.otherLocks << " other locks" << std::endl;
    EXPECT_EQ (counts.allocations, 0u) << what;
    EXPECT_EQ (counts.writes, 0u) << what;
    EXPECT_EQ (counts.otherLocks, 0u) << what;
}

AudioThreadCounter::Counts AudioThreadScenario::countOneOfEach (const void* allowedMutex, const void* alsoAllowedMutex)
{
    std::mutex mutex;
    const int devNull = open ("/dev/null", O_WRONLY);
    AudioThreadCounter::start (allowedMutex, alsoAllowedMutex);
    void* volatile block = std::malloc (16);  // volatile: the compiler may not drop the pair
    std::free (block);
    mutex.lock();
    mutex.unlock();
    const char byte = 0;
    [[maybe_unused]] auto written = write (devNull, &byte, 1);
    const auto counts = AudioThreadCounter::stop();
    close (devNull);
    return counts;
}

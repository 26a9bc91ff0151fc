#pragma once

// The audio-thread scenario every format's count runs: the grid, the block pattern and the notes
// it must send, and the thread the blocks run on.

#include "tests/realtime/AudioThreadCounter.h"
#include "tests/support/PluginHost.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace AudioThreadScenario
{
// Every note in one column, every other note in the next: each press ends 128 notes or 64 and
// starts the other chord, the most a chord change sends.
std::vector<ChordColumn> fullChords();

// A press every fourth block, a release two blocks later, and a few other events that must be
// dropped.
std::vector<PluginHost::InputEvent> eventsForBlock (int block);

// The notes the pattern sends over n blocks.
size_t notesForPressesOver (int numBlocks);

// Counts one allocation, one lock of a mutex not allowed and one write of the caller's own, as the
// control that the counters count. Call on the counting thread.
AudioThreadCounter::Counts countOneOfEach (const void* allowedMutex, const void* alsoAllowedMutex = nullptr);

void addTo (AudioThreadCounter::Counts& total, const AudioThreadCounter::Counts& counts);
// Prints the counts under a name and fails the running test unless each is 0.
void expectNothingButTheFilterLock (const AudioThreadCounter::Counts& counts, const std::string& what);
}

// A thread of its own for the plug-in's audio work, handed one job at a time. The hand-over
// spins on atomics, so the thread takes no lock of the test's own.
class AudioThread
{
public:
    AudioThread() : thread ([this] { run(); }) {}

    ~AudioThread()
    {
        perform ([this] { stopping = true; });
        thread.join();
    }

    void perform (std::function<void()> work)
    {
        job = std::move (work);
        pending = true;

        while (pending)
            std::this_thread::yield();
    }

private:
    void run()
    {
        while (! stopping)
        {
            if (! pending)
            {
                std::this_thread::yield();
                continue;
            }

            job();
            pending = false;
        }
    }

    std::function<void()> job;
    std::atomic<bool> pending { false };
    bool stopping = false;
    std::thread thread;
};

// What the host's audio thread makes the loaded plug-in do: once it runs, it allocates nothing,
// makes no write system call and takes no lock but the filter's own — with the editor open and
// the message loop run between blocks as a host's idle runs it, and with the window closed.

#include "tests/display/XHostWindow.h"
#include "tests/realtime/AudioThreadScenario.h"
#include "tests/support/EditorScreen.h"
#include "tests/support/PluginHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace
{
using namespace AudioThreadScenario;

// A host callback that keeps nothing: it only counts the events it is given, so the host itself
// never allocates, writes or locks on the audio thread.
std::atomic<size_t> eventsReceived { 0 };

VstIntPtr quietHost (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    if (opcode == audioMasterVersion)
        return 2400;

    if (opcode == audioMasterProcessEvents && ptr != nullptr)
    {
        eventsReceived += (size_t) static_cast<const VstEvents*> (ptr)->numEvents;
        return 1;
    }

    return 0;
}

// Host event lists built once, as a host keeps its own.
class HostEventLists
{
public:
    explicit HostEventLists (const std::vector<std::vector<PluginHost::InputEvent>>& blocks)
    {
        for (const auto& events : blocks)
        {
            records.emplace_back (events.size());
            lists.emplace_back (offsetof (VstEvents, events) + sizeof (VstEvent*) * (events.size() + 2), 0);
            auto* list = reinterpret_cast<VstEvents*> (lists.back().data());
            list->numEvents = (VstInt32) events.size();

            for (size_t i = 0; i < events.size(); ++i)
            {
                auto& r = records.back()[i];
                r.type = kVstMidiType;
                r.byteSize = 24;
                r.deltaFrames = events[i].deltaFrames;
                r.midiData[0] = (char) events[i].status;
                r.midiData[1] = (char) events[i].data1;
                r.midiData[2] = (char) events[i].data2;
                list->events[i] = reinterpret_cast<VstEvent*> (&r);
            }
        }
    }

    void* list (size_t index) { return lists[index].data(); }

private:
    std::vector<std::vector<uint8_t>> lists;
    std::vector<std::vector<VstMidiEvent>> records;
};

class AudioThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        library = std::make_unique<PluginLibrary> (builtPluginPath());
        effect = library->callEntry (&quietHost);
        ASSERT_NE (effect, nullptr);

        dispatch (effOpen);
        dispatch (effSetSampleRate, 0, 0, nullptr, 48000.0f);
        dispatch (effSetBlockSize, 0, 512);
        dispatch (effMainsChanged, 0, 1);

        auto chunk = makeGridChunk (fullChords());
        dispatch (effSetChunk, 0, (VstIntPtr) chunk.size(), chunk.data());
    }

    void TearDown() override
    {
        dispatch (effClose);
        library.reset();
    }

    VstIntPtr dispatch (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return effect->dispatcher (effect, opcode, index, value, ptr, opt);
    }

    void runBlock (void* events)
    {
        if (events != nullptr)
            dispatch (effProcessEvents, 0, 0, events);

        effect->processReplacing (effect, inputs, outputs, 512);
    }

    // The one lock an empty block takes is the filter's own.
    const void* findFilterLock()
    {
        AudioThreadCounter::Counts counts;
        audio.perform ([&] {
            AudioThreadCounter::start();
            runBlock (nullptr);
            counts = AudioThreadCounter::stop();
        });

        EXPECT_EQ (counts.otherLocks, 1u) << "an empty block takes the filter's lock and nothing else";
        return counts.firstOtherMutex;
    }

    // Runs the block pattern on the audio thread, counting from the second block on; between
    // blocks, betweenBlocks runs on this (the message) thread.
    AudioThreadCounter::Counts countOver (int numBlocks, const std::function<void()>& betweenBlocks = {})
    {
        const void* filterLock = findFilterLock();
        HostEventLists lists ({ eventsForBlock (0), eventsForBlock (1), eventsForBlock (2), eventsForBlock (3) });
        AudioThreadCounter::Counts total;
        eventsReceived = 0;

        for (int block = 0; block < numBlocks; ++block)
        {
            void* events = block % 2 == 0 ? lists.list ((size_t) block % 4) : nullptr;

            audio.perform ([&] {
                const bool counted = block > 0;

                if (counted)
                    AudioThreadCounter::start (filterLock);

                runBlock (events);

                if (counted)
                    addTo (total, AudioThreadCounter::stop());
            });

            if (betweenBlocks)
                betweenBlocks();
        }

        return total;
    }

    std::unique_ptr<PluginLibrary> library;
    AEffect* effect = nullptr;
    std::vector<float> samples = std::vector<float> (512 * 4, 0.0f);
    float* inputs[2] = { samples.data(), samples.data() + 512 };
    float* outputs[2] = { samples.data() + 1024, samples.data() + 1536 };
    AudioThread audio;
};

}

TEST_F (AudioThreadTest, CountersSeeWhatTheyCount)
{
    // A block of twelve chord changes needs more outgoing records than were set aside.
    std::vector<PluginHost::InputEvent> manyPresses;

    for (int i = 0; i < 12; ++i)
        manyPresses.insert (manyPresses.end(), { { i * 40, 0xB0, 64, 127 }, { i * 40 + 20, 0xB0, 64, 0 } });

    HostEventLists lists ({ manyPresses });
    const void* filterLock = findFilterLock();
    ASSERT_NE (filterLock, nullptr);
    AudioThreadCounter::Counts grown, own;

    audio.perform ([&] {
        AudioThreadCounter::start (filterLock);
        runBlock (lists.list (0));
        grown = AudioThreadCounter::stop();
        own = countOneOfEach (filterLock);
    });

    EXPECT_GT (grown.allocations, 0u) << "growing the outgoing records allocates";
    EXPECT_EQ (own.allocations, 1u);
    EXPECT_EQ (own.otherLocks, 1u);
    EXPECT_EQ (own.writes, 1u);
}

TEST_F (AudioThreadTest, SteppingWithTheEditorOpenAndTheMessageLoopRunningTouchesOnlyTheFilterLock)
{
    if (! XHostWindow::displayAvailable())
        GTEST_SKIP() << "no X server to open the editor in (the test program runs under xvfb-run in the suite)";

    XHostWindow window (900, 900);
    ASSERT_EQ (dispatch (effEditOpen, 0, 0, window.asHostPointer()), 1);

    // The host's idle between blocks runs the editor's timers and repaints.
    expectNothingButTheFilterLock (countOver (2000, [this] { dispatch (effEditIdle); }), "editor open, 1999 blocks");
    EXPECT_EQ (eventsReceived, notesForPressesOver (2000));

    // The repaints do come through the idle: after the 500th press the second column is drawn
    // as the one playing (its notes red), the first one as not playing.
    using namespace EditorScreen;
    const int secondColumnX = column0X + columnSpacing;
    EXPECT_TRUE (loopUntil ([&] { dispatch (effEditIdle); window.sync(); },
                            [&] { return window.pixel (secondColumnX, rowY (60)) == playingOnCell; }, 5000));
    EXPECT_EQ (window.pixel (column0X, rowY (60)), onCell);

    dispatch (effEditClose);
}

TEST_F (AudioThreadTest, SteppingWithTheWindowClosedTouchesOnlyTheFilterLock)
{
    expectNothingButTheFilterLock (countOver (10000), "window closed, 9999 blocks");
    EXPECT_EQ (eventsReceived, notesForPressesOver (10000));
}

TEST_F (AudioThreadTest, SteppingWithEverySettingOnTouchesOnlyTheFilterLock)
{
    // Every trigger set, the jump on, other MIDI passed through, another channel, notes moved
    // down five semitones (so that some fall off the bottom).
    StoredSettings settings;
    settings.previous = 67;
    settings.reset = 80;
    settings.jumpByProgramChange = true;
    settings.passThrough = true;
    settings.channel = 3;
    settings.transpose = -5;
    auto chunk = makeGridChunk (fullChords(), settings);
    dispatch (effSetChunk, 0, (VstIntPtr) chunk.size(), chunk.data());

    expectNothingButTheFilterLock (countOver (10000), "every setting on, window closed, 9999 blocks");

    // 123 notes of the full chord and 61 of the alternate one sound; the blocks' note and
    // controller 7 pass through: one event in each pressing block, two in each releasing one.
    const size_t presses = 2500;
    EXPECT_EQ (eventsReceived, 123 + (presses - 1) * (123 + 61) + presses * 3);
}

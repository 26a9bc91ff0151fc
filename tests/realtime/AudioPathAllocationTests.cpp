// The audio path of the loaded plug-in allocates nothing once it runs: not for the host's
// events, not for the chords it plays, not for the records it hands back.

#include "tests/realtime/AllocationCounter.h"
#include "tests/support/PluginHost.h"

#include <gtest/gtest.h>

namespace
{
std::vector<ChordColumn> fullChords()
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

// The block pattern: a press every fourth block, a release two blocks later, and a few other
// events that must be dropped.
std::vector<PluginHost::InputEvent> eventsForBlock (int block)
{
    switch (block % 4)
    {
        case 0: return { { 17, 0xB0, 64, 127 }, { 20, 0x90, 60, 90 } };
        case 2: return { { 3, 0xB0, 64, 0 }, { 9, 0x80, 60, 0 }, { 11, 0xB0, 7, 100 } };
        default: return {};
    }
}

// A host callback that keeps nothing: it only counts the events it is given, so the host
// itself never allocates on the audio thread.
size_t eventsReceived = 0;

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

class HostEventLists
{
public:
    explicit HostEventLists (int numPatterns)
    {
        for (int pattern = 0; pattern < numPatterns; ++pattern)
        {
            const auto events = eventsForBlock (pattern);
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

    void* list (int pattern) { return lists[(size_t) pattern].data(); }

private:
    std::vector<std::vector<uint8_t>> lists;
    std::vector<std::vector<VstMidiEvent>> records;
};

class AudioPathAllocationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        library = std::make_unique<PluginLibrary>();
        effect = library->callEntry (&quietHost);
        ASSERT_NE (effect, nullptr);

        dispatch (effOpen);
        dispatch (effSetSampleRate, 0, 0, nullptr, 48000.0f);
        dispatch (effSetBlockSize, 0, 512);
        dispatch (effMainsChanged, 0, 1);

        auto chunk = makeGridChunk (fullChords());
        dispatch (effSetChunk, 0, (VstIntPtr) chunk.size(), chunk.data());
        dispatch (effEditGetRect);
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

    // Runs the blocks and counts the allocations on this, the audio, thread after the first block.
    size_t allocationsOver (int numBlocks)
    {
        std::vector<float> samples (512 * 4, 0.0f);
        float* inputs[2] = { samples.data(), samples.data() + 512 };
        float* outputs[2] = { samples.data() + 1024, samples.data() + 1536 };
        HostEventLists lists (4);
        size_t counted = 0;
        eventsReceived = 0;

        for (int block = 0; block < numBlocks; ++block)
        {
            const bool afterFirst = block > 0;

            if (afterFirst)
                AllocationCounter::start();

            dispatch (effProcessEvents, 0, 0, lists.list (block % 4));
            effect->processReplacing (effect, inputs, outputs, 512);

            if (afterFirst)
                counted += AllocationCounter::stop();
        }

        return counted;
    }

    std::unique_ptr<PluginLibrary> library;
    AEffect* effect = nullptr;
};
}

TEST_F (AudioPathAllocationTest, SteppingThroughFullChordsWithAnEditorPresentAllocatesNothing)
{
    EXPECT_EQ (allocationsOver (10000), 0u);
    // 2500 presses: the first starts 128 notes, every later one ends one chord and starts the
    // other (128 and 64 notes).
    EXPECT_EQ (eventsReceived, (size_t) (128 + 2499 * 192));
}

TEST_F (AudioPathAllocationTest, RestartingAFullChordWithNoEditorAllocatesNothing)
{
    HostEventLists pressAndRelease (4);
    dispatch (effProcessEvents, 0, 0, pressAndRelease.list (0));
    effect->processReplacing (effect, nullptr, nullptr, 512);
    dispatch (effProcessEvents, 0, 0, pressAndRelease.list (2));
    effect->processReplacing (effect, nullptr, nullptr, 512);
    dispatch (effEditClose);

    EXPECT_EQ (allocationsOver (10000), 0u);
    EXPECT_EQ (eventsReceived, (size_t) 2500 * 256);
}

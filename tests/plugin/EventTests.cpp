// MIDI in through effProcessEvents, MIDI out through the host's audioMasterProcessEvents.

#include "tests/plugin/PluginFixture.h"

using EventTest = PluginTest;

namespace
{
const std::vector<ChordColumn> cMajorThenDMinor { { { { 60, 100 }, { 64, 100 }, { 67, 100 } } },
                                                  { { { 62, 90 }, { 65, 90 }, { 69, 90 } } } };
}

TEST_F (EventTest, BlockWithoutMidiSendsNothingToTheHost)
{
    auto* effect = createPlaying();
    host->clearRequests();
    host->runBlock (effect);
    EXPECT_TRUE (host->requestsWithOpcode (audioMasterProcessEvents).empty());
}

TEST_F (EventTest, IncomingNotesAndControllersAreConsumed)
{
    auto* effect = createPlaying();
    host->clearRequests();
    const auto sent = host->processBlock (effect, { { 0, 0x90, 60, 100 }, { 5, 0x80, 60, 0 }, { 9, 0xB3, 7, 99 },
                                                    { 12, 0xE0, 0, 64 }, { 20, 0xC0, 5, 0 } });
    EXPECT_TRUE (sent.empty());
    EXPECT_TRUE (host->requestsWithOpcode (audioMasterProcessEvents).empty());
}

TEST_F (EventTest, OutgoingRecordsAreMidiEventsAtThePressPosition)
{
    auto* effect = createPlaying();
    host->setChunk (effect, makeGridChunk (cMajorThenDMinor));

    const auto sent = host->processBlock (effect, { pedalDown (137) });
    ASSERT_EQ (sent.size(), 3u);

    for (const auto& e : sent)
    {
        EXPECT_EQ (e.type, kVstMidiType);
        EXPECT_EQ (e.byteSize, 24);
        EXPECT_EQ (e.deltaFrames, 137);
        EXPECT_EQ (e.status(), 0x90);
    }

    const auto requests = host->requestsWithOpcode (audioMasterProcessEvents);
    ASSERT_FALSE (requests.empty());
    EXPECT_EQ (requests.back().effect, effect);
}

TEST_F (EventTest, DeliveriesBeforeOneBlockAddUp)
{
    auto* effect = createPlaying();
    host->setChunk (effect, makeGridChunk (cMajorThenDMinor));

    host->takeSentMidi();
    host->deliverEvents (effect, { pedalDown (10) });
    host->deliverEvents (effect, { pedalUp (20) });
    host->deliverEvents (effect, { pedalDown (30) });
    host->runBlock (effect);
    const auto sent = host->takeSentMidi();

    // C major starts at 10; at 30 it ends and D minor starts.
    ASSERT_EQ (sent.size(), 9u);
    EXPECT_EQ (sent[0].deltaFrames, 10);
    EXPECT_EQ (sent[3].deltaFrames, 30);
    EXPECT_TRUE (sent[3].isNoteOff());
    EXPECT_EQ (sent[6].note(), 62);
}

TEST_F (EventTest, OtherEventTypesAndDataWithoutStatusAreIgnored)
{
    auto* effect = createPlaying();
    host->setChunk (effect, makeGridChunk (cMajorThenDMinor));

    VstMidiEvent sysexLike {};
    sysexLike.type = 6;  // not a MIDI event
    sysexLike.midiData[0] = (char) 0xB0;
    sysexLike.midiData[1] = 64;
    sysexLike.midiData[2] = 127;
    VstMidiEvent noStatus {};
    noStatus.type = kVstMidiType;
    noStatus.midiData[0] = 64;
    noStatus.midiData[1] = 127;

    struct
    {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[3];
    } list { 3, 0, { reinterpret_cast<VstEvent*> (&sysexLike), nullptr, reinterpret_cast<VstEvent*> (&noStatus) } };

    EXPECT_EQ (host->dispatch (effect, effProcessEvents, 0, 0, &list), 1);
    host->takeSentMidi();
    host->runBlock (effect);
    EXPECT_TRUE (host->takeSentMidi().empty());
}

TEST_F (EventTest, AccumulatingProcessAndUnpreparedBlocksWorkToo)
{
    auto* effect = host->createInstance();
    host->setChunk (effect, makeGridChunk (cMajorThenDMinor));

    // No open, no resume: the first block prepares the filter itself.
    const auto sent = host->processBlock (effect, { pedalDown (3) }, 256, false);
    EXPECT_EQ (sent.size(), 3u);
}

TEST_F (EventTest, HostRefusingTheEventsIsNotAskedAgain)
{
    auto* effect = createPlaying();
    host->setChunk (effect, makeGridChunk (cMajorThenDMinor));
    host->processEventsAnswer = 2;
    host->clearRequests();

    host->processBlock (effect, { pedalDown (0) });
    EXPECT_EQ (host->requestsWithOpcode (audioMasterProcessEvents).size(), 1u);
}

TEST_F (EventTest, ResumeAsksForMidiAgain)
{
    auto* effect = host->createInstance();
    host->clearRequests();
    host->dispatch (effect, effMainsChanged, 0, 1);
    host->dispatch (effect, effMainsChanged, 0, 0);
    host->dispatch (effect, effMainsChanged, 0, 2);
    EXPECT_EQ (host->requestsWithOpcode (audioMasterWantMidi).size(), 2u);
}

TEST_F (EventTest, SuspendDropsEventsDeliveredBeforeIt)
{
    auto* effect = createPlaying();
    host->setChunk (effect, makeGridChunk (cMajorThenDMinor));

    host->deliverEvents (effect, { pedalDown (0) });
    host->dispatch (effect, effMainsChanged, 0, 0);
    host->takeSentMidi();
    host->runBlock (effect);
    EXPECT_TRUE (host->takeSentMidi().empty());
}

TEST_F (EventTest, EventsOutsideTheBlockAreHeldToItsEdges)
{
    auto* effect = createPlaying();
    host->setChunk (effect, makeGridChunk (cMajorThenDMinor));

    // A press past the block's end sounds at its last frame; presses before its start sound at
    // frame 0, in the order the host listed them.
    const auto late = host->processBlock (effect, { pedalDown (100000) }, 512);
    ASSERT_EQ (late.size(), 3u);

    for (const auto& e : late)
        EXPECT_EQ (e.deltaFrames, 511);

    host->processBlock (effect, { pedalUp (-3) }, 512);
    const auto early = host->processBlock (effect, { pedalDown (-700), pedalUp (-1), pedalDown (INT32_MIN) }, 512);
    ASSERT_EQ (early.size(), 12u) << "two presses, each ending one chord and starting another";

    for (const auto& e : early)
        EXPECT_EQ (e.deltaFrames, 0);
}

TEST_F (EventTest, EventsForAnEmptyBlockWaitForTheNextOne)
{
    auto* effect = createPlaying();
    host->setChunk (effect, makeGridChunk (cMajorThenDMinor));

    // A block of no frames has no frame to place a note at.
    EXPECT_TRUE (host->processBlock (effect, { pedalDown (5) }, 0).empty());

    const auto next = host->processBlock (effect, {}, 64);
    ASSERT_EQ (next.size(), 3u);
    EXPECT_EQ (next[0].deltaFrames, 5);
}

// The pedal stepping through a restored grid, as a host hears it.

#include "tests/plugin/PluginFixture.h"

#include <algorithm>

namespace
{
const ChordColumn cMajor { { { 60, 100 }, { 64, 100 }, { 67, 100 } } };
const ChordColumn dMinor { { { 62, 90 }, { 65, 90 }, { 69, 90 } } };
const ChordColumn loud { { { 48, 300 }, { 50, 200 }, { 52, 127 } } };

std::vector<int> notesOf (const std::vector<SentMidi>& events, bool noteOns)
{
    std::vector<int> notes;

    for (const auto& e : events)
        if (noteOns ? e.isNoteOn() : e.isNoteOff())
            notes.push_back (e.note());

    return notes;
}
}

class PedalTest : public PluginTest
{
protected:
    // An instance playing with the given grid restored and an editor present, so the pedal steps.
    AEffect* playingWithGrid (const std::vector<ChordColumn>& columns)
    {
        auto* effect = createPlaying();
        host->setChunk (effect, makeGridChunk (columns));
        host->dispatch (effect, effEditGetRect, 0, 0, nullptr);
        return effect;
    }
};

TEST_F (PedalTest, FreshEditorFirstPressPlaysTheEmptyFirstColumn)
{
    auto* effect = createPlaying();
    host->dispatch (effect, effEditGetRect, 0, 0, nullptr);
    host->clearRequests();

    EXPECT_TRUE (host->processBlock (effect, { pedalDown (0) }).empty());
    EXPECT_TRUE (host->requestsWithOpcode (audioMasterProcessEvents).empty());
}

TEST_F (PedalTest, EachPressEndsOneChordAndStartsTheNext)
{
    auto* effect = playingWithGrid ({ cMajor, dMinor });

    const auto first = host->processBlock (effect, { pedalDown (100), pedalUp (300) });
    EXPECT_EQ (notesOf (first, true), (std::vector<int> { 60, 64, 67 }));
    EXPECT_TRUE (notesOf (first, false).empty());

    const auto second = host->processBlock (effect, { pedalDown (40) });
    ASSERT_EQ (second.size(), 6u);
    EXPECT_EQ (notesOf (second, false), (std::vector<int> { 60, 64, 67 }));
    EXPECT_EQ (notesOf (second, true), (std::vector<int> { 62, 65, 69 }));

    for (size_t i = 0; i < second.size(); ++i)
    {
        EXPECT_EQ (second[i].deltaFrames, 40);
        EXPECT_EQ (second[i].status() & 0x0F, 0) << "channel 1";
        EXPECT_EQ (second[i].isNoteOff(), i < 3) << "offs come before ons";
        EXPECT_EQ (second[i].velocity(), i < 3 ? 0 : 90);
    }

    host->processBlock (effect, { pedalUp (0) });
    const auto wrapped = host->processBlock (effect, { pedalDown (0) });
    EXPECT_EQ (notesOf (wrapped, true), (std::vector<int> { 60, 64, 67 })) << "the grid wraps";
}

TEST_F (PedalTest, RepeatedPressesWithoutReleaseTriggerOnce)
{
    auto* effect = playingWithGrid ({ cMajor, dMinor });
    const int channel5 = 4;

    const auto sent = host->processBlock (effect, { pedalDown (10, 127, channel5), pedalDown (20, 127, channel5),
                                                    pedalUp (30, channel5), pedalDown (40, 127, channel5) });

    ASSERT_EQ (sent.size(), 9u);
    EXPECT_EQ (sent[0].deltaFrames, 10);
    EXPECT_EQ (sent[3].deltaFrames, 40);

    for (const auto& e : sent)
        EXPECT_EQ (e.status() & 0x0F, 0);
}

TEST_F (PedalTest, HalfPedalTriggersOnceAtItsFirstNonZeroValue)
{
    auto* effect = playingWithGrid ({ cMajor, dMinor });

    const auto sent = host->processBlock (effect, { pedalDown (5, 1), pedalDown (6, 40), pedalDown (7, 90), pedalUp (8) });
    ASSERT_EQ (sent.size(), 3u);
    EXPECT_EQ (sent[0].deltaFrames, 5);

    const auto next = host->processBlock (effect, { pedalDown (0, 64) });
    EXPECT_EQ (notesOf (next, true), (std::vector<int> { 62, 65, 69 })) << "released again after the value 0";
}

TEST_F (PedalTest, ReleaseBeforeAnyPressChangesNothing)
{
    auto* effect = playingWithGrid ({ cMajor, dMinor });
    EXPECT_TRUE (host->processBlock (effect, { pedalUp (0), pedalUp (1) }).empty());
    EXPECT_EQ (notesOf (host->processBlock (effect, { pedalDown (2) }), true), (std::vector<int> { 60, 64, 67 }));
}

TEST_F (PedalTest, StoredVelocitiesKeepTheirLowestBitsUpTo127)
{
    auto* effect = playingWithGrid ({ loud });
    const auto sent = host->processBlock (effect, { pedalDown (0) });
    ASSERT_EQ (sent.size(), 3u);
    EXPECT_EQ (sent[0].velocity(), 44);   // 300
    EXPECT_EQ (sent[1].velocity(), 127);  // 200
    EXPECT_EQ (sent[2].velocity(), 127);
}

TEST_F (PedalTest, WithNoGridAtAllEachPressRestartsTheChordPlayedLast)
{
    // No state restored and no editor ever opened: there is nothing to step, and nothing sounds.
    auto* effect = createPlaying();
    EXPECT_TRUE (host->processBlock (effect, { pedalDown (0), pedalUp (1), pedalDown (2) }).empty());
}

TEST_F (PedalTest, RestoreWhileOpenKeepsTheOpenGridUntilReopened)
{
    auto* effect = playingWithGrid ({ cMajor, dMinor });
    host->setChunk (effect, makeGridChunk ({ loud, dMinor, cMajor }));

    EXPECT_EQ (notesOf (host->processBlock (effect, { pedalDown (0), pedalUp (1) }), true),
               (std::vector<int> { 60, 64, 67 })) << "the open grid still plays";

    host->dispatch (effect, effEditClose);
    host->dispatch (effect, effEditGetRect, 0, 0, nullptr);

    const auto afterReopen = host->processBlock (effect, { pedalDown (0), pedalUp (1) });
    EXPECT_EQ (notesOf (afterReopen, true), (std::vector<int> { 48, 50, 52 })) << "first column of the restored grid";
}

TEST_F (PedalTest, EmptyGridEndsTheChordAndStartsNothing)
{
    auto* effect = playingWithGrid ({ cMajor });
    host->processBlock (effect, { pedalDown (0), pedalUp (1) });

    host->setChunk (effect, makeGridChunk ({}));
    host->dispatch (effect, effEditClose);
    host->dispatch (effect, effEditGetRect, 0, 0, nullptr);

    const auto sent = host->processBlock (effect, { pedalDown (0), pedalUp (1) });
    EXPECT_EQ (notesOf (sent, false), (std::vector<int> { 60, 64, 67 }));
    EXPECT_TRUE (notesOf (sent, true).empty());
    EXPECT_TRUE (host->processBlock (effect, { pedalDown (0) }).empty());
}

TEST_F (PedalTest, EveryPressOfALongSessionStaysInStep)
{
    std::vector<ChordColumn> columns;

    for (int i = 0; i < 16; ++i)
        columns.push_back ({ { { 36 + i, 100 }, { 48 + i, 100 } } });

    auto* effect = playingWithGrid (columns);

    for (int press = 0; press < 100; ++press)
    {
        const auto sent = host->processBlock (effect, { pedalDown (press % 500), pedalUp (511) });
        const int column = press % 16;
        ASSERT_EQ (notesOf (sent, true), (std::vector<int> { 36 + column, 48 + column })) << "press " << press;
    }
}

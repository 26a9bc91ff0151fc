// The pedal stepping through a restored grid, as a host hears it.

#include "tests/plugin/PluginFixture.h"

#include <algorithm>

namespace
{
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
        return effect;
    }
};

TEST_F (PedalTest, FreshEditorFirstPressPlaysTheEmptyFirstColumn)
{
    auto* effect = createPlaying();
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

TEST_F (PedalTest, AnOnCellAlwaysSoundsWithItsVelocityHeldWithin1To127)
{
    // stored velocity -> velocity sent; a note-on of velocity 0 would be a note-off.
    const std::vector<std::pair<int, int>> table { { 0, 1 }, { -5, 1 }, { 1, 1 }, { 100, 100 }, { 127, 127 },
                                                   { 128, 127 }, { 256, 127 }, { 300, 127 } };
    ChordColumn column;

    for (size_t i = 0; i < table.size(); ++i)
        column.notes.push_back ({ 40 + (int) i, table[i].first });

    auto* effect = playingWithGrid ({ column });
    const auto sent = host->processBlock (effect, { pedalDown (0) });
    ASSERT_EQ (sent.size(), table.size());

    for (size_t i = 0; i < table.size(); ++i)
    {
        EXPECT_TRUE (sent[i].isNoteOn()) << "stored " << table[i].first;
        EXPECT_EQ (sent[i].velocity(), table[i].second) << "stored " << table[i].first;
    }
}

TEST_F (PedalTest, WithNoGridAtAllPressesSendNothingUntilAStateArrives)
{
    // No state restored and no editor ever opened: nothing was ever played, so a press ends
    // nothing and starts nothing.
    auto* effect = createPlaying();
    EXPECT_TRUE (host->processBlock (effect, { pedalDown (0), pedalUp (1), pedalDown (2) }).empty());

    // The same presses play once there is a grid (the pedal is down: a release re-arms it).
    host->setChunk (effect, makeGridChunk ({ cMajor }));
    EXPECT_EQ (notesOf (host->processBlock (effect, { pedalUp (0), pedalDown (2) }), true), (std::vector<int> { 60, 64, 67 }));
}

TEST_F (PedalTest, ARestoreTakesEffectAtTheNextPressFromItsFirstColumn)
{
    auto* effect = playingWithGrid ({ cMajor, dMinor });
    host->processBlock (effect, { pedalDown (0), pedalUp (1) });
    host->setChunk (effect, makeGridChunk ({ loud, dMinor, cMajor }));

    const auto sent = host->processBlock (effect, { pedalDown (0), pedalUp (1) });
    EXPECT_EQ (notesOf (sent, false), (std::vector<int> { 60, 64, 67 })) << "the chord that sounded ends";
    EXPECT_EQ (notesOf (sent, true), (std::vector<int> { 48, 50, 52 })) << "first column of the restored grid";
}

TEST_F (PedalTest, EmptyGridEndsTheChordAndStartsNothing)
{
    auto* effect = playingWithGrid ({ cMajor });
    host->processBlock (effect, { pedalDown (0), pedalUp (1) });

    host->setChunk (effect, makeGridChunk ({}));

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

// The fuzzer's checks themselves: each must catch the fault it is there for, and let correct
// output through.

#include "tests/fuzz/NoteLedger.h"
#include "tests/fuzz/PedalModel.h"
#include "tests/fuzz/StateModel.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
SentMidi midi (int at, uint8_t status, uint8_t note, uint8_t velocity = 0)
{
    SentMidi event;
    event.deltaFrames = at;
    event.bytes[0] = status;
    event.bytes[1] = note;
    event.bytes[2] = velocity;
    event.type = kVstMidiType;
    event.byteSize = 24;
    return event;
}

SentMidi on (int at, uint8_t note) { return midi (at, 0x90, note, 100); }
SentMidi off (int at, uint8_t note) { return midi (at, 0x80, note); }

IncomingMidi pedalAt (int32_t at, uint8_t value, uint8_t channel = 0)
{
    return { at, { (uint8_t) (0xB0 | channel), 64, value, 0 } };
}

Bytes header (int32_t columns, int32_t perColumn, size_t cellBytes = 0)
{
    Bytes chunk (8 + cellBytes, 0);
    writeInt32 (chunk, 0, columns);
    writeInt32 (chunk, 4, perColumn);
    return chunk;
}
}

TEST (NoteLedgerChecks, ChordChangesAtPressesPassAndAreCounted)
{
    NoteLedger ledger;
    EXPECT_EQ (ledger.checkBlock ({ on (10, 60), on (10, 64) }, 512, { 10 }), "");
    EXPECT_EQ (ledger.checkBlock ({ off (0, 60), off (0, 64), on (0, 62), off (300, 62), on (300, 65) }, 512, { 0, 300 }), "");
    EXPECT_EQ (ledger.checkBlock ({}, 512, {}), "");
    EXPECT_EQ (ledger.noteOnsSeen(), 4);
    EXPECT_EQ (ledger.noteOffsSeen(), 3);
    EXPECT_EQ (ledger.soundingNotes(), std::vector<int> { 65 });
}

TEST (NoteLedgerChecks, EventsOutsideTheirBlockAreCaught)
{
    EXPECT_NE (NoteLedger().checkBlock ({ on (100000, 60) }, 512, { 100000 }), "");
    EXPECT_NE (NoteLedger().checkBlock ({ on (512, 60) }, 512, { 512 }), "");
    EXPECT_NE (NoteLedger().checkBlock ({ on (-700, 60) }, 512, { -700 }), "");
    EXPECT_NE (NoteLedger().checkBlock ({ on (0, 60) }, 0, { 0 }), "") << "a block of no frames holds no position";
    EXPECT_EQ (NoteLedger().checkBlock ({ on (0, 60) }, 1, { 0 }), "");
}

TEST (NoteLedgerChecks, HangingNotesAreCaught)
{
    // The second press starts 62 without ending 60.
    NoteLedger missingOff;
    ASSERT_EQ (missingOff.checkBlock ({ on (10, 60) }, 512, { 10 }), "");
    EXPECT_NE (missingOff.checkBlock ({ on (5, 62) }, 512, { 5 }), "");

    // The second press ends nothing and starts nothing: 60 still sounds after it.
    NoteLedger silentPress;
    ASSERT_EQ (silentPress.checkBlock ({ on (10, 60) }, 512, { 10 }), "");
    EXPECT_NE (silentPress.checkBlock ({}, 512, { 5 }), "");

    // A note started twice: one of the two never ends.
    EXPECT_NE (NoteLedger().checkBlock ({ on (10, 60), on (10, 60) }, 512, { 10 }), "");
}

TEST (NoteLedgerChecks, StrayEventsAreCaught)
{
    EXPECT_NE (NoteLedger().checkBlock ({ off (10, 60) }, 512, { 10 }), "") << "a note-off for a silent note";
    EXPECT_NE (NoteLedger().checkBlock ({ on (11, 60) }, 512, { 10 }), "") << "a note-on where no press was";
    NoteLedger panic;
    ASSERT_EQ (panic.checkBlock ({ on (10, 60) }, 512, { 10 }), "");
    EXPECT_NE (panic.checkBlock ({ on (30, 61) }, 512, {}, { 30 }), "") << "a note-on where only a panic was";
    EXPECT_EQ (panic.checkBlock ({ off (30, 60) }, 512, {}, { 30 }), "") << "the control: a panic's note-off";
    EXPECT_NE (NoteLedger().checkBlock ({ midi (10, 0x91, 60, 100) }, 512, { 10 }), "") << "channel 2";
    EXPECT_NE (NoteLedger().checkBlock ({ midi (10, 0xB0, 64, 127) }, 512, { 10 }), "") << "a controller";

    auto wrongRecord = on (10, 60);
    wrongRecord.byteSize = 32;
    EXPECT_NE (NoteLedger().checkBlock ({ wrongRecord }, 512, { 10 }), "");
}

TEST (PedalModelChecks, PressesNeedAReleaseBetweenThem)
{
    PedalModel pedal;
    pedal.delivered ({ pedalAt (40, 127), pedalAt (10, 1, 5), pedalAt (20, 90), pedalAt (30, 0), pedalAt (35, 0) });
    pedal.delivered ({ pedalAt (50, 200), { 45, { 0x90, 64, 127, 0 } }, { 55, { 0xB0, 65, 0, 0 } } });
    EXPECT_EQ (pedal.pressesInBlock (512), (std::vector<int32_t> { 10, 40 }));

    // The pedal is still down from the last block: a release must come first.
    pedal.delivered ({ pedalAt (0, 127), pedalAt (3, 0), pedalAt (3, 127) });
    EXPECT_EQ (pedal.pressesInBlock (512), std::vector<int32_t> { 3 });
}

TEST (PedalModelChecks, EventsOutsideTheBlockPressAtItsEndsAndSwitchingDropsThem)
{
    PedalModel pedal;
    pedal.delivered ({ pedalAt (100000, 127), pedalAt (INT_MIN, 0) });
    EXPECT_EQ (pedal.pressesInBlock (512), std::vector<int32_t> { 511 });

    // Before the block counts as its first frame, in the order of delivery: the release at -700
    // comes after the press at 0 that was delivered first.
    pedal.delivered ({ pedalAt (0, 0), pedalAt (0, 127) });
    pedal.delivered ({ pedalAt (-700, 0), pedalAt (-600, 127) });
    EXPECT_EQ (pedal.pressesInBlock (64), (std::vector<int32_t> { 0, 0 }));

    pedal.delivered ({ pedalAt (0, 0), pedalAt (1, 127) });
    pedal.hostSwitched();
    EXPECT_TRUE (pedal.pressesInBlock (512).empty());
}

TEST (PedalModelChecks, ABlockOfNoFramesLeavesTheEventsForTheNext)
{
    PedalModel pedal;
    pedal.delivered ({ pedalAt (5, 127) });
    EXPECT_TRUE (pedal.pressesInBlock (0).empty());
    EXPECT_EQ (pedal.pressesInBlock (3), std::vector<int32_t> { 2 });
}

TEST (StateModelChecks, TheAcceptedLengthFollowsTheHeader)
{
    const auto length = [] (const Bytes& chunk) { return StateModel::acceptedLength (chunk.data(), (int64_t) chunk.size()); };

    EXPECT_EQ (length (header (0, 128)), 8u);
    EXPECT_EQ (length (header (2, 3, 48)), 56u);
    EXPECT_EQ (length (header (2, 3, 60)), 56u) << "trailing bytes are not kept";
    EXPECT_EQ (length (header (4096, 1, 4096 * 8)), 8u + 4096 * 8);
    EXPECT_FALSE (length (header (2, 3, 47)));
    EXPECT_FALSE (length (header (4097, 1, 4097 * 8)));
    EXPECT_FALSE (length (header (1, 1025, 1025 * 8)));
    EXPECT_FALSE (length (header (-1, 0)));
    EXPECT_FALSE (length (header (0, -1)));
    EXPECT_FALSE (length (Bytes (7, 0)));
    EXPECT_FALSE (StateModel::acceptedLength (nullptr, 100));
}

TEST (StateModelChecks, TheLastAcceptedChunkIsSavedByteForByte)
{
    StateModel state;
    EXPECT_TRUE (state.expectedSave().empty());

    // Two stored cells a column: note 1 on with its bytes without meaning set.
    auto chunk = header (1, 2, 16);
    chunk[8 + 8] = 1;
    chunk[8 + 9] = 0x77;
    writeInt32 (chunk, 8 + 12, 300);
    auto withTail = chunk;
    withTail.push_back (0xEE);
    ASSERT_TRUE (state.chunkGiven (withTail.data(), (int64_t) withTail.size()));
    EXPECT_EQ (state.expectedSave(), chunk);

    const auto refused = header (1, 128, 10);
    EXPECT_FALSE (state.chunkGiven (refused.data(), (int64_t) refused.size()));
    EXPECT_EQ (state.expectedSave(), chunk);
}

// --state and --save-state: the plug-in's state chunk going in as it is and coming out after a run.

#include "tests/tools/PlayFixture.h"

namespace
{
const std::vector<Chord> twoColumns { { { 36, 100 }, { 60, 64 } }, { { 41, 127 }, { 65, 20 }, { 69, 90 } } };

int32_t int32At (const juce::MemoryBlock& bytes, size_t offset)
{
    return (int32_t) juce::ByteOrder::littleEndianInt (static_cast<const char*> (bytes.getData()) + offset);
}
}

class StateTest : public PlayTest
{
};

TEST_F (StateTest, ChunkColumnsArePlayedOnePressEach)
{
    const auto run = play ({ "--state", writeStateFile ("two.state", twoColumns) });
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes, expectedPerformance (twoColumns, ticksEveryBeat (2)));
}

TEST_F (StateTest, ChunkIsHandedOverAsItIsNotRewritten)
{
    // Velocities the plug-in reads its own way: held within 1 to 127. The program must not clamp
    // or drop them on the way.
    auto chunk = gridChunk ({ { { 60, 300 }, { 62, 200 }, { 64, 127 } } });
    // An on flag other than 1 is still on.
    static_cast<juce::uint8*> (chunk.getData())[8 + 67 * 8] = 7;

    ASSERT_EQ (play ({ "--state", writeBytes ("raw.state", chunk) }).exitCode, 0);

    const std::vector<PlayedNote> expected { { 0, true, 60, 127, 1 },  { 0, true, 62, 127, 1 },
                                             { 0, true, 64, 127, 1 },  { 0, true, 67, 100, 1 },
                                             { 480, false, 60, 0, 1 }, { 480, false, 62, 0, 1 },
                                             { 480, false, 64, 0, 1 }, { 480, false, 67, 0, 1 } };
    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes, expected);
}

TEST_F (StateTest, RefusedChunkIsReportedOnOneLineWithExitCodeOne)
{
    auto truncated = gridChunk (twoColumns);
    truncated.setSize (truncated.getSize() - 100);

    juce::MemoryOutputStream negative;
    negative.writeInt (-3);
    negative.writeInt (128);

    const juce::MemoryBlock headerOnly ("\x01\x00\x00", 3);

    for (const auto& [name, chunk] : { std::pair<std::string, juce::MemoryBlock> { "truncated", truncated },
                                       { "negative", negative.getMemoryBlock() },
                                       { "short", headerOnly } })
    {
        SCOPED_TRACE (name);
        const auto run = play ({ "--state", writeBytes (name + ".state", chunk) });

        ASSERT_TRUE (run.exitedNormally) << testing::PrintToString (run);
        EXPECT_EQ (run.exitCode, 1);
        ASSERT_EQ (run.errLines().size(), 1u) << run.err;
        EXPECT_NE (run.err.find ("refused"), std::string::npos) << run.err;
        EXPECT_NE (run.err.find (name + ".state"), std::string::npos) << run.err;
        EXPECT_FALSE (file ("corvadel-out.mid").exists());
    }
}

TEST_F (StateTest, SavedStateHoldsTheGridAfterTheRun)
{
    ASSERT_EQ (play ({ "--state", writeStateFile ("two.state", twoColumns), "--save-state", "after.state" }).exitCode, 0);

    juce::MemoryBlock saved;
    ASSERT_TRUE (file ("after.state").loadFileAsData (saved));
    ASSERT_EQ (saved.getSize(), 8u + 2u * 128u * 8u);
    EXPECT_EQ (int32At (saved, 0), 2);
    EXPECT_EQ (int32At (saved, 4), 128);
    EXPECT_EQ (saved, gridChunk (twoColumns));
}

TEST_F (StateTest, SavedStateFedBackGivesTheSamePerformance)
{
    ASSERT_EQ (play ({ "--out", "demo.mid", "--save-state", "demo.state" }).exitCode, 0);

    juce::MemoryBlock saved;
    ASSERT_TRUE (file ("demo.state").loadFileAsData (saved));
    EXPECT_EQ (int32At (saved, 4), 128);
    EXPECT_EQ (saved.getSize(), 8u + (size_t) int32At (saved, 0) * 128u * 8u);

    ASSERT_EQ (play ({ "--state", "demo.state", "--out", "again.mid" }).exitCode, 0);

    const auto first = readOutput (file ("demo.mid")).notes;
    EXPECT_FALSE (first.empty());
    EXPECT_EQ (readOutput (file ("again.mid")).notes, first);
}

TEST_F (StateTest, ChordFileStateMatchesTheChordsPlayed)
{
    const std::vector<Chord> chords { { { 55, 61 }, { 59, 62 } }, { { 57, 63 } }, { { 52, 64 }, { 71, 65 } } };
    ASSERT_EQ (play ({ "--chords", writeChordsFile ("c.mid", chords), "--save-state", "c.state" }).exitCode, 0);

    juce::MemoryBlock saved;
    ASSERT_TRUE (file ("c.state").loadFileAsData (saved));
    EXPECT_EQ (saved, gridChunk (chords));
}

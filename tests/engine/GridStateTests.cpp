// Reading and writing the grid state chunk.

#include "engine/GridState.h"

#include <gtest/gtest.h>

namespace
{
juce::MemoryBlock chunkWith (int32_t columns, int32_t perColumn, size_t cellBytes)
{
    juce::MemoryBlock block;
    block.append (&columns, 4);
    block.append (&perColumn, 4);
    block.setSize (8 + cellBytes, true);
    return block;
}
}

TEST (GridState, RoundTripKeepsEveryByteOfEveryCell)
{
    GridState state (3, 128);
    state.column (0)[60].isOn = 1;
    state.column (1)[0].isOn = 7;
    state.column (1)[0].unused[1] = 0x5A;
    state.column (2)[127].velocity = -3;

    juce::MemoryBlock written;
    state.appendTo (written);
    ASSERT_EQ (written.getSize(), 8u + 3 * 1024);

    auto read = GridState::fromChunk (written.getData(), (int64_t) written.getSize());
    ASSERT_NE (read, nullptr);
    EXPECT_EQ (read->getNumColumns(), 3);
    EXPECT_EQ (read->getCellsPerColumn(), 128);

    juce::MemoryBlock again;
    read->appendTo (again);
    EXPECT_EQ (again, written);
    EXPECT_EQ (read->column (1)[0].isOn, 7);
    EXPECT_EQ (read->column (2)[127].velocity, -3);
    EXPECT_EQ (read->column (0)[61].velocity, 100);
}

TEST (GridState, BoundsAndSizesDecideWhatIsRefused)
{
    EXPECT_EQ (GridState::fromChunk (nullptr, 100), nullptr);

    auto empty = chunkWith (0, 128, 0);
    EXPECT_NE (GridState::fromChunk (empty.getData(), 8), nullptr);
    EXPECT_EQ (GridState::fromChunk (empty.getData(), 7), nullptr);

    auto largest = chunkWith (GridState::maxColumns, 1, (size_t) GridState::maxColumns * 8);
    EXPECT_NE (GridState::fromChunk (largest.getData(), (int64_t) largest.getSize()), nullptr);

    auto tooManyColumns = chunkWith (GridState::maxColumns + 1, 1, (size_t) (GridState::maxColumns + 1) * 8);
    EXPECT_EQ (GridState::fromChunk (tooManyColumns.getData(), (int64_t) tooManyColumns.getSize()), nullptr);

    auto tooManyCells = chunkWith (1, GridState::maxCellsPerColumn + 1, (size_t) (GridState::maxCellsPerColumn + 1) * 8);
    EXPECT_EQ (GridState::fromChunk (tooManyCells.getData(), (int64_t) tooManyCells.getSize()), nullptr);

    // 65536 × 65536 × 8 wraps a 32-bit product to 0.
    auto wrapping = chunkWith (65536, 65536, 0);
    EXPECT_EQ (GridState::fromChunk (wrapping.getData(), 8), nullptr);

    auto noCells = chunkWith (5, 0, 0);
    auto columnsWithoutCells = GridState::fromChunk (noCells.getData(), 8);
    ASSERT_NE (columnsWithoutCells, nullptr);
    EXPECT_EQ (columnsWithoutCells->getNumColumns(), 5);
}

TEST (GridState, ReadingNeverLooksPastTheGivenSize)
{
    // The cells claimed lie beyond the size given, inside memory that does exist.
    auto chunk = chunkWith (2, 128, 2048);
    EXPECT_EQ (GridState::fromChunk (chunk.getData(), 8 + 2047), nullptr);
    EXPECT_NE (GridState::fromChunk (chunk.getData(), 8 + 2048), nullptr);
}

TEST (GridState, AppendingKeepsWhatTheBlockHeldAndWritesEachCellInPlace)
{
    GridState state (2, 3);
    state.column (0)[0] = { 1, { 0x11, 0x22, 0x33 }, 0x01020304 };
    state.column (1)[2] = { 0xFF, {}, -2 };

    juce::MemoryBlock block ("ab", 2);
    state.appendTo (block);

    const uint8_t expected[] = {
        'a', 'b',
        2, 0, 0, 0, 3, 0, 0, 0,
        1, 0x11, 0x22, 0x33, 0x04, 0x03, 0x02, 0x01,
        0, 0, 0, 0, 100, 0, 0, 0,
        0, 0, 0, 0, 100, 0, 0, 0,
        0, 0, 0, 0, 100, 0, 0, 0,
        0, 0, 0, 0, 100, 0, 0, 0,
        0xFF, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF,
    };
    EXPECT_EQ (block, juce::MemoryBlock (expected, sizeof (expected)));
}

TEST (GridState, TheLargestGridIsWrittenWhole)
{
    GridState state (GridState::maxColumns, 128);
    state.column (GridState::maxColumns - 1)[127].isOn = 1;

    juce::MemoryBlock block;
    state.appendTo (block);
    ASSERT_EQ (block.getSize(), 8u + (size_t) GridState::maxColumns * 1024);
    EXPECT_EQ (block[block.getSize() - 8], 1);
    EXPECT_EQ (block[block.getSize() - 4], 100);

    auto read = GridState::fromChunk (block.getData(), (int64_t) block.getSize());
    ASSERT_NE (read, nullptr);
    EXPECT_EQ (read->column (GridState::maxColumns - 1)[127].isOn, 1);
}

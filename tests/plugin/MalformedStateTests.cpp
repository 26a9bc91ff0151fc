// States that no plug-in wrote: the plug-in refuses them whole and keeps what it had.

#include "tests/plugin/PluginFixture.h"

using MalformedStateTest = PluginTest;

namespace
{
std::vector<uint8_t> header (int32_t columns, int32_t cellsPerColumn, size_t extraBytes = 0)
{
    std::vector<uint8_t> chunk (8 + extraBytes, 0);
    writeInt32 (chunk, 0, columns);
    writeInt32 (chunk, 4, cellsPerColumn);
    return chunk;
}
}

TEST_F (MalformedStateTest, RefusedChunksKeepThePreviousState)
{
    auto* effect = host->createInstance();
    const auto good = makeGridChunk ({ cMajor, {} });
    host->setChunk (effect, good);

    const std::vector<std::vector<uint8_t>> refused {
        { 1, 0, 0 },                                  // shorter than its header
        std::vector<uint8_t> (7, 0),
        header (-1, 128, 1024),                       // negative column count
        header (1, -128, 1024),                       // negative cell count
        header (2, 128, 1024),                        // counts need one more column than it holds
        header (1, 128, 1023),                        // one byte short
        header (0x7FFFFFFF, 0x7FFFFFFF),              // would overflow 32 bits
        header (65536, 65536),                        // 64-bit product far beyond the data
        header (4097, 1, 4097 * 8),                   // more columns than any grid holds
        header (1, 1025, 1025 * 8),                   // more cells per column than any grid holds
    };

    for (const auto& chunk : refused)
    {
        host->setChunk (effect, chunk);
        EXPECT_EQ (host->getChunk (effect), good) << "chunk of " << chunk.size() << " bytes";
    }
}

TEST_F (MalformedStateTest, ExtraBytesAfterTheCellsAreIgnored)
{
    auto* effect = host->createInstance();
    auto chunk = makeGridChunk ({ cMajor });
    const auto expected = chunk;
    chunk.resize (chunk.size() + 100, 0xEE);
    host->setChunk (effect, chunk);
    EXPECT_EQ (host->getChunk (effect), expected);
}

TEST_F (MalformedStateTest, ZeroColumnsIsAValidEmptyGrid)
{
    auto* effect = createPlaying();
    host->setChunk (effect, header (0, 128));
    EXPECT_EQ (host->getChunk (effect), header (0, 128));
    EXPECT_TRUE (host->processBlock (effect, { pedalDown (0) }).empty());
}

TEST_F (MalformedStateTest, ShortColumnsFillOnlyTheirStoredCells)
{
    auto* effect = createPlaying();
    // 64 cells per column: notes 0..63 stored, 64..127 left at their defaults.
    auto chunk = makeGridChunk ({ { { { 10, 80 }, { 63, 70 } } }, { { { 5, 50 } } } }, 64);
    host->setChunk (effect, chunk);
    EXPECT_EQ (host->getChunk (effect), chunk) << "kept as given";

    const auto sent = host->processBlock (effect, { pedalDown (0) });
    ASSERT_EQ (sent.size(), 2u);
    EXPECT_EQ (sent[0].note(), 10);
    EXPECT_EQ (sent[1].note(), 63);
}

TEST_F (MalformedStateTest, LongColumnsAreKeptWholeAndPlayTheirFirst128Cells)
{
    auto* effect = createPlaying();
    auto chunk = makeGridChunk ({ { { { 1, 90 }, { 127, 90 }, { 200, 90 } } } }, 256);
    host->setChunk (effect, chunk);

    EXPECT_EQ (host->getChunk (effect), chunk);
    const auto sent = host->processBlock (effect, { pedalDown (0) });
    ASSERT_EQ (sent.size(), 2u);
    EXPECT_EQ (sent[0].note(), 1);
    EXPECT_EQ (sent[1].note(), 127);
}

TEST_F (MalformedStateTest, OnBytesOtherThanOneStillMeanOn)
{
    auto* effect = createPlaying();
    auto chunk = makeGridChunk ({ cMajor });
    chunk[8 + 60 * 8] = 5;
    chunk[8 + 64 * 8 + 1] = 0xAB;  // a byte without meaning
    host->setChunk (effect, chunk);

    EXPECT_EQ (host->processBlock (effect, { pedalDown (0) }).size(), 3u);

    // Saved as it came, the bytes without meaning included.
    EXPECT_EQ (host->getChunk (effect), chunk);
}

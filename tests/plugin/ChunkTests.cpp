// The state the host saves and restores through effGetChunk and effSetChunk.

#include "tests/plugin/PluginFixture.h"

#include <chrono>
#include <thread>

using ChunkTest = PluginTest;

namespace
{
const ChordColumn odd { { { 0, 1 }, { 127, 127 }, { 61, 300 }, { 33, -5 } } };
}

TEST_F (ChunkTest, NothingToSaveBeforeAnyStateOrEditor)
{
    auto* effect = host->createInstance();
    void* data = reinterpret_cast<void*> (0x1);
    EXPECT_EQ (host->dispatch (effect, effGetChunk, 0, 0, &data), 0);
    EXPECT_EQ (data, nullptr);
}

TEST_F (ChunkTest, RestoredStateComesBackUnchangedWhileNoEditorIsOpen)
{
    auto* effect = host->createInstance();
    const auto chunk = makeGridChunk ({ cMajor, odd, {} });
    host->setChunk (effect, chunk);

    EXPECT_EQ (host->getChunk (effect), chunk);
    EXPECT_EQ (host->getChunk (effect), chunk) << "asking twice gives the same again";
}

TEST_F (ChunkTest, AGridOfThreeColumnsSaves3080Bytes)
{
    auto* effect = host->createInstance();
    const auto chunk = makeGridChunk ({ cMajor, odd, cMajor });
    host->setChunk (effect, chunk);

    const auto saved = host->getChunk (effect);
    EXPECT_EQ (saved.size(), 3080u);
    EXPECT_EQ (readInt32 (saved, 0), 3);
    EXPECT_EQ (readInt32 (saved, 4), 128);
    EXPECT_EQ (saved, chunk);
}

TEST_F (ChunkTest, GridSurvivesEditorCloseAndReopen)
{
    auto* effect = host->createInstance();
    const auto chunk = makeGridChunk ({ odd, cMajor, odd });
    host->setChunk (effect, chunk);

    for (int cycle = 0; cycle < 3; ++cycle)
    {
        host->dispatch (effect, effEditGetRect, 0, 0, nullptr);
        EXPECT_EQ (host->getChunk (effect), chunk) << "open, cycle " << cycle;
        host->dispatch (effect, effEditClose);
        EXPECT_EQ (host->getChunk (effect), chunk) << "closed, cycle " << cycle;
    }
}

TEST_F (ChunkTest, EmptyChunkOnlyDropsThePendingOne)
{
    auto* effect = host->createInstance();
    const auto chunk = makeGridChunk ({ cMajor });
    host->setChunk (effect, chunk);

    EXPECT_EQ (host->dispatch (effect, effSetChunk, 0, 0, nullptr), 0);
    uint8_t byte = 0;
    EXPECT_EQ (host->dispatch (effect, effSetChunk, 0, 0, &byte), 0);
    EXPECT_EQ (host->getChunk (effect), chunk);
}

TEST_F (ChunkTest, ChunkStaysReadableWhenThePlugInWasNeverOpened)
{
    auto* effect = host->createInstance();
    const auto chunk = makeGridChunk ({ cMajor, odd });
    host->setChunk (effect, chunk);

    void* data = nullptr;
    const auto size = host->dispatch (effect, effGetChunk, 0, 0, &data);
    ASSERT_EQ (size, (VstIntPtr) chunk.size());

    std::this_thread::sleep_for (std::chrono::milliseconds (2200));
    EXPECT_TRUE (std::equal (chunk.begin(), chunk.end(), static_cast<const uint8_t*> (data)));
}

TEST_F (ChunkTest, HostHandingBackThePlugInsOwnChunkRestoresItUnchanged)
{
    // Hosts do this for undo, A/B comparison and duplicating an instance. A grid this large is
    // handed out in memory of its own, so reading it after it was freed would fault.
    auto* effect = host->createInstance();
    std::vector<ChordColumn> columns (4096, cMajor);
    columns[4095] = odd;
    const auto chunk = makeGridChunk (columns);
    host->setChunk (effect, chunk);

    void* data = nullptr;
    const auto size = host->dispatch (effect, effGetChunk, 0, 0, &data);
    ASSERT_EQ (size, (VstIntPtr) chunk.size());
    EXPECT_EQ (host->dispatch (effect, effSetChunk, 0, size, data), 0);

    EXPECT_EQ (host->getChunk (effect), chunk);
}

// What a host gets when it asks for an instance, and the record it then reads.

#include "tests/plugin/PluginFixture.h"

#include <cstring>

using CreationTest = PluginTest;

TEST_F (CreationTest, HostThatAnswersVersionZeroGetsNoInstance)
{
    host->versionAnswer = 0;
    EXPECT_EQ (host->createInstance(), nullptr);

    const auto asked = host->requests();
    ASSERT_EQ (asked.size(), 1u);
    EXPECT_EQ (asked[0].opcode, audioMasterVersion);
    EXPECT_EQ (asked[0].effect, nullptr);
}

TEST_F (CreationTest, EntryWithoutHostCallbackGivesNoInstance)
{
    EXPECT_EQ (library->callEntry (nullptr), nullptr);
}

TEST_F (CreationTest, RecordDescribesAnInstrumentWithMidiAndChunks)
{
    host->versionAnswer = 2300;
    auto* effect = host->createInstance();
    ASSERT_NE (effect, nullptr);

    EXPECT_EQ (effect->magic, 0x56737450);
    EXPECT_EQ (effect->flags, 0x131);
    EXPECT_EQ (effect->numInputs, 2);
    EXPECT_EQ (effect->numOutputs, 2);
    EXPECT_EQ (effect->numPrograms, 0);
    EXPECT_EQ (effect->numParams, 0);
    EXPECT_EQ (effect->initialDelay, 0);
    EXPECT_EQ (effect->uniqueID, 0x44474534);
    EXPECT_EQ (effect->version, 1);
    EXPECT_EQ (effect->ioRatio, 1.0f);
    EXPECT_EQ (effect->user, nullptr);
    EXPECT_EQ (effect->resvd1, 0);
    EXPECT_EQ (effect->resvd2, 0);
    EXPECT_EQ (effect->realQualities, 0);
    EXPECT_EQ (effect->offQualities, 0);
    EXPECT_EQ (effect->processDoubleReplacing, nullptr);
    EXPECT_NE (effect->object, nullptr);

    const char zeros[sizeof (effect->future)] = {};
    EXPECT_EQ (std::memcmp (effect->future, zeros, sizeof (zeros)), 0);

    for (auto* fn : { (void*) effect->dispatcher, (void*) effect->process, (void*) effect->processReplacing,
                      (void*) effect->setParameter, (void*) effect->getParameter })
        EXPECT_NE (fn, nullptr);
}

TEST_F (CreationTest, ConstructionAsksTheHostForMidi)
{
    auto* effect = host->createInstance();
    const auto wishes = host->requestsWithOpcode (audioMasterWantMidi);
    ASSERT_EQ (wishes.size(), 1u);
    EXPECT_EQ (wishes[0].effect, effect);
    EXPECT_EQ (wishes[0].value, 1);
}

TEST_F (CreationTest, TwoInstancesAreIndependentRecords)
{
    auto* first = host->createInstance();
    auto* second = host->createInstance();
    ASSERT_NE (first, nullptr);
    ASSERT_NE (second, nullptr);
    EXPECT_NE (first, second);
    EXPECT_NE (first->object, second->object);
}

TEST_F (CreationTest, OlderHostsFindTheSameEntryUnderMain)
{
    host->versionAnswer = 1;
    auto* effect = host->createInstance ("main");
    ASSERT_NE (effect, nullptr);
    EXPECT_EQ (effect->magic, 0x56737450);
    EXPECT_EQ (effect->uniqueID, 0x44474534);
}

TEST_F (CreationTest, CloseAnswersOne)
{
    auto* effect = host->createInstance();
    EXPECT_EQ (host->close (effect), 1);
}

TEST_F (CreationTest, ClosingOneInstanceLeavesTheOtherWorking)
{
    auto* first = createPlaying();
    auto* second = createPlaying();
    host->close (first);

    char name[65] = {};
    EXPECT_EQ (host->dispatch (second, effGetEffectName, 0, 0, name), 1);
    EXPECT_STREQ (name, "Corvadel");
    host->processBlock (second, { pedalDown (0), pedalUp (10) });
}

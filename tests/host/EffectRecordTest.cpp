#include "tests/host/ProbeEffect.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <new>

namespace
{

// Each flag setter and the record bit it owns.
struct FlagSetter
{
    const char* name;
    void (*set) (AudioEffectX&, bool);
    VstInt32 bit;
};

const FlagSetter kFlagSetters[] = {
    { "hasClip", [] (AudioEffectX& e, bool s) { e.hasClip (s); }, effFlagsHasClip },
    { "hasVu", [] (AudioEffectX& e, bool s) { e.hasVu (s); }, effFlagsHasVu },
    { "canMono", [] (AudioEffectX& e, bool s) { e.canMono (s); }, effFlagsCanMono },
    { "canProcessReplacing", [] (AudioEffectX& e, bool s) { e.canProcessReplacing (s); }, effFlagsCanReplacing },
    { "programsAreChunks", [] (AudioEffectX& e, bool s) { e.programsAreChunks (s); }, effFlagsProgramChunks },
    { "isSynth", [] (AudioEffectX& e, bool s) { e.isSynth (s); }, effFlagsIsSynth },
    { "noTail", [] (AudioEffectX& e, bool s) { e.noTail (s); }, effFlagsNoSoundInStop },
    { "wantAsyncOperation", [] (AudioEffectX& e, bool s) { e.wantAsyncOperation (s); }, effFlagsExtIsAsync },
    { "hasExternalBuffer", [] (AudioEffectX& e, bool s) { e.hasExternalBuffer (s); }, effFlagsExtHasBuffer },
};
} // namespace

TEST (EffectRecordLayout, MagicIsStoredAsTheBytesOfVstP)
{
    BareEffect effect;
    const unsigned char expected[] = { 0x50, 0x74, 0x73, 0x56 };
    EXPECT_EQ (std::memcmp (&effect.getAeffect()->magic, expected, sizeof (expected)), 0);
}

TEST (EffectConstructor, FillsTheRecordWithTheDocumentedDefaults)
{
    BareEffect effect (nullptr, 3, 5);
    const AEffect& record = *effect.getAeffect();

    EXPECT_EQ (record.magic, 0x56737450);
    EXPECT_EQ (record.numPrograms, 3);
    EXPECT_EQ (record.numParams, 5);
    EXPECT_EQ (record.numInputs, 1);
    EXPECT_EQ (record.numOutputs, 2);
    EXPECT_EQ (record.flags, 0);
    EXPECT_EQ (record.resvd1, 0);
    EXPECT_EQ (record.resvd2, 0);
    EXPECT_EQ (record.initialDelay, 0);
    EXPECT_EQ (record.realQualities, 0);
    EXPECT_EQ (record.offQualities, 0);
    EXPECT_EQ (record.ioRatio, 1.0f);
    EXPECT_EQ (record.object, static_cast<void*> (static_cast<AudioEffect*> (&effect)));
    EXPECT_EQ (record.user, nullptr);
    EXPECT_EQ (record.uniqueID, 0x4E6F4566);
    EXPECT_EQ (record.version, 1);
    EXPECT_EQ (record.processDoubleReplacing, nullptr);
    EXPECT_TRUE (allBytesZero (record.future, sizeof (record.future)));
}

TEST (EffectConstructor, LeavesNoGarbageInTheRecordsPaddingOrReservedBytes)
{
    // Build into memory full of junk so that anything the constructor forgets shows up.
    alignas (BareEffect) unsigned char storage[sizeof (BareEffect)];
    std::memset (storage, 0xA5, sizeof (storage));
    auto* effect = new (storage) BareEffect (nullptr, 0, 0);
    const AEffect& record = *effect->getAeffect();

    EXPECT_TRUE (allBytesZero (record.future, sizeof (record.future)));
    EXPECT_EQ (record.user, nullptr);
    EXPECT_EQ (record.resvd1, 0);
    EXPECT_EQ (record.resvd2, 0);
    EXPECT_EQ (record.processDoubleReplacing, nullptr);
    // A 64-bit record has alignment gaps after magic and after flags.
    const auto* bytes = reinterpret_cast<const unsigned char*> (&record);
    if (sizeof (void*) == 8)
    {
        EXPECT_TRUE (allBytesZero (bytes + 4, 4));
        EXPECT_TRUE (allBytesZero (bytes + 60, 4));
    }

    effect->~BareEffect();
}

TEST (EffectConstructor, SetsTheObjectsOwnSettings)
{
    BareEffect effect (nullptr, 4, 2);

    EXPECT_EQ (effect.getSampleRate(), 44100.0f);
    EXPECT_EQ (effect.getBlockSize(), 1024);
    EXPECT_EQ (effect.getProgram(), 0);
    EXPECT_EQ (effect.getEditor(), nullptr);
}

TEST (EffectConstructor, GivesEveryObjectItsOwnRecord)
{
    BareEffect first;
    BareEffect second;

    EXPECT_NE (first.getAeffect(), second.getAeffect());
    EXPECT_NE (first.getAeffect()->object, second.getAeffect()->object);
}

TEST (EffectSetup, SettersWriteTheirRecordFields)
{
    BareEffect effect;
    effect.setUniqueID (0x44474534);
    effect.setNumInputs (2);
    effect.setNumOutputs (6);
    effect.setInitialDelay (128);
    effect.setRealtimeQualities (7);
    effect.setOfflineQualities (9);

    const AEffect& record = *effect.getAeffect();
    EXPECT_EQ (record.uniqueID, 0x44474534);
    EXPECT_EQ (record.numInputs, 2);
    EXPECT_EQ (record.numOutputs, 6);
    EXPECT_EQ (record.initialDelay, 128);
    EXPECT_EQ (record.realQualities, 7);
    EXPECT_EQ (record.offQualities, 9);
}

TEST (EffectSetup, SampleRateAndBlockSizeAreStored)
{
    BareEffect effect;
    effect.setSampleRate (96000.0f);
    effect.setBlockSize (64);

    EXPECT_EQ (effect.getSampleRate(), 96000.0f);
    EXPECT_EQ (effect.getBlockSize(), 64);
}

TEST (EffectSetup, ProgramNumberIsKeptByTheBase)
{
    BareEffect effect (nullptr, 10, 0);
    effect.setProgram (7);
    EXPECT_EQ (effect.getProgram(), 7);
}

TEST (EffectFlags, EachSetterSetsOnlyItsOwnBit)
{
    for (const FlagSetter& setter : kFlagSetters)
    {
        BareEffect effect;
        setter.set (effect, true);
        EXPECT_EQ (effect.getAeffect()->flags, setter.bit) << setter.name;
    }
}

TEST (EffectFlags, EachSetterClearsOnlyItsOwnBit)
{
    for (const FlagSetter& setter : kFlagSetters)
    {
        BareEffect effect;
        effect.getAeffect()->flags = -1;
        setter.set (effect, false);
        EXPECT_EQ (effect.getAeffect()->flags, ~setter.bit) << setter.name;
    }
}

TEST (EffectFlags, SettingTwiceAndClearingOnceLeavesTheBitClear)
{
    BareEffect effect;
    effect.isSynth (true);
    effect.canProcessReplacing (true);
    effect.isSynth (true);
    effect.isSynth (false);

    EXPECT_EQ (effect.getAeffect()->flags, effFlagsCanReplacing);
}

TEST (EffectFlags, PlugCategoryFollowsTheSynthFlag)
{
    BareEffect effect;
    EXPECT_EQ (effect.getPlugCategory(), kPlugCategUnknown);

    effect.isSynth (true);
    EXPECT_EQ (effect.getPlugCategory(), kPlugCategSynth);

    effect.isSynth (false);
    EXPECT_EQ (effect.getPlugCategory(), kPlugCategUnknown);
}

// The speaker arrangement tools: allocation sized by channel count, copying of single
// speakers, and matching one arrangement to another through the virtual operations.
#include "tests/host/ProbeEffect.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace
{
static_assert (sizeof (VstSpeakerProperties) == 112, "speaker records are 112 bytes for every host");
static_assert (offsetof (VstSpeakerArrangement, speakers) == 8, "speakers follow type and count");

// Arrangements as a host would build them, sized for their own channel count.
class ArrangementHolder
{
public:
    explicit ArrangementHolder (VstInt32 channels)
        : arrangement (static_cast<VstSpeakerArrangement*> (std::calloc (1, sizeFor (channels))))
    {
        arrangement->numChannels = channels;
    }
    ~ArrangementHolder() { std::free (arrangement); }

    ArrangementHolder (const ArrangementHolder&) = delete;
    ArrangementHolder& operator= (const ArrangementHolder&) = delete;

    VstSpeakerArrangement* get() { return arrangement; }
    VstSpeakerProperties& speaker (VstInt32 channel) { return arrangement->speakers[channel]; }

private:
    // Never below the declared record, so that the compiler sees every field in bounds.
    static size_t sizeFor (VstInt32 channels)
    {
        const size_t exact = offsetof (VstSpeakerArrangement, speakers)
                             + sizeof (VstSpeakerProperties) * static_cast<size_t> (channels);
        return exact > sizeof (VstSpeakerArrangement) ? exact : sizeof (VstSpeakerArrangement);
    }

    VstSpeakerArrangement* arrangement;
};

// Frees whatever the tools leave in the slot.
struct ArrangementSlot
{
    ~ArrangementSlot() { std::free (pointer); }
    VstSpeakerArrangement* pointer = nullptr;
};

VstSpeakerProperties namedSpeaker (const char* name, float azimuth, VstInt32 type)
{
    VstSpeakerProperties speaker {};
    speaker.azimuth = azimuth;
    speaker.elevation = azimuth / 2;
    speaker.radius = 1.5f;
    speaker.reserved = -3.0f;
    std::strcpy (speaker.name, name);
    speaker.type = type;
    for (size_t i = 0; i < sizeof (speaker.future); ++i)
        speaker.future[i] = static_cast<char> (i + 1);
    return speaker;
}

void expectSameSpeaker (const VstSpeakerProperties& actual, const VstSpeakerProperties& expected)
{
    EXPECT_STREQ (actual.name, expected.name);
    EXPECT_EQ (actual.type, expected.type);
    EXPECT_EQ (actual.azimuth, expected.azimuth);
    EXPECT_EQ (actual.elevation, expected.elevation);
    EXPECT_EQ (actual.radius, expected.radius);
    EXPECT_EQ (actual.reserved, expected.reserved);
    EXPECT_EQ (std::memcmp (actual.future, expected.future, sizeof (actual.future)), 0);
}

} // namespace

TEST (AllocateArrangement, GivesAZeroedArrangementWithTheChannelCount)
{
    BareEffect effect;
    ArrangementSlot slot;

    ASSERT_TRUE (effect.allocateArrangement (&slot.pointer, 12));

    ASSERT_NE (slot.pointer, nullptr);
    EXPECT_EQ (slot.pointer->numChannels, 12);
    EXPECT_EQ (slot.pointer->type, 0);
    EXPECT_TRUE (allBytesZero (slot.pointer->speakers, 12 * sizeof (VstSpeakerProperties)));
}

TEST (AllocateArrangement, ReplacesAnArrangementAlreadyInTheSlot)
{
    BareEffect effect;
    ArrangementSlot slot;
    ASSERT_TRUE (effect.allocateArrangement (&slot.pointer, 2));
    slot.pointer->type = 5;

    ASSERT_TRUE (effect.allocateArrangement (&slot.pointer, 3));

    EXPECT_EQ (slot.pointer->numChannels, 3);
    EXPECT_EQ (slot.pointer->type, 0);
}

TEST (AllocateArrangement, AcceptsNoChannels)
{
    BareEffect effect;
    ArrangementSlot slot;

    ASSERT_TRUE (effect.allocateArrangement (&slot.pointer, 0));
    EXPECT_EQ (slot.pointer->numChannels, 0);
}

TEST (AllocateArrangement, RefusesImpossibleRequests)
{
    BareEffect effect;
    ArrangementSlot slot;

    EXPECT_FALSE (effect.allocateArrangement (&slot.pointer, -1));
    EXPECT_FALSE (effect.allocateArrangement (nullptr, 2));
    EXPECT_EQ (slot.pointer, nullptr);
}

TEST (DeallocateArrangement, FreesAndEmptiesTheSlot)
{
    BareEffect effect;
    ArrangementSlot slot;
    ASSERT_TRUE (effect.allocateArrangement (&slot.pointer, 2));

    EXPECT_TRUE (effect.deallocateArrangement (&slot.pointer));
    EXPECT_EQ (slot.pointer, nullptr);
}

TEST (DeallocateArrangement, AnEmptySlotIsFine)
{
    BareEffect effect;
    VstSpeakerArrangement* empty = nullptr;

    EXPECT_TRUE (effect.deallocateArrangement (&empty));
    EXPECT_EQ (empty, nullptr);
}

TEST (DeallocateArrangement, NoSlotIsRefused)
{
    BareEffect effect;
    EXPECT_FALSE (effect.deallocateArrangement (nullptr));
}

TEST (CopySpeaker, CopiesEveryField)
{
    BareEffect effect;
    VstSpeakerProperties from = namedSpeaker ("Left Surround", 0.75f, 4);
    VstSpeakerProperties to = namedSpeaker ("A much longer old name", -1.0f, 9);

    ASSERT_TRUE (effect.copySpeaker (&to, &from));
    expectSameSpeaker (to, from);
}

TEST (CopySpeaker, RefusesNullOnEitherSide)
{
    BareEffect effect;
    VstSpeakerProperties speaker = namedSpeaker ("C", 0.0f, 1);
    const VstSpeakerProperties before = speaker;

    EXPECT_FALSE (effect.copySpeaker (nullptr, &speaker));
    EXPECT_FALSE (effect.copySpeaker (&speaker, nullptr));
    EXPECT_EQ (std::memcmp (&speaker, &before, sizeof (speaker)), 0);
}

TEST (CopySpeaker, AnUnterminatedNameIsCutInsideTheField)
{
    BareEffect effect;
    VstSpeakerProperties from = namedSpeaker ("", 0.0f, 1);
    std::memset (from.name, 'x', sizeof (from.name));
    VstSpeakerProperties to {};
    std::memset (&to, 0x7F, sizeof (to));

    ASSERT_TRUE (effect.copySpeaker (&to, &from));

    EXPECT_EQ (std::strlen (to.name), sizeof (to.name) - 1);
    EXPECT_EQ (to.type, from.type);
}

TEST (MatchArrangement, CopiesTypeCountAndEverySpeaker)
{
    BareEffect effect;
    ArrangementHolder from (10);
    from.get()->type = 7;
    for (VstInt32 channel = 0; channel < 10; ++channel)
        from.speaker (channel) = namedSpeaker (channel % 2 ? "R" : "L", channel * 0.1f, channel);
    ArrangementSlot to;
    ASSERT_TRUE (effect.allocateArrangement (&to.pointer, 1));

    ASSERT_TRUE (effect.matchArrangement (&to.pointer, from.get()));

    EXPECT_EQ (to.pointer->type, 7);
    ASSERT_EQ (to.pointer->numChannels, 10);
    for (VstInt32 channel = 0; channel < 10; ++channel)
        expectSameSpeaker (to.pointer->speakers[channel], from.speaker (channel));
}

TEST (MatchArrangement, NoSourceIsRefusedAndTheTargetKept)
{
    BareEffect effect;
    ArrangementSlot to;
    ASSERT_TRUE (effect.allocateArrangement (&to.pointer, 2));
    VstSpeakerArrangement* before = to.pointer;

    EXPECT_FALSE (effect.matchArrangement (&to.pointer, nullptr));
    EXPECT_EQ (to.pointer, before);
}

TEST (MatchArrangement, GoesThroughTheVirtualOperationsInOrder)
{
    ProbeEffect effect;
    ArrangementHolder from (3);
    ArrangementSlot to;

    ASSERT_TRUE (effect.matchArrangement (&to.pointer, from.get()));

    ASSERT_NE (to.pointer, nullptr);
    EXPECT_EQ (effect.calls, (Calls { call ("deallocateArrangement", &to.pointer),
                                      call ("allocateArrangement", &to.pointer, 3),
                                      call ("copySpeaker", &to.pointer->speakers[0], &from.speaker (0)),
                                      call ("copySpeaker", &to.pointer->speakers[1], &from.speaker (1)),
                                      call ("copySpeaker", &to.pointer->speakers[2], &from.speaker (2)) }));
}

TEST (MatchArrangement, StopsAtTheFirstSpeakerThatFails)
{
    ProbeEffect effect;
    effect.copySpeakerRefusesCall = 1;
    ArrangementHolder from (4);
    ArrangementSlot to;

    EXPECT_FALSE (effect.matchArrangement (&to.pointer, from.get()));
    EXPECT_EQ (effect.calls.size(), 4u); // deallocate, allocate, two speakers
}

TEST (MatchArrangement, FailsWhenAllocationFails)
{
    ProbeEffect effect;
    effect.answers["allocateArrangement"] = 0;
    ArrangementHolder from (2);
    ArrangementSlot to;

    EXPECT_FALSE (effect.matchArrangement (&to.pointer, from.get()));
    EXPECT_EQ (effect.calls.size(), 2u); // no speaker copied
}

TEST (MatchArrangement, FailsWhenReleasingTheOldTargetFails)
{
    ProbeEffect effect;
    effect.answers["deallocateArrangement"] = 0;
    ArrangementHolder from (2);
    ArrangementSlot to;

    EXPECT_FALSE (effect.matchArrangement (&to.pointer, from.get()));
    EXPECT_EQ (effect.calls, (Calls { call ("deallocateArrangement", &to.pointer) }));
}

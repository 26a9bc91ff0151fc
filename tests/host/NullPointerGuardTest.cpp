// A host that passes null where a request needs a buffer, a chunk or an event list gets the
// neutral answer, and no operation, base or override, gets to see the null.
#include "tests/host/ProbeEffect.h"

#include <gtest/gtest.h>

namespace
{
struct GuardedRequest
{
    VstInt32 opcode;
    const char* operation;
};

// The operations answer something non-zero here, so a request that slips past the guard shows
// in its answer as well as in the calls.
const GuardedRequest kGuardedRequests[] = {
    { effSetProgramName, "setProgramName" },
    { effGetProgramName, "getProgramName" },
    { effGetParamLabel, "getParameterLabel" },
    { effGetParamDisplay, "getParameterDisplay" },
    { effGetParamName, "getParameterName" },
    { effGetChunk, "getChunk" },
    { effSetChunk, "setChunk" },
    { effProcessEvents, "processEvents" },
    { effString2Parameter, "string2parameter" },
    { effGetProgramNameIndexed, "getProgramNameIndexed" },
    { effGetEffectName, "getEffectName" },
    { effGetErrorText, "getErrorText" },
    { effGetVendorString, "getVendorString" },
    { effGetProductString, "getProductString" },
    { effCanDo, "canDo" },
    { effShellGetNextPlugin, "getNextShellPlugin" },
};

ProbeEffect& answeringEverything (ProbeEffect& effect)
{
    for (const GuardedRequest& request : kGuardedRequests)
        effect.answers[request.operation] = 1;
    effect.answers["getSpeakerArrangement"] = 1;
    return effect;
}
} // namespace

TEST (NullPointerGuards, RequestsWithANullPointerAnswerZeroAndCallNothing)
{
    ProbeEffect effect;
    answeringEverything (effect);

    for (const GuardedRequest& request : kGuardedRequests)
    {
        EXPECT_EQ (effect.dispatcher (request.opcode, 1, 64, nullptr, 0.0f), 0) << request.operation;
        EXPECT_TRUE (effect.calls.empty()) << request.operation;
    }
}

TEST (NullPointerGuards, TheSameRequestsWithAPointerStillGetThrough)
{
    ProbeEffect effect;
    answeringEverything (effect);
    char buffer[256] = {};

    for (const GuardedRequest& request : kGuardedRequests)
    {
        effect.calls.clear();
        effect.dispatcher (request.opcode, 1, 64, buffer, 0.0f);
        ASSERT_EQ (effect.calls.size(), 1u) << request.operation;
        EXPECT_EQ (effect.calls[0].rfind (request.operation, 0), 0u) << effect.calls[0];
    }
}

TEST (NullPointerGuards, TheBaseEffectSurvivesNullBuffers)
{
    // Without the guard the base would write its empty string through the null pointer.
    BareEffect effect;

    for (const GuardedRequest& request : kGuardedRequests)
        EXPECT_EQ (effect.dispatcher (request.opcode, 0, 0, nullptr, 0.0f), 0) << request.operation;
}

TEST (NullPointerGuards, SpeakerArrangementWithANullInputSlotWritesNothing)
{
    ProbeEffect effect;
    answeringEverything (effect);
    VstSpeakerArrangement arrangement {};
    VstSpeakerArrangement* output = &arrangement;

    EXPECT_EQ (effect.dispatcher (effGetSpeakerArrangement, 0, 0, &output, 0.0f), 0);

    EXPECT_EQ (output, &arrangement);
    EXPECT_TRUE (effect.calls.empty());
}

TEST (NullPointerGuards, SpeakerArrangementWithANullOutputSlotWritesNothing)
{
    ProbeEffect effect;
    answeringEverything (effect);
    VstSpeakerArrangement arrangement {};
    VstSpeakerArrangement* input = &arrangement;

    EXPECT_EQ (effect.dispatcher (effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&input), nullptr, 0.0f), 0);

    EXPECT_EQ (input, &arrangement);
    EXPECT_TRUE (effect.calls.empty());
}

TEST (NullPointerGuards, SpeakerArrangementWithBothSlotsNullIsRefused)
{
    BareEffect effect;
    EXPECT_EQ (effect.dispatcher (effGetSpeakerArrangement, 0, 0, nullptr, 0.0f), 0);
}

TEST (NullPointerGuards, RequestsThatOnlyPassThePointerOnAreNotGuarded)
{
    // These hand the pointer to the operation without it being written by the base, and a
    // derived class may give null a meaning.
    ProbeEffect effect;

    effect.dispatcher (effGetInputProperties, 2, 0, nullptr, 0.0f);
    effect.dispatcher (effVendorSpecific, 1, 2, nullptr, 0.0f);
    effect.dispatcher (effBeginLoadBank, 0, 0, nullptr, 0.0f);

    EXPECT_EQ (effect.calls, (Calls { call ("getInputProperties", 2, static_cast<VstPinProperties*> (nullptr)),
                                      call ("vendorSpecific", 1, VstIntPtr (2), static_cast<void*> (nullptr), 0.0f),
                                      call ("beginLoadBank", static_cast<VstPatchChunkInfo*> (nullptr)) }));
}

TEST (NullPointerGuards, AGuardedRequestThroughTheRecordIsStoppedToo)
{
    ProbeEffect effect;
    answeringEverything (effect);
    AEffect* record = effect.getAeffect();

    EXPECT_EQ (record->dispatcher (record, effGetParamName, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ (record->dispatcher (record, effCanDo, 0, 0, nullptr, 0.0f), 0);
    EXPECT_TRUE (effect.calls.empty());
}

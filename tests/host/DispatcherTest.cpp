// The basic requests, opcodes 0 to 24: which operation each reaches, with which arguments, and
// what the host gets back.
#include "tests/host/ProbeEffect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace
{
struct DispatchCase
{
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    Calls expectedCalls;
    VstIntPtr expectedAnswer;
};

class BasicDispatch : public ::testing::Test
{
protected:
    VstIntPtr dispatch (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                        float opt = 0.0f)
    {
        return effect.dispatcher (opcode, index, value, ptr, opt);
    }

    void expectCase (const DispatchCase& c)
    {
        effect.calls.clear();
        EXPECT_EQ (dispatch (c.opcode, c.index, c.value, c.ptr, c.opt), c.expectedAnswer) << "opcode " << c.opcode;
        EXPECT_EQ (effect.calls, c.expectedCalls) << "opcode " << c.opcode;
    }

    ProbeEffect effect { nullptr, 5, 3 };
    char text[80] = "untouched";
};
} // namespace

TEST_F (BasicDispatch, EachOpcodeReachesItsOperationWithItsArguments)
{
    void* chunk = nullptr;
    int setChunkData = 0;

    const DispatchCase cases[] = {
        { effOpen, 7, 11, nullptr, 0.25f, { call ("open") }, 0 },
        { effClose, 7, 11, nullptr, 0.25f, { call ("close") }, 0 },
        { effSetProgram, 7, 2, nullptr, 0.25f, { call ("setProgram", 2) }, 0 },
        { effGetProgram, 7, 11, nullptr, 0.25f, { call ("getProgram") }, 2 }, // set two rows up
        { effSetProgramName, 7, 11, text, 0.25f, { call ("setProgramName", text) }, 0 },
        { effGetProgramName, 7, 11, text, 0.25f, { call ("getProgramName", text) }, 0 },
        { effGetParamLabel, 7, 11, text, 0.25f, { call ("getParameterLabel", 7, text) }, 0 },
        { effGetParamDisplay, 7, 11, text, 0.25f, { call ("getParameterDisplay", 7, text) }, 0 },
        { effGetParamName, 7, 11, text, 0.25f, { call ("getParameterName", 7, text) }, 0 },
        { effGetVu, 7, 11, nullptr, 0.25f, { call ("getVu") }, 0 },
        { effSetSampleRate, 7, 11, nullptr, 22050.0f, { call ("setSampleRate", 22050.0f) }, 0 },
        { effSetBlockSize, 7, 11, nullptr, 0.25f, { call ("setBlockSize", 11) }, 0 },
        { effMainsChanged, 7, 0, nullptr, 0.25f, { call ("suspend") }, 0 },
        { effMainsChanged, 7, 1, nullptr, 0.25f, { call ("resume") }, 0 },
        { effGetChunk, 0, 11, &chunk, 0.25f, { call ("getChunk", static_cast<void**> (&chunk), false) }, 0 },
        { effSetChunk, 0, 11, &setChunkData, 0.25f, { call ("setChunk", static_cast<void*> (&setChunkData), 11, false) }, 0 },
    };

    for (const DispatchCase& c : cases)
        expectCase (c);
}

TEST_F (BasicDispatch, RequestsWithoutAnOperationAnswerTheirFixedValue)
{
    for (VstInt32 opcode : { effEditGetRect, effEditOpen, effEditClose, effEditDraw, effEditMouse, effEditKey,
                             effEditIdle, effEditTop, effEditSleep })
        expectCase ({ opcode, 1, 2, text, 3.0f, {}, 0 });

    expectCase ({ effIdentify, 0, 0, nullptr, 0.0f, {}, 0x4E764566 });
}

TEST_F (BasicDispatch, MainsChangedResumesForAnyNonZeroValue)
{
    dispatch (effMainsChanged, 0, 2);
    dispatch (effMainsChanged, 0, -1);
    dispatch (effMainsChanged, 0, 0);

    EXPECT_EQ (effect.calls, (Calls { call ("resume"), call ("resume"), call ("suspend") }));
}

TEST_F (BasicDispatch, SetProgramIgnoresValuesAtOrAboveTheProgramCount)
{
    dispatch (effSetProgram, 0, 5);
    dispatch (effSetProgram, 0, 6);
    dispatch (effSetProgram, 0, 4);

    EXPECT_EQ (effect.calls, (Calls { call ("setProgram", 4) }));
    EXPECT_EQ (effect.getProgram(), 4);
}

TEST_F (BasicDispatch, SetProgramLetsNegativeValuesThrough)
{
    ProbeEffect noPrograms (nullptr, 0, 0);

    noPrograms.dispatcher (effSetProgram, 0, 0, nullptr, 0.0f);
    noPrograms.dispatcher (effSetProgram, 0, -3, nullptr, 0.0f);

    EXPECT_EQ (noPrograms.calls, (Calls { call ("setProgram", -3) }));
}

TEST_F (BasicDispatch, ValueAnswersArePassedBackAsTheyAre)
{
    effect.answers["getProgram"] = 42;
    effect.answers["getChunk"] = 4096;
    effect.answers["setChunk"] = -77;
    void* chunk = nullptr;

    EXPECT_EQ (dispatch (effGetProgram), 42);
    EXPECT_EQ (dispatch (effGetChunk, 0, 0, &chunk), 4096);
    EXPECT_EQ (dispatch (effSetChunk, 0, 10, &chunk), -77);
}

TEST_F (BasicDispatch, ChunkRequestsTakeThePresetFlagFromTheIndex)
{
    void* chunk = nullptr;
    char data[4] = {};

    dispatch (effGetChunk, 1, 0, &chunk);
    dispatch (effSetChunk, -2, 4, data);

    EXPECT_EQ (effect.calls, (Calls { call ("getChunk", static_cast<void**> (&chunk), true),
                                      call ("setChunk", static_cast<void*> (data), 4, true) }));
}

TEST_F (BasicDispatch, BaseChunkAnswersLeaveTheHostsPointerAlone)
{
    int hostsOwn = 0;
    void* chunk = &hostsOwn;

    EXPECT_EQ (dispatch (effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ (chunk, &hostsOwn);
}

TEST_F (BasicDispatch, VuIsScaledTo32767AndTruncatedTowardZero)
{
    const struct
    {
        float vu;
        VstIntPtr expected;
    } cases[] = {
        { 0.0f, 0 },
        { 0.5f, 16383 },
        { -0.5f, -16383 },
        { 1.0f, 32767 },
        { 0.99999994f, 32766 },
        { -0.99999994f, -32766 },
        { 2.0f, 65534 },
    };

    for (const auto& c : cases)
    {
        effect.floatAnswers["getVu"] = c.vu;
        EXPECT_EQ (dispatch (effGetVu), c.expected) << c.vu;
    }
}

TEST_F (BasicDispatch, VuBeyondTheIntegerRangeSaturatesInsteadOfMisbehaving)
{
    effect.floatAnswers["getVu"] = 1.0e10f;
    EXPECT_EQ (dispatch (effGetVu), std::numeric_limits<VstInt32>::max());

    effect.floatAnswers["getVu"] = -1.0e10f;
    EXPECT_EQ (dispatch (effGetVu), std::numeric_limits<VstInt32>::min());

    effect.floatAnswers["getVu"] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ (dispatch (effGetVu), 0);
}

TEST_F (BasicDispatch, SampleRateAndBlockSizeRequestsAreStored)
{
    BareEffect bare;

    bare.dispatcher (effSetSampleRate, 0, 0, nullptr, 48000.0f);
    bare.dispatcher (effSetBlockSize, 0, 333, nullptr, 0.0f);

    EXPECT_EQ (bare.getSampleRate(), 48000.0f);
    EXPECT_EQ (bare.getBlockSize(), 333);
}

TEST_F (BasicDispatch, BaseTextRequestsWriteAnEmptyString)
{
    BareEffect bare;

    for (VstInt32 opcode : { effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName })
    {
        std::strcpy (text, "stale");
        EXPECT_EQ (bare.dispatcher (opcode, 3, 0, text, 0.0f), 0) << opcode;
        EXPECT_STREQ (text, "") << opcode;
    }
}

TEST_F (BasicDispatch, BaseProgramFollowsTheHostsSetProgram)
{
    BareEffect bare (nullptr, 8, 0);

    bare.dispatcher (effSetProgram, 0, 6, nullptr, 0.0f);

    EXPECT_EQ (bare.dispatcher (effGetProgram, 0, 0, nullptr, 0.0f), 6);
}

TEST_F (BasicDispatch, UnknownOpcodesAnswerZeroAndCallNothing)
{
    for (VstInt32 opcode : { 77, 78, 1000, -1, std::numeric_limits<VstInt32>::min(), std::numeric_limits<VstInt32>::max() })
        expectCase ({ opcode, 1, 1, text, 1.0f, {}, 0 });
}

TEST_F (BasicDispatch, TheBasicDispatcherAloneAnswersZeroToExtendedOpcodes)
{
    // Called past AudioEffectX's table: the extended requests mean nothing to the base.
    for (VstInt32 opcode : { effProcessEvents, effCanBeAutomated, effGetNumProgramCategories, effGetVstVersion,
                             effGetCurrentMidiProgram, effBeginLoadProgram })
    {
        EXPECT_EQ (effect.AudioEffect::dispatcher (opcode, 0, 12345, text, 0.0f), 0) << opcode;
    }
    EXPECT_TRUE (effect.calls.empty());
}

// The extended requests, opcodes 25 to 76: which operation each reaches, with which arguments,
// how its result reaches the host, and the base answers.
#include "tests/host/ProbeEffect.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
class ExtendedDispatch : public ::testing::Test
{
protected:
    VstIntPtr dispatch (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                        float opt = 0.0f)
    {
        return effect.dispatcher (opcode, index, value, ptr, opt);
    }

    template <typename T>
    static T* fake (char* storage)
    {
        return reinterpret_cast<T*> (storage);
    }

    ProbeEffect effect;
    char text[80] = "untouched";
    char buffer[64] = {};
};

struct Expectation
{
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    std::string expectedCall;
};
} // namespace

TEST_F (ExtendedDispatch, EachOpcodeReachesItsOperationWithItsArguments)
{
    auto* events = fake<VstEvents> (buffer);
    auto* pin = fake<VstPinProperties> (buffer);
    auto* files = fake<VstAudioFile> (buffer);
    auto* task = fake<VstOfflineTask> (buffer);
    auto* io = fake<VstVariableIo> (buffer);
    auto* parameterProperties = fake<VstParameterProperties> (buffer);
    auto* midiName = fake<MidiProgramName> (buffer);
    auto* midiCategory = fake<MidiProgramCategory> (buffer);
    auto* keyName = fake<MidiKeyName> (buffer);
    auto* patch = fake<VstPatchChunkInfo> (buffer);
    VstSpeakerArrangement inputArrangement {};
    VstSpeakerArrangement outputArrangement {};
    VstSpeakerArrangement* inputSlot = &inputArrangement;
    VstSpeakerArrangement* outputSlot = &outputArrangement;
    const VstIntPtr inputAsValue = reinterpret_cast<VstIntPtr> (&inputArrangement);
    const VstIntPtr inputSlotAsValue = reinterpret_cast<VstIntPtr> (&inputSlot);
    void* vendorPtr = buffer + 3;

    const Expectation expectations[] = {
        { effProcessEvents, 7, 11, events, 0.5f, call ("processEvents", events) },
        { effCanBeAutomated, 7, 11, nullptr, 0.5f, call ("canParameterBeAutomated", 7) },
        { effString2Parameter, 7, 11, text, 0.5f, call ("string2parameter", 7, text) },
        { effGetNumProgramCategories, 7, 11, nullptr, 0.5f, call ("getNumCategories") },
        { effGetProgramNameIndexed, 7, 11, text, 0.5f, call ("getProgramNameIndexed", 11, 7, text) },
        { effCopyProgram, 7, 11, nullptr, 0.5f, call ("copyProgram", 7) },
        { effConnectInput, 7, 11, nullptr, 0.5f, call ("inputConnected", 7, true) },
        { effConnectOutput, 7, 0, nullptr, 0.5f, call ("outputConnected", 7, false) },
        { effGetInputProperties, 7, 11, pin, 0.5f, call ("getInputProperties", 7, pin) },
        { effGetOutputProperties, 7, 11, pin, 0.5f, call ("getOutputProperties", 7, pin) },
        { effGetPlugCategory, 7, 11, nullptr, 0.5f, call ("getPlugCategory") },
        { effGetCurrentPosition, 7, 11, nullptr, 0.5f, call ("reportCurrentPosition") },
        { effGetDestinationBuffer, 7, 11, nullptr, 0.5f, call ("reportDestinationBuffer") },
        { effOfflineNotify, 7, 11, files, 0.5f, call ("offlineNotify", files, 11, true) },
        { effOfflineNotify, 0, 11, files, 0.5f, call ("offlineNotify", files, 11, false) },
        { effOfflinePrepare, 7, 11, task, 0.5f, call ("offlinePrepare", task, 11) },
        { effOfflineRun, 7, 11, task, 0.5f, call ("offlineRun", task, 11) },
        { effProcessVarIo, 7, 11, io, 0.5f, call ("processVariableIo", io) },
        { effSetSpeakerArrangement, 7, inputAsValue, &outputArrangement, 0.5f,
          call ("setSpeakerArrangement", &inputArrangement, &outputArrangement) },
        { effSetBlockSizeAndSampleRate, 7, 512, nullptr, 48000.0f, call ("setBlockSizeAndSampleRate", 512, 48000.0f) },
        { effSetBypass, 7, 11, nullptr, 0.5f, call ("setBypass", true) },
        { effSetBypass, 7, 0, nullptr, 0.5f, call ("setBypass", false) },
        { effGetEffectName, 7, 11, text, 0.5f, call ("getEffectName", text) },
        { effGetErrorText, 7, 11, text, 0.5f, call ("getErrorText", text) },
        { effGetVendorString, 7, 11, text, 0.5f, call ("getVendorString", text) },
        { effGetProductString, 7, 11, text, 0.5f, call ("getProductString", text) },
        { effGetVendorVersion, 7, 11, nullptr, 0.5f, call ("getVendorVersion") },
        { effVendorSpecific, 7, 11, vendorPtr, 0.5f, call ("vendorSpecific", 7, VstIntPtr (11), vendorPtr, 0.5f) },
        { effCanDo, 7, 11, text, 0.5f, call ("canDo", text) },
        { effGetTailSize, 7, 11, nullptr, 0.5f, call ("getGetTailSize") },
        { effIdle, 7, 11, nullptr, 0.5f, call ("fxIdle") },
        { effGetIcon, 7, 11, nullptr, 0.5f, call ("getIcon") },
        { effSetViewPosition, 7, 11, nullptr, 0.5f, call ("setViewPosition", 7, 11) },
        { effGetParameterProperties, 7, 11, parameterProperties, 0.5f,
          call ("getParameterProperties", 7, parameterProperties) },
        { effKeysRequired, 7, 11, nullptr, 0.5f, call ("keysRequired") },
        { effGetVstVersion, 7, 11, nullptr, 0.5f, call ("getVstVersion") },
        { effGetMidiProgramName, 7, 11, midiName, 0.5f, call ("getMidiProgramName", 7, midiName) },
        { effGetCurrentMidiProgram, 7, 11, midiName, 0.5f, call ("getCurrentMidiProgram", 7, midiName) },
        { effGetMidiProgramCategory, 7, 11, midiCategory, 0.5f, call ("getMidiProgramCategory", 7, midiCategory) },
        { effHasMidiProgramsChanged, 7, 11, nullptr, 0.5f, call ("hasMidiProgramsChanged", 7) },
        { effGetMidiKeyName, 7, 11, keyName, 0.5f, call ("getMidiKeyName", 7, keyName) },
        { effBeginSetProgram, 7, 11, nullptr, 0.5f, call ("beginSetProgram") },
        { effEndSetProgram, 7, 11, nullptr, 0.5f, call ("endSetProgram") },
        { effGetSpeakerArrangement, 7, inputSlotAsValue, &outputSlot, 0.5f,
          call ("getSpeakerArrangement", &inputSlot, &outputSlot) },
        { effShellGetNextPlugin, 7, 11, text, 0.5f, call ("getNextShellPlugin", text) },
        { effStartProcess, 7, 11, nullptr, 0.5f, call ("startProcess") },
        { effStopProcess, 7, 11, nullptr, 0.5f, call ("stopProcess") },
        { effSetTotalSampleToProcess, 7, 11, nullptr, 0.5f, call ("setTotalSampleToProcess", 11) },
        { effSetPanLaw, 7, 11, nullptr, 0.5f, call ("setPanLaw", 11, 0.5f) },
        { effBeginLoadBank, 7, 11, patch, 0.5f, call ("beginLoadBank", patch) },
        { effBeginLoadProgram, 7, 11, patch, 0.5f, call ("beginLoadProgram", patch) },
    };

    for (const Expectation& e : expectations)
    {
        effect.calls.clear();
        dispatch (e.opcode, e.index, e.value, e.ptr, e.opt);
        EXPECT_EQ (effect.calls, Calls { e.expectedCall }) << "opcode " << e.opcode;
    }
}

TEST_F (ExtendedDispatch, BaseAnswersAreTheDocumentedDefaults)
{
    BareEffect bare;
    auto* pin = fake<VstPinProperties> (buffer);
    auto* midiName = fake<MidiProgramName> (buffer);

    const struct
    {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        void* ptr;
        VstIntPtr expected;
    } cases[] = {
        { effProcessEvents, 0, 0, buffer, 0 },
        { effCanBeAutomated, 3, 0, nullptr, 1 },
        { effCanBeAutomated, 100000, 0, nullptr, 1 },
        { effCanBeAutomated, -1, 0, nullptr, 1 },
        { effString2Parameter, 0, 0, text, 0 },
        { effGetNumProgramCategories, 0, 0, nullptr, 1 },
        { effGetProgramNameIndexed, 0, 0, text, 0 },
        { effCopyProgram, 1, 0, nullptr, 0 },
        { effConnectInput, 1, 0, nullptr, 1 },
        { effConnectInput, 1, 1, nullptr, 1 },
        { effConnectOutput, 1, 0, nullptr, 1 },
        { effConnectOutput, 1, 1, nullptr, 1 },
        { effGetInputProperties, 0, 0, pin, 0 },
        { effGetOutputProperties, 0, 0, pin, 0 },
        { effGetPlugCategory, 0, 0, nullptr, kPlugCategUnknown },
        { effGetCurrentPosition, 0, 0, nullptr, 0 },
        { effGetDestinationBuffer, 0, 0, nullptr, 0 },
        { effOfflineNotify, 1, 2, buffer, 0 },
        { effOfflinePrepare, 0, 2, buffer, 0 },
        { effOfflineRun, 0, 2, buffer, 0 },
        { effProcessVarIo, 0, 0, buffer, 0 },
        { effSetSpeakerArrangement, 0, 0, buffer, 0 },
        { effSetBlockSizeAndSampleRate, 0, 512, nullptr, 1 },
        { effSetBypass, 0, 1, nullptr, 0 },
        { effGetEffectName, 0, 0, text, 0 },
        { effGetErrorText, 0, 0, text, 0 },
        { effGetVendorString, 0, 0, text, 0 },
        { effGetProductString, 0, 0, text, 0 },
        { effGetVendorVersion, 0, 0, nullptr, 0 },
        { effVendorSpecific, 1, 2, buffer, 0 },
        { effCanDo, 0, 0, text, 0 },
        { effGetTailSize, 0, 0, nullptr, 0 },
        { effIdle, 0, 0, nullptr, 0 },
        { effGetIcon, 0, 0, nullptr, 0 },
        { effSetViewPosition, 10, 20, nullptr, 0 },
        { effGetParameterProperties, 0, 0, buffer, 0 },
        { effKeysRequired, 0, 0, nullptr, 1 },
        { effGetVstVersion, 0, 0, nullptr, 2300 },
        { effEditKeyDown, 65, 1, nullptr, 0 },
        { effEditKeyUp, 65, 1, nullptr, 0 },
        { effSetEditKnobMode, 2, 0, nullptr, 0 },
        { effGetMidiProgramName, 0, 0, midiName, 0 },
        { effGetCurrentMidiProgram, 0, 0, midiName, -1 },
        { effGetMidiProgramCategory, 0, 0, buffer, 0 },
        { effHasMidiProgramsChanged, 0, 0, nullptr, 0 },
        { effGetMidiKeyName, 0, 0, buffer, 0 },
        { effBeginSetProgram, 0, 0, nullptr, 0 },
        { effEndSetProgram, 0, 0, nullptr, 0 },
        { effShellGetNextPlugin, 0, 0, text, 0 },
        { effStartProcess, 0, 0, nullptr, 0 },
        { effStopProcess, 0, 0, nullptr, 0 },
        { effSetTotalSampleToProcess, 0, 12345, nullptr, 12345 },
        { effSetTotalSampleToProcess, 0, -8, nullptr, -8 },
        { effSetPanLaw, 0, 1, nullptr, 0 },
        { effBeginLoadBank, 0, 0, buffer, 0 },
        { effBeginLoadProgram, 0, 0, buffer, 0 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (bare.dispatcher (c.opcode, c.index, c.value, c.ptr, 0.0f), c.expected) << "opcode " << c.opcode;
}

TEST_F (ExtendedDispatch, BaseTextRequestsLeaveTheBufferAlone)
{
    BareEffect bare;

    for (VstInt32 opcode : { effString2Parameter, effGetProgramNameIndexed, effGetEffectName, effGetErrorText,
                             effGetVendorString, effGetProductString, effCanDo, effShellGetNextPlugin })
    {
        bare.dispatcher (opcode, 0, 0, text, 0.0f);
        EXPECT_STREQ (text, "untouched") << "opcode " << opcode;
    }
}

TEST_F (ExtendedDispatch, TrueResultsBecomeOne)
{
    const struct
    {
        const char* operation;
        VstInt32 opcode;
        void* ptr;
    } boolRequests[] = {
        { "canParameterBeAutomated", effCanBeAutomated, nullptr },
        { "string2parameter", effString2Parameter, text },
        { "getProgramNameIndexed", effGetProgramNameIndexed, text },
        { "copyProgram", effCopyProgram, nullptr },
        { "getInputProperties", effGetInputProperties, buffer },
        { "getOutputProperties", effGetOutputProperties, buffer },
        { "offlineNotify", effOfflineNotify, buffer },
        { "offlinePrepare", effOfflinePrepare, buffer },
        { "offlineRun", effOfflineRun, buffer },
        { "processVariableIo", effProcessVarIo, buffer },
        { "setSpeakerArrangement", effSetSpeakerArrangement, buffer },
        { "setBypass", effSetBypass, nullptr },
        { "getEffectName", effGetEffectName, text },
        { "getErrorText", effGetErrorText, text },
        { "getVendorString", effGetVendorString, text },
        { "getProductString", effGetProductString, text },
        { "setViewPosition", effSetViewPosition, nullptr },
        { "getParameterProperties", effGetParameterProperties, buffer },
        { "hasMidiProgramsChanged", effHasMidiProgramsChanged, nullptr },
        { "getMidiKeyName", effGetMidiKeyName, buffer },
        { "beginSetProgram", effBeginSetProgram, nullptr },
        { "endSetProgram", effEndSetProgram, nullptr },
        { "setPanLaw", effSetPanLaw, nullptr },
    };

    for (const auto& request : boolRequests)
    {
        effect.answers[request.operation] = 1;
        EXPECT_EQ (dispatch (request.opcode, 1, 1, request.ptr), 1) << request.operation;
        effect.answers[request.operation] = 0;
        EXPECT_EQ (dispatch (request.opcode, 1, 1, request.ptr), 0) << request.operation;
    }
}

TEST_F (ExtendedDispatch, ValueResultsArePassedBackAsTheyAre)
{
    const struct
    {
        const char* operation;
        VstInt32 opcode;
        void* ptr;
        VstIntPtr answer;
    } valueRequests[] = {
        { "processEvents", effProcessEvents, buffer, 1 },
        { "getNumCategories", effGetNumProgramCategories, nullptr, 9 },
        { "getPlugCategory", effGetPlugCategory, nullptr, 7 },
        { "reportCurrentPosition", effGetCurrentPosition, nullptr, 4410 },
        { "getVendorVersion", effGetVendorVersion, nullptr, 1000 },
        { "vendorSpecific", effVendorSpecific, buffer, -5 },
        { "canDo", effCanDo, text, -1 },
        { "getGetTailSize", effGetTailSize, nullptr, 2048 },
        { "fxIdle", effIdle, nullptr, 1 },
        { "getVstVersion", effGetVstVersion, nullptr, 2400 },
        { "getMidiProgramName", effGetMidiProgramName, buffer, 128 },
        { "getCurrentMidiProgram", effGetCurrentMidiProgram, buffer, 12 },
        { "getMidiProgramCategory", effGetMidiProgramCategory, buffer, 16 },
        { "getNextShellPlugin", effShellGetNextPlugin, text, 0x41424344 },
        { "startProcess", effStartProcess, nullptr, 3 },
        { "stopProcess", effStopProcess, nullptr, 4 },
        { "setTotalSampleToProcess", effSetTotalSampleToProcess, nullptr, 99 },
        { "beginLoadBank", effBeginLoadBank, buffer, -1 },
        { "beginLoadProgram", effBeginLoadProgram, buffer, 1 },
    };

    for (const auto& request : valueRequests)
    {
        effect.answers[request.operation] = request.answer;
        EXPECT_EQ (dispatch (request.opcode, 0, 0, request.ptr), request.answer) << request.operation;
    }
}

TEST_F (ExtendedDispatch, PointerResultsArePassedBackWhole)
{
    float destination[16] = {};
    effect.answers["reportDestinationBuffer"] = reinterpret_cast<VstIntPtr> (destination);
    effect.answers["getIcon"] = reinterpret_cast<VstIntPtr> (buffer);

    EXPECT_EQ (dispatch (effGetDestinationBuffer), reinterpret_cast<VstIntPtr> (destination));
    EXPECT_EQ (dispatch (effGetIcon), reinterpret_cast<VstIntPtr> (buffer));
}

TEST_F (ExtendedDispatch, KeysRequiredIsAnsweredTheOtherWayRound)
{
    effect.answers["keysRequired"] = 1;
    EXPECT_EQ (dispatch (effKeysRequired), 0);

    effect.answers["keysRequired"] = 0;
    EXPECT_EQ (dispatch (effKeysRequired), 1);
}

TEST_F (ExtendedDispatch, ConnectionAndSetupRequestsAnswerOneWhateverHappened)
{
    effect.answers["setBlockSizeAndSampleRate"] = 0;

    EXPECT_EQ (dispatch (effConnectInput, 3, 0), 1);
    EXPECT_EQ (dispatch (effConnectOutput, 3, 5), 1);
    EXPECT_EQ (dispatch (effSetBlockSizeAndSampleRate, 0, 64, nullptr, 8000.0f), 1);
    EXPECT_EQ (effect.calls, (Calls { call ("inputConnected", 3, false), call ("outputConnected", 3, true),
                                      call ("setBlockSizeAndSampleRate", 64, 8000.0f) }));
}

TEST_F (ExtendedDispatch, BlockSizeAndSampleRateAreStoredTogether)
{
    BareEffect bare;

    EXPECT_EQ (bare.dispatcher (effSetBlockSizeAndSampleRate, 0, 512, nullptr, 48000.0f), 1);

    EXPECT_EQ (bare.getBlockSize(), 512);
    EXPECT_EQ (bare.getSampleRate(), 48000.0f);
}

TEST_F (ExtendedDispatch, SpeakerArrangementRequestWritesNullIntoBothPointers)
{
    BareEffect bare;
    VstSpeakerArrangement someArrangement {};
    VstSpeakerArrangement* input = &someArrangement;
    VstSpeakerArrangement* output = &someArrangement;

    EXPECT_EQ (bare.dispatcher (effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&input), &output, 0.0f), 0);

    EXPECT_EQ (input, nullptr);
    EXPECT_EQ (output, nullptr);
}

TEST_F (ExtendedDispatch, PlugCategoryOfTheBaseFollowsTheSynthFlag)
{
    BareEffect bare;
    bare.isSynth (true);

    EXPECT_EQ (bare.dispatcher (effGetPlugCategory, 0, 0, nullptr, 0.0f), kPlugCategSynth);
}

TEST_F (ExtendedDispatch, BasicOpcodesStillReachTheBasicDispatcher)
{
    effect.answers["getProgram"] = 31;

    EXPECT_EQ (dispatch (effIdentify), 0x4E764566);
    EXPECT_EQ (dispatch (effGetProgram), 31);
    dispatch (effMainsChanged, 0, 1);

    EXPECT_EQ (effect.calls, (Calls { call ("getProgram"), call ("resume") }));
}

TEST_F (ExtendedDispatch, UnknownOpcodesAnswerZeroAndCallNothing)
{
    for (VstInt32 opcode : { 77, 1000, -1, -25 })
        EXPECT_EQ (dispatch (opcode, 1, 1, text, 1.0f), 0) << opcode;

    EXPECT_TRUE (effect.calls.empty());
}

TEST_F (ExtendedDispatch, PassesOnToTheBasicDispatcherWithoutReenteringTheOverride)
{
    // An override that hands everything to AudioEffectX: were the hand-over to the basic
    // dispatcher virtual, the override would be entered a second time.
    struct Overriding : BareEffect
    {
        VstIntPtr dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override
        {
            if (++entries > 1)
                return -999;
            const VstIntPtr answer = AudioEffectX::dispatcher (opcode, index, value, ptr, opt);
            --entries;
            return answer;
        }
        int entries = 0;
    } effect;

    EXPECT_EQ (effect.dispatcher (effIdentify, 0, 0, nullptr, 0.0f), 0x4E764566);
    EXPECT_EQ (effect.dispatcher (77, 0, 0, nullptr, 0.0f), 0);
}

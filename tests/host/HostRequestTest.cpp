// What the effect asks of the host: the exact request for each operation, how the host's answer
// becomes the result, and the answers when there is no host to ask.
#include "tests/host/FakeHost.h"
#include "tests/host/ProbeEffect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{
template <typename T>
VstIntPtr asValue (T* pointer)
{
    return reinterpret_cast<VstIntPtr> (pointer);
}

// Stand-ins for records that are only passed through.
char passThrough[64];
char otherPassThrough[64];
template <typename T>
T* record (char* storage = passThrough)
{
    return reinterpret_cast<T*> (storage);
}

VstTimeInfo hostTimeInfo {};
AEffect neighbourRecord {};
VstSpeakerArrangement hostArrangement {};
VstEvents outgoingEvents {};
char hostText[64] = "sizeWindow";

struct RequestCase
{
    const char* operation;
    std::function<VstIntPtr (ProbeEffect&)> make;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    VstIntPtr hostAnswer;
    VstIntPtr result;          // from hostAnswer
    VstIntPtr resultWithoutAnswer; // when the host answers 0, and when there is no host
};

// Operations without a result give 0 here; their request is what counts.
std::vector<RequestCase> allRequests()
{
    return {
        { "setParameterAutomated", [] (ProbeEffect& e) { e.setParameterAutomated (4, 0.25f); return VstIntPtr (0); },
          audioMasterAutomate, 4, 0, nullptr, 0.25f, 1, 0, 0 },
        { "getMasterVersion", [] (ProbeEffect& e) { return VstIntPtr (e.getMasterVersion()); },
          audioMasterVersion, 0, 0, nullptr, 0.0f, 2300, 2300, 1 },
        { "getCurrentUniqueId", [] (ProbeEffect& e) { return VstIntPtr (e.getCurrentUniqueId()); },
          audioMasterCurrentId, 0, 0, nullptr, 0.0f, 0x12345678, 0x12345678, 0 },
        { "masterIdle", [] (ProbeEffect& e) { e.masterIdle(); return VstIntPtr (0); },
          audioMasterIdle, 0, 0, nullptr, 0.0f, 1, 0, 0 },
        { "isInputConnected", [] (ProbeEffect& e) { return VstIntPtr (e.isInputConnected (2)); },
          audioMasterPinConnected, 2, 0, nullptr, 0.0f, 1, 0, 1 },
        { "isOutputConnected", [] (ProbeEffect& e) { return VstIntPtr (e.isOutputConnected (3)); },
          audioMasterPinConnected, 3, 1, nullptr, 0.0f, 1, 0, 1 },
        { "wantEvents", [] (ProbeEffect& e) { e.wantEvents (1); return VstIntPtr (0); },
          audioMasterWantMidi, 0, 1, nullptr, 0.0f, 1, 0, 0 },
        { "getTimeInfo", [] (ProbeEffect& e) { return asValue (e.getTimeInfo (0xEE00)); },
          audioMasterGetTime, 0, 0xEE00, nullptr, 0.0f, asValue (&hostTimeInfo), asValue (&hostTimeInfo), 0 },
        { "sendVstEventsToHost", [] (ProbeEffect& e) { return VstIntPtr (e.sendVstEventsToHost (&outgoingEvents)); },
          audioMasterProcessEvents, 0, 0, &outgoingEvents, 0.0f, 1, 1, 0 },
        { "tempoAt", [] (ProbeEffect& e) { return VstIntPtr (e.tempoAt (960)); },
          audioMasterTempoAt, 0, 960, nullptr, 0.0f, 1200000, 1200000, 0 },
        { "getNumAutomatableParameters", [] (ProbeEffect& e) { return VstIntPtr (e.getNumAutomatableParameters()); },
          audioMasterGetNumAutomatableParameters, 0, 0, nullptr, 0.0f, 12, 12, 0 },
        { "getParameterQuantization", [] (ProbeEffect& e) { return VstIntPtr (e.getParameterQuantization()); },
          audioMasterGetParameterQuantization, 0, 0, nullptr, 0.0f, 100, 100, 0 },
        { "ioChanged", [] (ProbeEffect& e) { return VstIntPtr (e.ioChanged()); },
          audioMasterIOChanged, 0, 0, nullptr, 0.0f, 5, 1, 0 },
        { "needIdle", [] (ProbeEffect& e) { return VstIntPtr (e.needIdle()); },
          audioMasterNeedIdle, 0, 0, nullptr, 0.0f, -1, 1, 0 },
        { "sizeWindow", [] (ProbeEffect& e) { return VstIntPtr (e.sizeWindow (640, 480)); },
          audioMasterSizeWindow, 640, 480, nullptr, 0.0f, 1, 1, 0 },
        { "updateSampleRate", [] (ProbeEffect& e) { return VstIntPtr (e.updateSampleRate()); },
          audioMasterGetSampleRate, 0, 0, nullptr, 0.0f, 96000, 96000, 44100 },
        { "updateBlockSize", [] (ProbeEffect& e) { return VstIntPtr (e.updateBlockSize()); },
          audioMasterGetBlockSize, 0, 0, nullptr, 0.0f, 256, 256, 1024 },
        { "getInputLatency", [] (ProbeEffect& e) { return VstIntPtr (e.getInputLatency()); },
          audioMasterGetInputLatency, 0, 0, nullptr, 0.0f, 64, 64, 0 },
        { "getOutputLatency", [] (ProbeEffect& e) { return VstIntPtr (e.getOutputLatency()); },
          audioMasterGetOutputLatency, 0, 0, nullptr, 0.0f, 128, 128, 0 },
        { "getPreviousPlug", [] (ProbeEffect& e) { return asValue (e.getPreviousPlug (5)); },
          audioMasterGetPreviousPlug, 0, 0, nullptr, 0.0f, asValue (&neighbourRecord), asValue (&neighbourRecord), 0 },
        { "getNextPlug", [] (ProbeEffect& e) { return asValue (e.getNextPlug (6)); },
          audioMasterGetNextPlug, 0, 0, nullptr, 0.0f, asValue (&neighbourRecord), asValue (&neighbourRecord), 0 },
        { "willProcessReplacing", [] (ProbeEffect& e) { return VstIntPtr (e.willProcessReplacing()); },
          audioMasterWillReplaceOrAccumulate, 0, 0, nullptr, 0.0f, 2, 2, 0 },
        { "getCurrentProcessLevel", [] (ProbeEffect& e) { return VstIntPtr (e.getCurrentProcessLevel()); },
          audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f, 4, 4, 0 },
        { "getAutomationState", [] (ProbeEffect& e) { return VstIntPtr (e.getAutomationState()); },
          audioMasterGetAutomationState, 0, 0, nullptr, 0.0f, 3, 3, 0 },
        { "offlineStart",
          [] (ProbeEffect& e) { return VstIntPtr (e.offlineStart (record<VstAudioFile>(), 3, 2)); },
          audioMasterOfflineStart, 2, 3, passThrough, 0.0f, 7, 1, 0 },
        { "offlineRead",
          [] (ProbeEffect& e) { return VstIntPtr (e.offlineRead (record<VstOfflineTask>(), 4, true)); },
          audioMasterOfflineRead, 1, 4, passThrough, 0.0f, 1, 1, 0 },
        { "offlineWrite", [] (ProbeEffect& e) { return VstIntPtr (e.offlineWrite (record<VstOfflineTask>(), 5)); },
          audioMasterOfflineWrite, 0, 5, passThrough, 0.0f, -2, 1, 0 },
        { "offlineGetCurrentPass", [] (ProbeEffect& e) { return VstIntPtr (e.offlineGetCurrentPass()); },
          audioMasterOfflineGetCurrentPass, 0, 0, nullptr, 0.0f, 7, 1, 0 },
        { "offlineGetCurrentMetaPass", [] (ProbeEffect& e) { return VstIntPtr (e.offlineGetCurrentMetaPass()); },
          audioMasterOfflineGetCurrentMetaPass, 0, 0, nullptr, 0.0f, -3, 1, 0 },
        { "setOutputSamplerate", [] (ProbeEffect& e) { e.setOutputSamplerate (88200.0f); return VstIntPtr (0); },
          audioMasterSetOutputSampleRate, 0, 0, nullptr, 88200.0f, 1, 0, 0 },
        { "getOutputSpeakerArrangement", [] (ProbeEffect& e) { return asValue (e.getOutputSpeakerArrangement()); },
          audioMasterGetOutputSpeakerArrangement, 0, 0, nullptr, 0.0f, asValue (&hostArrangement),
          asValue (&hostArrangement), 0 },
        { "getHostVendorString", [] (ProbeEffect& e) { return VstIntPtr (e.getHostVendorString (hostText)); },
          audioMasterGetVendorString, 0, 0, hostText, 0.0f, 1, 1, 0 },
        { "getHostProductString", [] (ProbeEffect& e) { return VstIntPtr (e.getHostProductString (hostText)); },
          audioMasterGetProductString, 0, 0, hostText, 0.0f, 1, 1, 0 },
        { "getHostVendorVersion", [] (ProbeEffect& e) { return VstIntPtr (e.getHostVendorVersion()); },
          audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f, 1100, 1100, 0 },
        { "hostVendorSpecific",
          [] (ProbeEffect& e) { return e.hostVendorSpecific (8, 9, otherPassThrough, 0.5f); },
          audioMasterVendorSpecific, 8, 9, otherPassThrough, 0.5f, -99, -99, 0 },
        { "canHostDo", [] (ProbeEffect& e) { return VstIntPtr (e.canHostDo (hostText)); },
          audioMasterCanDo, 0, 0, hostText, 0.0f, -1, 1, 0 },
        { "getHostLanguage", [] (ProbeEffect& e) { return VstIntPtr (e.getHostLanguage()); },
          audioMasterGetLanguage, 0, 0, nullptr, 0.0f, 2, 2, 0 },
        { "openWindow", [] (ProbeEffect& e) { return asValue (e.openWindow (record<VstWindow>())); },
          audioMasterOpenWindow, 0, 0, passThrough, 0.0f, asValue (otherPassThrough), asValue (otherPassThrough), 0 },
        { "closeWindow", [] (ProbeEffect& e) { return VstIntPtr (e.closeWindow (record<VstWindow>())); },
          audioMasterCloseWindow, 0, 0, passThrough, 0.0f, 1, 1, 0 },
        { "getDirectory", [] (ProbeEffect& e) { return asValue (e.getDirectory()); },
          audioMasterGetDirectory, 0, 0, nullptr, 0.0f, asValue (hostText), asValue (hostText), 0 },
        { "updateDisplay", [] (ProbeEffect& e) { return VstIntPtr (e.updateDisplay()); },
          audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f, 1, 1, 0 },
        { "beginEdit", [] (ProbeEffect& e) { return VstIntPtr (e.beginEdit (11)); },
          audioMasterBeginEdit, 11, 0, nullptr, 0.0f, 1, 1, 0 },
        { "endEdit", [] (ProbeEffect& e) { return VstIntPtr (e.endEdit (12)); },
          audioMasterEndEdit, 12, 0, nullptr, 0.0f, 1, 1, 0 },
        { "openFileSelector", [] (ProbeEffect& e) { return VstIntPtr (e.openFileSelector (record<VstFileSelect>())); },
          audioMasterOpenFileSelector, 0, 0, passThrough, 0.0f, 1, 1, 0 },
        { "getInputSpeakerArrangement", [] (ProbeEffect& e) { return asValue (e.getInputSpeakerArrangement()); },
          audioMasterGetInputSpeakerArrangement, 0, 0, nullptr, 0.0f, asValue (&hostArrangement),
          asValue (&hostArrangement), 0 },
    };
}

class HostRequests : public ::testing::Test
{
protected:
    FakeHost host;
    ProbeEffect effect { FakeHost::callback };

    const HostRequest& onlyRequest() const
    {
        EXPECT_EQ (host.requests.size(), 1u);
        return host.requests.front();
    }
};
} // namespace

TEST_F (HostRequests, EachOperationSendsItsOwnRequest)
{
    for (const RequestCase& c : allRequests())
    {
        FakeHost caseHost;
        ProbeEffect caseEffect (FakeHost::callback);
        caseHost.answer (c.opcode, c.hostAnswer);

        const VstIntPtr result = c.make (caseEffect);

        ASSERT_EQ (caseHost.requests.size(), 1u) << c.operation;
        const HostRequest& sent = caseHost.requests.front();
        EXPECT_EQ (sent.effect, caseEffect.getAeffect()) << c.operation;
        EXPECT_EQ (sent.opcode, c.opcode) << c.operation;
        EXPECT_EQ (sent.index, c.index) << c.operation;
        EXPECT_EQ (sent.value, c.value) << c.operation;
        EXPECT_EQ (sent.ptr, c.ptr) << c.operation;
        EXPECT_EQ (sent.opt, c.opt) << c.operation;
        EXPECT_EQ (result, c.result) << c.operation;
    }
}

TEST_F (HostRequests, AZeroAnswerGivesEachOperationsNeutralResult)
{
    for (const RequestCase& c : allRequests())
    {
        FakeHost caseHost;
        ProbeEffect caseEffect (FakeHost::callback);

        EXPECT_EQ (c.make (caseEffect), c.resultWithoutAnswer) << c.operation;
        EXPECT_EQ (caseHost.requests.size(), 1u) << c.operation;
    }
}

TEST_F (HostRequests, WithoutAHostNothingIsSentAndEachOperationGivesItsNoHostResult)
{
    for (const RequestCase& c : allRequests())
    {
        FakeHost bystander;
        bystander.answer (c.opcode, c.hostAnswer);
        ProbeEffect alone (nullptr);

        EXPECT_EQ (c.make (alone), c.resultWithoutAnswer) << c.operation;
        EXPECT_TRUE (bystander.requests.empty()) << c.operation;
    }
}

TEST_F (HostRequests, SetParameterAutomatedSetsTheParameterBeforeTellingTheHost)
{
    Calls seenByHost;
    host.onRequest = [&] (const HostRequest&) { seenByHost = effect.calls; };

    effect.setParameterAutomated (6, 0.5f);

    EXPECT_EQ (seenByHost, (Calls { call ("setParameter", 6, 0.5f) }));
    EXPECT_EQ (onlyRequest().opcode, audioMasterAutomate);
}

TEST_F (HostRequests, SetParameterAutomatedWithoutAHostStillSetsTheParameter)
{
    ProbeEffect alone (nullptr);

    alone.setParameterAutomated (2, 0.75f);

    EXPECT_EQ (alone.calls, (Calls { call ("setParameter", 2, 0.75f) }));
    EXPECT_TRUE (host.requests.empty());
}

TEST_F (HostRequests, MasterVersionIsTheHostsValueOrOneForZero)
{
    host.answer (audioMasterVersion, 0);
    EXPECT_EQ (effect.getMasterVersion(), 1);

    host.answer (audioMasterVersion, 2400);
    EXPECT_EQ (effect.getMasterVersion(), 2400);

    host.answer (audioMasterVersion, -1);
    EXPECT_EQ (effect.getMasterVersion(), -1);
}

TEST_F (HostRequests, CanHostDoTakesEveryNonZeroAnswerForYes)
{
    const struct
    {
        VstIntPtr answer;
        VstInt32 expected;
    } cases[] = { { -1, 1 }, { 1, 1 }, { 2, 1 }, { 0, 0 } };

    for (const auto& c : cases)
    {
        host.answer (audioMasterCanDo, c.answer);
        EXPECT_EQ (effect.canHostDo (hostText), c.expected) << c.answer;
    }
}

TEST_F (HostRequests, SendingEventsSucceedsOnlyForAnAnswerOfExactlyOne)
{
    const struct
    {
        VstIntPtr answer;
        bool expected;
    } cases[] = { { 1, true }, { 2, false }, { -1, false }, { 0, false } };

    for (const auto& c : cases)
    {
        host.answer (audioMasterProcessEvents, c.answer);
        EXPECT_EQ (effect.sendVstEventsToHost (&outgoingEvents), c.expected) << c.answer;
    }
}

TEST_F (HostRequests, UpdateSampleRateKeepsOnlyPositiveAnswers)
{
    host.answer (audioMasterGetSampleRate, 48000);
    EXPECT_EQ (effect.updateSampleRate(), 48000.0f);
    EXPECT_EQ (effect.getSampleRate(), 48000.0f);

    for (VstIntPtr refusal : { VstIntPtr (0), VstIntPtr (-1), VstIntPtr (-44100) })
    {
        host.answer (audioMasterGetSampleRate, refusal);
        EXPECT_EQ (effect.updateSampleRate(), 48000.0f) << refusal;
        EXPECT_EQ (effect.getSampleRate(), 48000.0f) << refusal;
    }
}

TEST_F (HostRequests, UpdateBlockSizeKeepsOnlyPositiveAnswers)
{
    host.answer (audioMasterGetBlockSize, 1);
    EXPECT_EQ (effect.updateBlockSize(), 1);
    EXPECT_EQ (effect.getBlockSize(), 1);

    for (VstIntPtr refusal : { VstIntPtr (0), VstIntPtr (-1) })
    {
        host.answer (audioMasterGetBlockSize, refusal);
        EXPECT_EQ (effect.updateBlockSize(), 1) << refusal;
        EXPECT_EQ (effect.getBlockSize(), 1) << refusal;
    }
}

TEST_F (HostRequests, NeighbourPlugRequestsNeverPassThePinOn)
{
    effect.getPreviousPlug (5);
    effect.getNextPlug (-3);

    ASSERT_EQ (host.requests.size(), 2u);
    EXPECT_EQ (host.requests[0].index, 0);
    EXPECT_EQ (host.requests[1].index, 0);
}

TEST_F (HostRequests, PinConnectionIsTrueOnlyWhenTheHostAnswersZero)
{
    host.answer (audioMasterPinConnected, 0);
    EXPECT_TRUE (effect.isOutputConnected (3));
    EXPECT_TRUE (effect.isInputConnected (0));

    host.answer (audioMasterPinConnected, 1);
    EXPECT_FALSE (effect.isOutputConnected (3));
    EXPECT_FALSE (effect.isInputConnected (0));
}

TEST_F (HostRequests, OfflinePassesAreOneForAnyNonZeroAnswer)
{
    for (VstIntPtr answer : { VstIntPtr (5), VstIntPtr (-1), VstIntPtr (1) })
    {
        host.answer (audioMasterOfflineGetCurrentPass, answer);
        host.answer (audioMasterOfflineGetCurrentMetaPass, answer);
        EXPECT_EQ (effect.offlineGetCurrentPass(), 1) << answer;
        EXPECT_EQ (effect.offlineGetCurrentMetaPass(), 1) << answer;
    }
}

TEST_F (HostRequests, OfflineReadSendsTheSourceFlagAsZeroOrOne)
{
    effect.offlineRead (record<VstOfflineTask>(), 0, false);
    effect.offlineRead (record<VstOfflineTask>(), 0, true);

    ASSERT_EQ (host.requests.size(), 2u);
    EXPECT_EQ (host.requests[0].index, 0);
    EXPECT_EQ (host.requests[1].index, 1);
}

TEST_F (HostRequests, OpenFileSelectorWithoutASelectionAsksNothing)
{
    host.answer (audioMasterOpenFileSelector, 1);

    EXPECT_FALSE (effect.openFileSelector (nullptr));
    EXPECT_TRUE (host.requests.empty());
}

TEST_F (HostRequests, TheHostFillsTheTextOfTheStringRequests)
{
    host.answer (audioMasterGetVendorString, 1);
    host.onRequest = [] (const HostRequest& request) { std::strcpy (static_cast<char*> (request.ptr), "Host Co"); };
    char vendor[64] = {};

    EXPECT_TRUE (effect.getHostVendorString (vendor));
    EXPECT_STREQ (vendor, "Host Co");
}

TEST_F (HostRequests, CallHostPassesTheRecordAndEveryArgument)
{
    host.answer (99, 1234);
    char payload[4] = {};

    EXPECT_EQ (effect.callHost (99, -4, 77, payload, 1.5f), 1234);

    const HostRequest& sent = onlyRequest();
    EXPECT_EQ (sent.effect, effect.getAeffect());
    EXPECT_EQ (sent.index, -4);
    EXPECT_EQ (sent.value, 77);
    EXPECT_EQ (sent.ptr, payload);
    EXPECT_EQ (sent.opt, 1.5f);
}

TEST_F (HostRequests, CallHostWithoutAHostAnswersZero)
{
    BareEffect alone (nullptr);
    host.answer (audioMasterVendorSpecific, 55);

    EXPECT_EQ (alone.callHost (audioMasterVendorSpecific, 1, 2, nullptr, 0.0f), 0);
    EXPECT_TRUE (host.requests.empty());
}

TEST_F (HostRequests, WholePointerWidthAnswersSurvive)
{
    // On a 64-bit build the host's pointer answers use all 64 bits.
    host.answer (audioMasterGetTime, asValue (&hostTimeInfo));
    host.answer (audioMasterVendorSpecific, asValue (&neighbourRecord));

    EXPECT_EQ (effect.getTimeInfo (0xEE00), &hostTimeInfo);
    EXPECT_EQ (effect.hostVendorSpecific (0, asValue (&hostArrangement), nullptr, 0.0f), asValue (&neighbourRecord));
    EXPECT_EQ (host.requests.back().value, asValue (&hostArrangement));
}

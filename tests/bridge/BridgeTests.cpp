// The bridge around a filter of the tests' own: what reaches the filter, what reaches the host,
// and the bridge's housekeeping, with the framework running in this process.

#include "bridge/JuceVSTWrapper.h"
#include "tests/engine/TestFilter.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
struct Request
{
    VstInt32 opcode, index;
    VstIntPtr value;
    float opt;
};

std::vector<Request> requests;
std::vector<VstMidiEvent> sentEvents;
VstTimeInfo* timeAnswer = nullptr;

VstIntPtr recordingHost (AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    requests.push_back ({ opcode, index, value, opt });

    if (opcode == audioMasterProcessEvents)
    {
        const auto* list = static_cast<const VstEvents*> (ptr);

        for (int i = 0; i < list->numEvents; ++i)
            sentEvents.push_back (*reinterpret_cast<const VstMidiEvent*> (list->events[i]));

        return 1;
    }

    return opcode == audioMasterGetTime ? (VstIntPtr) timeAnswer : 0;
}

class BridgeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        requests.clear();
        sentEvents.clear();
        timeAnswer = nullptr;
    }

    JuceVSTWrapper& makeBridge (FilterProperties properties = midiInAndOut())
    {
        filter = new TestFilter();
        filter->propertiesToAnnounce = properties;
        bridge = std::make_unique<JuceVSTWrapper> (&recordingHost, filter);
        return *bridge;
    }

    static FilterProperties midiInAndOut()
    {
        FilterProperties p;
        p.wantsMidiInput = true;
        p.producesMidiOutput = true;
        return p;
    }

    VstIntPtr dispatch (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        auto* effect = bridge->getAeffect();
        return effect->dispatcher (effect, opcode, index, value, ptr, opt);
    }

    void processBlock (int numSamples = 64)
    {
        std::vector<float> samples ((size_t) numSamples * 4);
        float* ins[2] = { samples.data(), samples.data() + numSamples };
        float* outs[2] = { samples.data() + 2 * numSamples, samples.data() + 3 * numSamples };
        bridge->getAeffect()->processReplacing (bridge->getAeffect(), ins, outs, numSamples);
    }

    void deliver (std::vector<VstMidiEvent> events)
    {
        std::vector<VstEvent*> pointers;

        for (auto& e : events)
            pointers.push_back (reinterpret_cast<VstEvent*> (&e));

        std::vector<uint8_t> list (offsetof (VstEvents, events) + sizeof (VstEvent*) * (pointers.size() + 2));
        auto* events_ = reinterpret_cast<VstEvents*> (list.data());
        events_->numEvents = (VstInt32) pointers.size();
        std::copy (pointers.begin(), pointers.end(), events_->events);
        dispatch (effProcessEvents, 0, 0, events_);
    }

    static VstMidiEvent midi (int delta, uint8_t b0, uint8_t b1 = 0, uint8_t b2 = 0)
    {
        VstMidiEvent e {};
        e.type = kVstMidiType;
        e.deltaFrames = delta;
        e.midiData[0] = (char) b0;
        e.midiData[1] = (char) b1;
        e.midiData[2] = (char) b2;
        return e;
    }

    static size_t count (VstInt32 opcode)
    {
        return (size_t) std::count_if (requests.begin(), requests.end(), [opcode] (const Request& r) { return r.opcode == opcode; });
    }

    TestFilter* filter = nullptr;
    std::unique_ptr<JuceVSTWrapper> bridge;
};
}

TEST_F (BridgeTest, FilterWithDefaultPropertiesIsAnEffectWithADerivedId)
{
    auto& b = makeBridge (FilterProperties());
    auto* effect = b.getAeffect();

    EXPECT_EQ (JuceVSTWrapper::deriveUniqueId ("abc", ""), 96354);
    EXPECT_EQ (effect->uniqueID, JuceVSTWrapper::deriveUniqueId ("Corvadel", "Vantrelle"));
    EXPECT_EQ (effect->flags, effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks);
    EXPECT_EQ (effect->numInputs, 2);
    EXPECT_EQ (effect->numOutputs, 2);
    EXPECT_EQ (effect->numParams, 3);
    EXPECT_EQ (dispatch (effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ (count (audioMasterWantMidi), 0u);

    std::string receive = "receiveVstEvents";
    EXPECT_EQ (dispatch (effCanDo, 0, 0, receive.data()), -1);
    std::string send = "sendVstMidiEvent";
    EXPECT_EQ (dispatch (effCanDo, 0, 0, send.data()), -1);

    // No editor: the size request stores nothing, the open request gets the base answer.
    ERect* rect = nullptr;
    EXPECT_EQ (dispatch (effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ (rect, nullptr);
    EXPECT_EQ (dispatch (effEditOpen, 0, 0, nullptr), 0);
}

TEST_F (BridgeTest, BlocksReachTheFilterAsViewsWithItsChannelsAndTheHostsSizes)
{
    FilterProperties p = midiInAndOut();
    p.numInputChannels = 1;
    p.numOutputChannels = 2;
    p.latencySamples = 64;
    makeBridge (p);

    EXPECT_EQ (bridge->getAeffect()->initialDelay, 64);
    EXPECT_EQ (bridge->getAeffect()->numInputs, 1);

    dispatch (effSetSampleRate, 0, 0, nullptr, 0.0f);
    dispatch (effSetBlockSize, 0, 333);
    processBlock (77);

    EXPECT_EQ (filter->prepareCount, 1) << "a block without a resume prepares first";
    EXPECT_EQ (filter->sampleRate, 44100.0) << "a sample rate of 0 falls back";
    EXPECT_EQ (filter->blockSize, 333);
    EXPECT_EQ (filter->lastInputChannels, 1);
    EXPECT_EQ (filter->lastOutputChannels, 2);
    EXPECT_EQ (filter->lastSampleCount, 77);
    EXPECT_FALSE (filter->lastAccumulate);

    bridge->getAeffect()->process (bridge->getAeffect(), nullptr, nullptr, 16);
    EXPECT_TRUE (filter->lastAccumulate);
    EXPECT_EQ (filter->lastInputChannels, 0) << "no channel arrays from the host: empty views, no crash";
    EXPECT_EQ (filter->prepareCount, 1);

    dispatch (effMainsChanged, 0, 0);
    EXPECT_EQ (filter->releaseCount, 1);
    processBlock();
    EXPECT_EQ (filter->prepareCount, 2);
}

TEST_F (BridgeTest, FilterThatKeepsItsInputEchoesTheHostsEvents)
{
    makeBridge();
    dispatch (effMainsChanged, 0, 1);
    deliver ({ midi (5, 0x90, 60, 100), midi (9, 0xC2, 7, 0x55), midi (2, 0xB0, 64, 127) });
    processBlock();

    ASSERT_EQ (sentEvents.size(), 3u);
    EXPECT_EQ (sentEvents[0].deltaFrames, 2);
    EXPECT_EQ (sentEvents[1].deltaFrames, 5);
    EXPECT_EQ ((uint8_t) sentEvents[2].midiData[0], 0xC2);

    for (const auto& e : sentEvents)
    {
        EXPECT_EQ (e.type, kVstMidiType);
        EXPECT_EQ (e.byteSize, 24);
        EXPECT_EQ (e.flags | e.noteLength | e.noteOffset | e.detune | e.noteOffVelocity, 0);
    }
}

TEST_F (BridgeTest, AShortMessageInAReusedRecordCarriesNoBytesOfTheOneBefore)
{
    makeBridge();
    dispatch (effMainsChanged, 0, 1);
    deliver ({ midi (0, 0x90, 60, 100) });
    processBlock();
    sentEvents.clear();

    deliver ({ midi (0, 0xC0, 5, 0) });
    processBlock();
    ASSERT_EQ (sentEvents.size(), 1u);
    EXPECT_EQ ((uint8_t) sentEvents[0].midiData[1], 5);
    EXPECT_EQ ((uint8_t) sentEvents[0].midiData[2], 0) << "not the velocity the record carried before";
    EXPECT_EQ ((uint8_t) sentEvents[0].midiData[3], 0);
}

TEST_F (BridgeTest, LongMessagesAreNotSentButTheListStillGoes)
{
    makeBridge();
    juce::MidiBuffer sysex;
    const uint8_t bytes[] = { 0xF0, 1, 2, 3, 4, 0xF7 };
    sysex.addEvent (bytes, 6, 0);
    filter->replacementMidi = &sysex;

    dispatch (effMainsChanged, 0, 1);
    requests.clear();
    processBlock();
    EXPECT_EQ (count (audioMasterProcessEvents), 1u);
    EXPECT_TRUE (sentEvents.empty());
}

TEST_F (BridgeTest, ManyOutputEventsGrowTheRecordsAndAllAreSent)
{
    makeBridge();
    juce::MidiBuffer many;

    for (int i = 0; i < 3000; ++i)
        many.addEvent (juce::MidiMessage::noteOn (1, i % 128, (juce::uint8) 1), i);

    filter->replacementMidi = &many;
    dispatch (effMainsChanged, 0, 1);
    processBlock();

    ASSERT_EQ (sentEvents.size(), 3000u);
    EXPECT_EQ (sentEvents[2999].deltaFrames, 2999);
}

TEST_F (BridgeTest, FilterWithoutMidiInputIgnoresDeliveries)
{
    FilterProperties p;
    p.producesMidiOutput = true;
    makeBridge (p);
    std::vector<uint8_t> empty (64, 0);
    EXPECT_EQ (dispatch (effProcessEvents, 0, 0, empty.data()), 0);
    deliver ({ midi (0, 0x90, 60, 100) });
    processBlock();
    EXPECT_TRUE (sentEvents.empty());
}

TEST_F (BridgeTest, ParameterChangesFromTheFilterAreAutomatedAtTheHost)
{
    makeBridge();
    filter->getParameterManager().setPlainValue (1, 10020.0f);

    ASSERT_EQ (count (audioMasterAutomate), 1u);
    const auto& automate = *std::find_if (requests.begin(), requests.end(), [] (const Request& r) { return r.opcode == audioMasterAutomate; });
    EXPECT_EQ (automate.index, 1);
    EXPECT_FLOAT_EQ (automate.opt, 0.5f);
    EXPECT_FLOAT_EQ (bridge->getAeffect()->getParameter (bridge->getAeffect(), 1), 0.5f);

    char name[16];
    dispatch (effGetParamName, 1, 0, name);
    EXPECT_STREQ (name, "Cutoff f");
}

TEST_F (BridgeTest, TransportPositionAsTheFilterSeesIt)
{
    makeBridge();
    PlayPositionInfo info;
    info.bpm = 77.0;
    EXPECT_FALSE (bridge->getPlayPosition (info)) << "no time information";
    EXPECT_EQ (info.bpm, 77.0);

    VstTimeInfo time {};
    timeAnswer = &time;
    EXPECT_FALSE (bridge->getPlayPosition (info)) << "a sample rate of 0 makes it unusable";

    time.sampleRate = 48000.0;
    time.samplePos = 96000.0;
    EXPECT_TRUE (bridge->getPlayPosition (info));
    EXPECT_EQ (info.timeInSeconds, 2.0);
    EXPECT_EQ (info.bpm, 0.0);
    EXPECT_EQ (info.timeSigNumerator, 4);
    EXPECT_EQ (info.frameRateCode, 99);
    EXPECT_FALSE (info.transportPlaying);

    const auto getTime = std::find_if (requests.begin(), requests.end(), [] (const Request& r) { return r.opcode == audioMasterGetTime; });
    ASSERT_NE (getTime, requests.end());
    EXPECT_EQ (getTime->value, 0xEE00);

    time.flags = kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid | kVstBarsValid | kVstSmpteValid | kVstTransportRecording;
    time.tempo = 133.0;
    time.timeSigNumerator = 7;
    time.timeSigDenominator = 8;
    time.ppqPos = 12.5;
    time.barStartPos = 10.5;
    time.smpteFrameRate = 1;
    time.smpteOffset = 200;
    EXPECT_TRUE (bridge->getPlayPosition (info));
    EXPECT_EQ (info.bpm, 133.0);
    EXPECT_EQ (info.timeSigNumerator, 7);
    EXPECT_EQ (info.timeSigDenominator, 8);
    EXPECT_EQ (info.ppqPosition, 12.5);
    EXPECT_EQ (info.ppqPositionOfLastBarStart, 10.5);
    EXPECT_EQ (info.frameRateCode, 1);
    EXPECT_DOUBLE_EQ (info.smpteOffsetSeconds, 200.0 / (25.0 * 80.0));
    EXPECT_TRUE (info.transportPlaying) << "recording counts as playing";
    EXPECT_TRUE (info.transportRecording);

    time.smpteFrameRate = 17;
    EXPECT_TRUE (bridge->getPlayPosition (info));
    EXPECT_EQ (info.frameRateCode, 17);
    EXPECT_EQ (info.smpteOffsetSeconds, 0.0) << "an unknown frame rate gives no offset rather than a guess";
}

TEST_F (BridgeTest, HandedOutChunkIsReleasedByTheFirstTickTwoSecondsLater)
{
    makeBridge();
    filter->addProgram ("One", { 1.0f, 2.0f, 3.0f });
    dispatch (effOpen);

    void* data = nullptr;
    ASSERT_GT (dispatch (effGetChunk, 0, 0, &data), 0);
    EXPECT_TRUE (bridge->isChunkPending());

    juce::MessageManager::getInstance()->runDispatchLoopUntil (600);
    EXPECT_TRUE (bridge->isChunkPending()) << "ticks before two seconds keep it";

    std::this_thread::sleep_for (std::chrono::milliseconds (1600));
    // An idle request lets due timers fire under the guard, which keeps the chunk.
    dispatch (effEditIdle);
    EXPECT_TRUE (bridge->isChunkPending());

    juce::MessageManager::getInstance()->runDispatchLoopUntil (400);
    EXPECT_FALSE (bridge->isChunkPending());
    bridge->dispatcher (effClose, 0, 0, nullptr, 0.0f);
}

#pragma once

#include "host/AudioEffectX.h"

#include <cstdio>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

// One recorded operation call as text, such as "getParameterDisplay(7, 0x7ffd...)". The tests
// build the expected text with the same function, so only names and argument values matter.
template <typename T>
std::string describeArgument (const T& argument)
{
    char text[64];
    if constexpr (std::is_same_v<T, bool>)
        return argument ? "true" : "false";
    else if constexpr (std::is_pointer_v<T> || std::is_null_pointer_v<T>)
        std::snprintf (text, sizeof (text), "%p", static_cast<const void*> (argument));
    else if constexpr (std::is_floating_point_v<T>)
        std::snprintf (text, sizeof (text), "%.9g", static_cast<double> (argument));
    else
        std::snprintf (text, sizeof (text), "%lld", static_cast<long long> (argument));
    return text;
}

template <typename... Arguments>
std::string call (const char* name, Arguments... arguments)
{
    std::string text = std::string (name) + "(";
    bool first = true;
    ((text += (first ? "" : ", ") + describeArgument (arguments), first = false), ...);
    return text + ")";
}

using Calls = std::vector<std::string>;

// The plainest complete effect: everything but process keeps its base behaviour.
class BareEffect : public AudioEffectX
{
public:
    explicit BareEffect (audioMasterCallback hostCallback = nullptr, VstInt32 programs = 0, VstInt32 params = 0)
        : AudioEffectX (hostCallback, programs, params)
    {
    }

    void process (float** inputs, float** outputs, VstInt32 sampleFrames) override {}

    using AudioEffect::callHost;
};

// An effect that writes down every virtual operation the dispatchers and tools reach, passes
// each on to the base so base behaviour stays visible, and answers instead of the base where a
// test sets an answer under the operation's name.
class ProbeEffect : public AudioEffectX
{
public:
    explicit ProbeEffect (audioMasterCallback hostCallback = nullptr, VstInt32 programs = 0, VstInt32 params = 0)
        : AudioEffectX (hostCallback, programs, params)
    {
    }

    ~ProbeEffect() override
    {
        if (destroyedFlag != nullptr)
            *destroyedFlag = true;
    }

    Calls calls;
    std::map<std::string, VstIntPtr> answers;
    std::map<std::string, float> floatAnswers;
    bool* destroyedFlag = nullptr;
    // copySpeaker refuses the call with this number (0 = the first); -1 lets all through.
    int copySpeakerRefusesCall = -1;

    // --- AudioEffect
    void setParameter (VstInt32 index, float value) override { record (call ("setParameter", index, value)); }
    float getParameter (VstInt32 index) override
    {
        record (call ("getParameter", index));
        return floatAnswerOr ("getParameter", AudioEffectX::getParameter (index));
    }
    void process (float** inputs, float** outputs, VstInt32 sampleFrames) override
    {
        record (call ("process", inputs, outputs, sampleFrames));
    }
    void processReplacing (float** inputs, float** outputs, VstInt32 sampleFrames) override
    {
        record (call ("processReplacing", inputs, outputs, sampleFrames));
    }
    void open() override { record (call ("open")); }
    void close() override { record (call ("close")); }
    VstInt32 getProgram() override
    {
        record (call ("getProgram"));
        return answerOr ("getProgram", AudioEffectX::getProgram());
    }
    void setProgram (VstInt32 program) override
    {
        record (call ("setProgram", program));
        AudioEffectX::setProgram (program);
    }
    void setProgramName (char* name) override
    {
        record (call ("setProgramName", name));
        AudioEffectX::setProgramName (name);
    }
    void getProgramName (char* name) override
    {
        record (call ("getProgramName", name));
        AudioEffectX::getProgramName (name);
    }
    void getParameterLabel (VstInt32 index, char* label) override
    {
        record (call ("getParameterLabel", index, label));
        AudioEffectX::getParameterLabel (index, label);
    }
    void getParameterDisplay (VstInt32 index, char* text) override
    {
        record (call ("getParameterDisplay", index, text));
        AudioEffectX::getParameterDisplay (index, text);
    }
    void getParameterName (VstInt32 index, char* text) override
    {
        record (call ("getParameterName", index, text));
        AudioEffectX::getParameterName (index, text);
    }
    float getVu() override
    {
        record (call ("getVu"));
        return floatAnswerOr ("getVu", AudioEffectX::getVu());
    }
    VstInt32 getChunk (void** data, bool isPreset) override
    {
        record (call ("getChunk", data, isPreset));
        return answerOr ("getChunk", AudioEffectX::getChunk (data, isPreset));
    }
    VstInt32 setChunk (void* data, VstInt32 byteSize, bool isPreset) override
    {
        record (call ("setChunk", data, byteSize, isPreset));
        return answerOr ("setChunk", AudioEffectX::setChunk (data, byteSize, isPreset));
    }
    void setSampleRate (float newSampleRate) override
    {
        record (call ("setSampleRate", newSampleRate));
        AudioEffectX::setSampleRate (newSampleRate);
    }
    void setBlockSize (VstInt32 newBlockSize) override
    {
        record (call ("setBlockSize", newBlockSize));
        AudioEffectX::setBlockSize (newBlockSize);
    }
    void suspend() override { record (call ("suspend")); }
    void resume() override { record (call ("resume")); }
    float getSampleRate() override { return floatAnswerOr ("getSampleRate", AudioEffectX::getSampleRate()); }

    // --- AudioEffectX
    VstInt32 processEvents (VstEvents* events) override
    {
        record (call ("processEvents", events));
        return answerOr ("processEvents", AudioEffectX::processEvents (events));
    }
    bool canParameterBeAutomated (VstInt32 index) override
    {
        record (call ("canParameterBeAutomated", index));
        return answerOr ("canParameterBeAutomated", AudioEffectX::canParameterBeAutomated (index));
    }
    bool string2parameter (VstInt32 index, char* text) override
    {
        record (call ("string2parameter", index, text));
        return answerOr ("string2parameter", AudioEffectX::string2parameter (index, text));
    }
    VstInt32 getNumCategories() override
    {
        record (call ("getNumCategories"));
        return answerOr ("getNumCategories", AudioEffectX::getNumCategories());
    }
    bool getProgramNameIndexed (VstInt32 category, VstInt32 index, char* text) override
    {
        record (call ("getProgramNameIndexed", category, index, text));
        return answerOr ("getProgramNameIndexed", AudioEffectX::getProgramNameIndexed (category, index, text));
    }
    bool copyProgram (VstInt32 destination) override
    {
        record (call ("copyProgram", destination));
        return answerOr ("copyProgram", AudioEffectX::copyProgram (destination));
    }
    void inputConnected (VstInt32 index, bool state) override { record (call ("inputConnected", index, state)); }
    void outputConnected (VstInt32 index, bool state) override { record (call ("outputConnected", index, state)); }
    bool getInputProperties (VstInt32 index, VstPinProperties* properties) override
    {
        record (call ("getInputProperties", index, properties));
        return answerOr ("getInputProperties", AudioEffectX::getInputProperties (index, properties));
    }
    bool getOutputProperties (VstInt32 index, VstPinProperties* properties) override
    {
        record (call ("getOutputProperties", index, properties));
        return answerOr ("getOutputProperties", AudioEffectX::getOutputProperties (index, properties));
    }
    VstInt32 getPlugCategory() override
    {
        record (call ("getPlugCategory"));
        return answerOr ("getPlugCategory", AudioEffectX::getPlugCategory());
    }
    VstInt32 reportCurrentPosition() override
    {
        record (call ("reportCurrentPosition"));
        return answerOr ("reportCurrentPosition", AudioEffectX::reportCurrentPosition());
    }
    float* reportDestinationBuffer() override
    {
        record (call ("reportDestinationBuffer"));
        return answerOr ("reportDestinationBuffer", AudioEffectX::reportDestinationBuffer());
    }
    bool offlineNotify (VstAudioFile* files, VstInt32 numAudioFiles, bool start) override
    {
        record (call ("offlineNotify", files, numAudioFiles, start));
        return answerOr ("offlineNotify", AudioEffectX::offlineNotify (files, numAudioFiles, start));
    }
    bool offlinePrepare (VstOfflineTask* offline, VstInt32 count) override
    {
        record (call ("offlinePrepare", offline, count));
        return answerOr ("offlinePrepare", AudioEffectX::offlinePrepare (offline, count));
    }
    bool offlineRun (VstOfflineTask* offline, VstInt32 count) override
    {
        record (call ("offlineRun", offline, count));
        return answerOr ("offlineRun", AudioEffectX::offlineRun (offline, count));
    }
    bool processVariableIo (VstVariableIo* io) override
    {
        record (call ("processVariableIo", io));
        return answerOr ("processVariableIo", AudioEffectX::processVariableIo (io));
    }
    bool setSpeakerArrangement (VstSpeakerArrangement* input, VstSpeakerArrangement* output) override
    {
        record (call ("setSpeakerArrangement", input, output));
        return answerOr ("setSpeakerArrangement", AudioEffectX::setSpeakerArrangement (input, output));
    }
    void setBlockSizeAndSampleRate (VstInt32 newBlockSize, float newSampleRate) override
    {
        record (call ("setBlockSizeAndSampleRate", newBlockSize, newSampleRate));
        AudioEffectX::setBlockSizeAndSampleRate (newBlockSize, newSampleRate);
    }
    bool setBypass (bool onOff) override
    {
        record (call ("setBypass", onOff));
        return answerOr ("setBypass", AudioEffectX::setBypass (onOff));
    }
    bool getEffectName (char* name) override
    {
        record (call ("getEffectName", name));
        return answerOr ("getEffectName", AudioEffectX::getEffectName (name));
    }
    bool getErrorText (char* text) override
    {
        record (call ("getErrorText", text));
        return answerOr ("getErrorText", AudioEffectX::getErrorText (text));
    }
    bool getVendorString (char* text) override
    {
        record (call ("getVendorString", text));
        return answerOr ("getVendorString", AudioEffectX::getVendorString (text));
    }
    bool getProductString (char* text) override
    {
        record (call ("getProductString", text));
        return answerOr ("getProductString", AudioEffectX::getProductString (text));
    }
    VstInt32 getVendorVersion() override
    {
        record (call ("getVendorVersion"));
        return answerOr ("getVendorVersion", AudioEffectX::getVendorVersion());
    }
    VstIntPtr vendorSpecific (VstInt32 index, VstIntPtr value, void* ptr, float opt) override
    {
        record (call ("vendorSpecific", index, value, ptr, opt));
        return answerOr ("vendorSpecific", AudioEffectX::vendorSpecific (index, value, ptr, opt));
    }
    VstInt32 canDo (char* text) override
    {
        record (call ("canDo", text));
        return answerOr ("canDo", AudioEffectX::canDo (text));
    }
    void* getIcon() override
    {
        record (call ("getIcon"));
        return answerOr ("getIcon", AudioEffectX::getIcon());
    }
    bool setViewPosition (VstInt32 x, VstInt32 y) override
    {
        record (call ("setViewPosition", x, y));
        return answerOr ("setViewPosition", AudioEffectX::setViewPosition (x, y));
    }
    VstInt32 getGetTailSize() override
    {
        record (call ("getGetTailSize"));
        return answerOr ("getGetTailSize", AudioEffectX::getGetTailSize());
    }
    VstInt32 fxIdle() override
    {
        record (call ("fxIdle"));
        return answerOr ("fxIdle", AudioEffectX::fxIdle());
    }
    bool getParameterProperties (VstInt32 index, VstParameterProperties* properties) override
    {
        record (call ("getParameterProperties", index, properties));
        return answerOr ("getParameterProperties", AudioEffectX::getParameterProperties (index, properties));
    }
    bool keysRequired() override
    {
        record (call ("keysRequired"));
        return answerOr ("keysRequired", AudioEffectX::keysRequired());
    }
    VstInt32 getVstVersion() override
    {
        record (call ("getVstVersion"));
        return answerOr ("getVstVersion", AudioEffectX::getVstVersion());
    }
    VstInt32 getMidiProgramName (VstInt32 channel, MidiProgramName* name) override
    {
        record (call ("getMidiProgramName", channel, name));
        return answerOr ("getMidiProgramName", AudioEffectX::getMidiProgramName (channel, name));
    }
    VstInt32 getCurrentMidiProgram (VstInt32 channel, MidiProgramName* current) override
    {
        record (call ("getCurrentMidiProgram", channel, current));
        return answerOr ("getCurrentMidiProgram", AudioEffectX::getCurrentMidiProgram (channel, current));
    }
    VstInt32 getMidiProgramCategory (VstInt32 channel, MidiProgramCategory* category) override
    {
        record (call ("getMidiProgramCategory", channel, category));
        return answerOr ("getMidiProgramCategory", AudioEffectX::getMidiProgramCategory (channel, category));
    }
    bool hasMidiProgramsChanged (VstInt32 channel) override
    {
        record (call ("hasMidiProgramsChanged", channel));
        return answerOr ("hasMidiProgramsChanged", AudioEffectX::hasMidiProgramsChanged (channel));
    }
    bool getMidiKeyName (VstInt32 channel, MidiKeyName* keyName) override
    {
        record (call ("getMidiKeyName", channel, keyName));
        return answerOr ("getMidiKeyName", AudioEffectX::getMidiKeyName (channel, keyName));
    }
    bool beginSetProgram() override
    {
        record (call ("beginSetProgram"));
        return answerOr ("beginSetProgram", AudioEffectX::beginSetProgram());
    }
    bool endSetProgram() override
    {
        record (call ("endSetProgram"));
        return answerOr ("endSetProgram", AudioEffectX::endSetProgram());
    }
    bool getSpeakerArrangement (VstSpeakerArrangement** input, VstSpeakerArrangement** output) override
    {
        record (call ("getSpeakerArrangement", input, output));
        return answerOr ("getSpeakerArrangement", AudioEffectX::getSpeakerArrangement (input, output));
    }
    VstInt32 getNextShellPlugin (char* name) override
    {
        record (call ("getNextShellPlugin", name));
        return answerOr ("getNextShellPlugin", AudioEffectX::getNextShellPlugin (name));
    }
    VstInt32 startProcess() override
    {
        record (call ("startProcess"));
        return answerOr ("startProcess", AudioEffectX::startProcess());
    }
    VstInt32 stopProcess() override
    {
        record (call ("stopProcess"));
        return answerOr ("stopProcess", AudioEffectX::stopProcess());
    }
    VstInt32 setTotalSampleToProcess (VstInt32 value) override
    {
        record (call ("setTotalSampleToProcess", value));
        return answerOr ("setTotalSampleToProcess", AudioEffectX::setTotalSampleToProcess (value));
    }
    bool setPanLaw (VstInt32 type, float value) override
    {
        record (call ("setPanLaw", type, value));
        return answerOr ("setPanLaw", AudioEffectX::setPanLaw (type, value));
    }
    VstInt32 beginLoadBank (VstPatchChunkInfo* info) override
    {
        record (call ("beginLoadBank", info));
        return answerOr ("beginLoadBank", AudioEffectX::beginLoadBank (info));
    }
    VstInt32 beginLoadProgram (VstPatchChunkInfo* info) override
    {
        record (call ("beginLoadProgram", info));
        return answerOr ("beginLoadProgram", AudioEffectX::beginLoadProgram (info));
    }
    bool allocateArrangement (VstSpeakerArrangement** arrangement, VstInt32 channels) override
    {
        record (call ("allocateArrangement", arrangement, channels));
        return answerOr ("allocateArrangement", AudioEffectX::allocateArrangement (arrangement, channels));
    }
    bool deallocateArrangement (VstSpeakerArrangement** arrangement) override
    {
        record (call ("deallocateArrangement", arrangement));
        return answerOr ("deallocateArrangement", AudioEffectX::deallocateArrangement (arrangement));
    }
    bool copySpeaker (VstSpeakerProperties* to, VstSpeakerProperties* from) override
    {
        record (call ("copySpeaker", to, from));
        if (copySpeakerCalls++ == copySpeakerRefusesCall)
            return false;
        return AudioEffectX::copySpeaker (to, from);
    }

    using AudioEffect::callHost;

private:
    void record (std::string text) { calls.push_back (std::move (text)); }

    template <typename Result>
    Result answerOr (const char* name, Result baseAnswer) const
    {
        const auto found = answers.find (name);
        if (found == answers.end())
            return baseAnswer;
        if constexpr (std::is_pointer_v<Result>)
            return reinterpret_cast<Result> (found->second);
        else if constexpr (std::is_same_v<Result, bool>)
            return found->second != 0;
        else
            return static_cast<Result> (found->second);
    }

    float floatAnswerOr (const char* name, float baseAnswer) const
    {
        const auto found = floatAnswers.find (name);
        return found == floatAnswers.end() ? baseAnswer : found->second;
    }

    int copySpeakerCalls = 0;
};

inline bool allBytesZero (const void* start, size_t count)
{
    const auto* bytes = static_cast<const unsigned char*> (start);
    for (size_t i = 0; i < count; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

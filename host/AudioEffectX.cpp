#include "host/AudioEffectX.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace
{
// The interface version this plug-in speaks, as the host reads it from effGetVstVersion.
constexpr VstInt32 kVstVersion = 2300;

VstIntPtr asAnswer (bool result)
{
    return result ? 1 : 0;
}

template <typename T>
VstIntPtr pointerAsAnswer (T* pointer)
{
    return reinterpret_cast<VstIntPtr> (pointer);
}

template <typename T>
T* answerAsPointer (VstIntPtr answer)
{
    return reinterpret_cast<T*> (answer);
}

// Requests whose pointer the operation must fill or read: a host that passes null gets the
// neutral answer rather than a crash, in the base and in every override alike.
bool needsPointer (VstInt32 opcode)
{
    switch (opcode)
    {
        case effProcessEvents:
        case effString2Parameter:
        case effGetProgramNameIndexed:
        case effGetEffectName:
        case effGetErrorText:
        case effGetVendorString:
        case effGetProductString:
        case effCanDo:
        case effGetSpeakerArrangement:
        case effShellGetNextPlugin:
            return true;
        default:
            return false;
    }
}

bool lacksPointer (VstInt32 opcode, VstIntPtr value, void* ptr)
{
    if (! needsPointer (opcode))
        return false;

    // effGetSpeakerArrangement carries its second pointer in value.
    if (opcode == effGetSpeakerArrangement && value == 0)
        return true;

    return ptr == nullptr;
}

constexpr size_t kArrangementHeaderSize = offsetof (VstSpeakerArrangement, speakers);
constexpr size_t kSpeakerSize = sizeof (VstSpeakerProperties);

bool arrangementSizeFits (VstInt32 channels)
{
    return channels >= 0 && static_cast<size_t> (channels) <= (SIZE_MAX - kArrangementHeaderSize) / kSpeakerSize;
}

void copySpeakerName (char* to, const char* from)
{
    // The source may come unterminated from a host; the copy always ends inside the field.
    const size_t capacity = sizeof (VstSpeakerProperties::name);
    size_t length = 0;
    while (length + 1 < capacity && from[length] != 0)
        ++length;

    std::memcpy (to, from, length);
    to[length] = 0;
}
} // namespace

AudioEffectX::AudioEffectX (audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 paramCount)
    : AudioEffect (hostCallback, programCount, paramCount)
{
}

AudioEffectX::~AudioEffectX() = default;

VstIntPtr AudioEffectX::dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (lacksPointer (opcode, value, ptr))
        return 0;

    switch (opcode)
    {
        case effProcessEvents:
            return processEvents (static_cast<VstEvents*> (ptr));
        case effCanBeAutomated:
            return asAnswer (canParameterBeAutomated (index));
        case effString2Parameter:
            return asAnswer (string2parameter (index, static_cast<char*> (ptr)));
        case effGetNumProgramCategories:
            return getNumCategories();
        case effGetProgramNameIndexed:
            return asAnswer (getProgramNameIndexed (static_cast<VstInt32> (value), index, static_cast<char*> (ptr)));
        case effCopyProgram:
            return asAnswer (copyProgram (index));
        case effConnectInput:
            inputConnected (index, value != 0);
            return 1;
        case effConnectOutput:
            outputConnected (index, value != 0);
            return 1;
        case effGetInputProperties:
            return asAnswer (getInputProperties (index, static_cast<VstPinProperties*> (ptr)));
        case effGetOutputProperties:
            return asAnswer (getOutputProperties (index, static_cast<VstPinProperties*> (ptr)));
        case effGetPlugCategory:
            return getPlugCategory();
        case effGetCurrentPosition:
            return reportCurrentPosition();
        case effGetDestinationBuffer:
            return pointerAsAnswer (reportDestinationBuffer());
        case effOfflineNotify:
            return asAnswer (offlineNotify (static_cast<VstAudioFile*> (ptr), static_cast<VstInt32> (value), index != 0));
        case effOfflinePrepare:
            return asAnswer (offlinePrepare (static_cast<VstOfflineTask*> (ptr), static_cast<VstInt32> (value)));
        case effOfflineRun:
            return asAnswer (offlineRun (static_cast<VstOfflineTask*> (ptr), static_cast<VstInt32> (value)));
        case effProcessVarIo:
            return asAnswer (processVariableIo (static_cast<VstVariableIo*> (ptr)));
        case effSetSpeakerArrangement:
            return asAnswer (setSpeakerArrangement (answerAsPointer<VstSpeakerArrangement> (value),
                                                    static_cast<VstSpeakerArrangement*> (ptr)));
        case effSetBlockSizeAndSampleRate:
            setBlockSizeAndSampleRate (static_cast<VstInt32> (value), opt);
            return 1;
        case effSetBypass:
            return asAnswer (setBypass (value != 0));
        case effGetEffectName:
            return asAnswer (getEffectName (static_cast<char*> (ptr)));
        case effGetErrorText:
            return asAnswer (getErrorText (static_cast<char*> (ptr)));
        case effGetVendorString:
            return asAnswer (getVendorString (static_cast<char*> (ptr)));
        case effGetProductString:
            return asAnswer (getProductString (static_cast<char*> (ptr)));
        case effGetVendorVersion:
            return getVendorVersion();
        case effVendorSpecific:
            return vendorSpecific (index, value, ptr, opt);
        case effCanDo:
            return canDo (static_cast<char*> (ptr));
        case effGetTailSize:
            return getGetTailSize();
        case effIdle:
            return fxIdle();
        case effGetIcon:
            return pointerAsAnswer (getIcon());
        case effSetViewPosition:
            return asAnswer (setViewPosition (index, static_cast<VstInt32> (value)));
        case effGetParameterProperties:
            return asAnswer (getParameterProperties (index, static_cast<VstParameterProperties*> (ptr)));
        case effKeysRequired:
            // The interface asks the question the other way round: 0 means keys are wanted.
            return asAnswer (! keysRequired());
        case effGetVstVersion:
            return getVstVersion();
        case effEditKeyDown:
        case effEditKeyUp:
        case effSetEditKnobMode:
            // Editor requests need an editor object, and none is ever installed.
            return 0;
        case effGetMidiProgramName:
            return getMidiProgramName (index, static_cast<MidiProgramName*> (ptr));
        case effGetCurrentMidiProgram:
            return getCurrentMidiProgram (index, static_cast<MidiProgramName*> (ptr));
        case effGetMidiProgramCategory:
            return getMidiProgramCategory (index, static_cast<MidiProgramCategory*> (ptr));
        case effHasMidiProgramsChanged:
            return asAnswer (hasMidiProgramsChanged (index));
        case effGetMidiKeyName:
            return asAnswer (getMidiKeyName (index, static_cast<MidiKeyName*> (ptr)));
        case effBeginSetProgram:
            return asAnswer (beginSetProgram());
        case effEndSetProgram:
            return asAnswer (endSetProgram());
        case effGetSpeakerArrangement:
            return asAnswer (getSpeakerArrangement (answerAsPointer<VstSpeakerArrangement*> (value),
                                                    static_cast<VstSpeakerArrangement**> (ptr)));
        case effShellGetNextPlugin:
            return getNextShellPlugin (static_cast<char*> (ptr));
        case effStartProcess:
            return startProcess();
        case effStopProcess:
            return stopProcess();
        case effSetTotalSampleToProcess:
            return setTotalSampleToProcess (static_cast<VstInt32> (value));
        case effSetPanLaw:
            return asAnswer (setPanLaw (static_cast<VstInt32> (value), opt));
        case effBeginLoadBank:
            return beginLoadBank (static_cast<VstPatchChunkInfo*> (ptr));
        case effBeginLoadProgram:
            return beginLoadProgram (static_cast<VstPatchChunkInfo*> (ptr));
        default:
            // Not virtual on purpose: an override of dispatcher has already had its turn.
            return AudioEffect::dispatcher (opcode, index, value, ptr, opt);
    }
}

AEffEditor* AudioEffectX::getEditor()
{
    return editor;
}

void AudioEffectX::wantEvents (VstInt32 filter)
{
    callHost (audioMasterWantMidi, 0, filter);
}

VstTimeInfo* AudioEffectX::getTimeInfo (VstInt32 filter)
{
    return answerAsPointer<VstTimeInfo> (callHost (audioMasterGetTime, 0, filter));
}

VstInt32 AudioEffectX::tempoAt (VstInt32 pos)
{
    return static_cast<VstInt32> (callHost (audioMasterTempoAt, 0, pos));
}

VstInt32 AudioEffectX::processEvents (VstEvents* events)
{
    return 0;
}

VstInt32 AudioEffectX::getNumAutomatableParameters()
{
    return static_cast<VstInt32> (callHost (audioMasterGetNumAutomatableParameters));
}

VstInt32 AudioEffectX::getParameterQuantization()
{
    return static_cast<VstInt32> (callHost (audioMasterGetParameterQuantization));
}

bool AudioEffectX::canParameterBeAutomated (VstInt32 index)
{
    return true;
}

bool AudioEffectX::string2parameter (VstInt32 index, char* text)
{
    return false;
}

float AudioEffectX::getChannelParameter (VstInt32 channel, VstInt32 index)
{
    return 0.0f;
}

VstInt32 AudioEffectX::getNumCategories()
{
    return 1;
}

bool AudioEffectX::getProgramNameIndexed (VstInt32 category, VstInt32 index, char* text)
{
    return false;
}

bool AudioEffectX::copyProgram (VstInt32 destination)
{
    return false;
}

bool AudioEffectX::ioChanged()
{
    return callHost (audioMasterIOChanged) != 0;
}

bool AudioEffectX::needIdle()
{
    return callHost (audioMasterNeedIdle) != 0;
}

bool AudioEffectX::sizeWindow (VstInt32 width, VstInt32 height)
{
    return callHost (audioMasterSizeWindow, width, height) != 0;
}

float AudioEffectX::updateSampleRate()
{
    // A host that cannot tell answers 0 or less; the rate known so far is kept then.
    const VstIntPtr answer = callHost (audioMasterGetSampleRate);
    if (answer > 0)
        sampleRate = static_cast<float> (answer);
    return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize()
{
    const VstIntPtr answer = callHost (audioMasterGetBlockSize);
    if (answer > 0)
        blockSize = static_cast<VstInt32> (answer);
    return blockSize;
}

VstInt32 AudioEffectX::getInputLatency()
{
    return static_cast<VstInt32> (callHost (audioMasterGetInputLatency));
}

VstInt32 AudioEffectX::getOutputLatency()
{
    return static_cast<VstInt32> (callHost (audioMasterGetOutputLatency));
}

// Hosts have always been sent index 0 for these two, whatever pin was asked about.
AEffect* AudioEffectX::getPreviousPlug (VstInt32 input)
{
    return answerAsPointer<AEffect> (callHost (audioMasterGetPreviousPlug));
}

AEffect* AudioEffectX::getNextPlug (VstInt32 output)
{
    return answerAsPointer<AEffect> (callHost (audioMasterGetNextPlug));
}

void AudioEffectX::inputConnected (VstInt32 index, bool state)
{
}

void AudioEffectX::outputConnected (VstInt32 index, bool state)
{
}

bool AudioEffectX::getInputProperties (VstInt32 index, VstPinProperties* properties)
{
    return false;
}

bool AudioEffectX::getOutputProperties (VstInt32 index, VstPinProperties* properties)
{
    return false;
}

VstInt32 AudioEffectX::getPlugCategory()
{
    return (cEffect.flags & effFlagsIsSynth) != 0 ? kPlugCategSynth : kPlugCategUnknown;
}

VstInt32 AudioEffectX::willProcessReplacing()
{
    return static_cast<VstInt32> (callHost (audioMasterWillReplaceOrAccumulate));
}

VstInt32 AudioEffectX::getCurrentProcessLevel()
{
    return static_cast<VstInt32> (callHost (audioMasterGetCurrentProcessLevel));
}

VstInt32 AudioEffectX::getAutomationState()
{
    return static_cast<VstInt32> (callHost (audioMasterGetAutomationState));
}

void AudioEffectX::wantAsyncOperation (bool state)
{
    setFlag (effFlagsExtIsAsync, state);
}

void AudioEffectX::hasExternalBuffer (bool state)
{
    setFlag (effFlagsExtHasBuffer, state);
}

VstInt32 AudioEffectX::reportCurrentPosition()
{
    return 0;
}

float* AudioEffectX::reportDestinationBuffer()
{
    return nullptr;
}

bool AudioEffectX::offlineRead (VstOfflineTask* offline, VstInt32 option, bool readSource)
{
    return callHost (audioMasterOfflineRead, readSource ? 1 : 0, option, offline) != 0;
}

bool AudioEffectX::offlineWrite (VstOfflineTask* offline, VstInt32 option)
{
    return callHost (audioMasterOfflineWrite, 0, option, offline) != 0;
}

bool AudioEffectX::offlineStart (VstAudioFile* files, VstInt32 numAudioFiles, VstInt32 numNewAudioFiles)
{
    return callHost (audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, files) != 0;
}

VstInt32 AudioEffectX::offlineGetCurrentPass()
{
    return callHost (audioMasterOfflineGetCurrentPass) != 0 ? 1 : 0;
}

VstInt32 AudioEffectX::offlineGetCurrentMetaPass()
{
    return callHost (audioMasterOfflineGetCurrentMetaPass) != 0 ? 1 : 0;
}

bool AudioEffectX::offlineNotify (VstAudioFile* files, VstInt32 numAudioFiles, bool start)
{
    return false;
}

bool AudioEffectX::offlinePrepare (VstOfflineTask* offline, VstInt32 count)
{
    return false;
}

bool AudioEffectX::offlineRun (VstOfflineTask* offline, VstInt32 count)
{
    return false;
}

VstInt32 AudioEffectX::offlineGetNumPasses()
{
    return 0;
}

VstInt32 AudioEffectX::offlineGetNumMetaPasses()
{
    return 0;
}

void AudioEffectX::setOutputSamplerate (float rate)
{
    callHost (audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}

VstSpeakerArrangement* AudioEffectX::getInputSpeakerArrangement()
{
    return answerAsPointer<VstSpeakerArrangement> (callHost (audioMasterGetInputSpeakerArrangement));
}

VstSpeakerArrangement* AudioEffectX::getOutputSpeakerArrangement()
{
    return answerAsPointer<VstSpeakerArrangement> (callHost (audioMasterGetOutputSpeakerArrangement));
}

bool AudioEffectX::getHostVendorString (char* text)
{
    return callHost (audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString (char* text)
{
    return callHost (audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion()
{
    return static_cast<VstInt32> (callHost (audioMasterGetVendorVersion));
}

VstIntPtr AudioEffectX::hostVendorSpecific (VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return callHost (audioMasterVendorSpecific, index, value, ptr, opt);
}

VstInt32 AudioEffectX::canHostDo (char* text)
{
    // Any non-zero answer reads as yes, the -1 with which hosts say "cannot" included. The one
    // caller, the editor's resizing, then asks the host to resize and, when that is refused,
    // resizes the windows itself.
    return callHost (audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0;
}

void AudioEffectX::isSynth (bool state)
{
    setFlag (effFlagsIsSynth, state);
}

void AudioEffectX::noTail (bool state)
{
    setFlag (effFlagsNoSoundInStop, state);
}

VstInt32 AudioEffectX::getHostLanguage()
{
    return static_cast<VstInt32> (callHost (audioMasterGetLanguage));
}

void* AudioEffectX::openWindow (VstWindow* window)
{
    return answerAsPointer<void> (callHost (audioMasterOpenWindow, 0, 0, window));
}

bool AudioEffectX::closeWindow (VstWindow* window)
{
    return callHost (audioMasterCloseWindow, 0, 0, window) != 0;
}

void* AudioEffectX::getDirectory()
{
    return answerAsPointer<void> (callHost (audioMasterGetDirectory));
}

bool AudioEffectX::updateDisplay()
{
    return callHost (audioMasterUpdateDisplay) != 0;
}

bool AudioEffectX::processVariableIo (VstVariableIo* io)
{
    return false;
}

bool AudioEffectX::setSpeakerArrangement (VstSpeakerArrangement* input, VstSpeakerArrangement* output)
{
    return false;
}

bool AudioEffectX::getSpeakerArrangement (VstSpeakerArrangement** input, VstSpeakerArrangement** output)
{
    *input = nullptr;
    *output = nullptr;
    return false;
}

void AudioEffectX::setBlockSizeAndSampleRate (VstInt32 newBlockSize, float newSampleRate)
{
    blockSize = newBlockSize;
    sampleRate = newSampleRate;
}

bool AudioEffectX::setBypass (bool onOff)
{
    return false;
}

bool AudioEffectX::getEffectName (char* name)
{
    return false;
}

bool AudioEffectX::getErrorText (char* text)
{
    return false;
}

bool AudioEffectX::getVendorString (char* text)
{
    return false;
}

bool AudioEffectX::getProductString (char* text)
{
    return false;
}

VstInt32 AudioEffectX::getVendorVersion()
{
    return 0;
}

VstIntPtr AudioEffectX::vendorSpecific (VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return 0;
}

VstInt32 AudioEffectX::canDo (char* text)
{
    return 0;
}

void* AudioEffectX::getIcon()
{
    return nullptr;
}

bool AudioEffectX::setViewPosition (VstInt32 x, VstInt32 y)
{
    return false;
}

VstInt32 AudioEffectX::getGetTailSize()
{
    return 0;
}

VstInt32 AudioEffectX::fxIdle()
{
    return 0;
}

bool AudioEffectX::getParameterProperties (VstInt32 index, VstParameterProperties* properties)
{
    return false;
}

bool AudioEffectX::keysRequired()
{
    return false;
}

VstInt32 AudioEffectX::getVstVersion()
{
    return kVstVersion;
}

VstInt32 AudioEffectX::getMidiProgramName (VstInt32 channel, MidiProgramName* name)
{
    return 0;
}

VstInt32 AudioEffectX::getCurrentMidiProgram (VstInt32 channel, MidiProgramName* current)
{
    // No MIDI programs: -1 tells the host there is no current one.
    return -1;
}

VstInt32 AudioEffectX::getMidiProgramCategory (VstInt32 channel, MidiProgramCategory* category)
{
    return 0;
}

bool AudioEffectX::hasMidiProgramsChanged (VstInt32 channel)
{
    return false;
}

bool AudioEffectX::getMidiKeyName (VstInt32 channel, MidiKeyName* keyName)
{
    return false;
}

bool AudioEffectX::beginSetProgram()
{
    return false;
}

bool AudioEffectX::endSetProgram()
{
    return false;
}

bool AudioEffectX::beginEdit (VstInt32 index)
{
    return callHost (audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit (VstInt32 index)
{
    return callHost (audioMasterEndEdit, index) != 0;
}

bool AudioEffectX::openFileSelector (VstFileSelect* select)
{
    if (select == nullptr)
        return false;

    return callHost (audioMasterOpenFileSelector, 0, 0, select) != 0;
}

VstInt32 AudioEffectX::setTotalSampleToProcess (VstInt32 value)
{
    return value;
}

VstInt32 AudioEffectX::getNextShellPlugin (char* name)
{
    return 0;
}

VstInt32 AudioEffectX::startProcess()
{
    return 0;
}

VstInt32 AudioEffectX::stopProcess()
{
    return 0;
}

bool AudioEffectX::setPanLaw (VstInt32 type, float value)
{
    return false;
}

VstInt32 AudioEffectX::beginLoadBank (VstPatchChunkInfo* info)
{
    return 0;
}

VstInt32 AudioEffectX::beginLoadProgram (VstPatchChunkInfo* info)
{
    return 0;
}

bool AudioEffectX::allocateArrangement (VstSpeakerArrangement** arrangement, VstInt32 channels)
{
    if (arrangement == nullptr || ! arrangementSizeFits (channels))
        return false;

    if (*arrangement != nullptr)
    {
        std::free (*arrangement);
        *arrangement = nullptr;
    }

    // Sized for the channels actually asked for, not for the declared minimum of the record.
    const size_t size = kArrangementHeaderSize + kSpeakerSize * static_cast<size_t> (channels);
    auto* fresh = static_cast<VstSpeakerArrangement*> (std::calloc (1, size));
    if (fresh == nullptr)
        return false;

    fresh->numChannels = channels;
    *arrangement = fresh;
    return true;
}

bool AudioEffectX::deallocateArrangement (VstSpeakerArrangement** arrangement)
{
    if (arrangement == nullptr)
        return false;

    std::free (*arrangement);
    *arrangement = nullptr;
    return true;
}

bool AudioEffectX::copySpeaker (VstSpeakerProperties* to, VstSpeakerProperties* from)
{
    if (to == nullptr || from == nullptr)
        return false;

    copySpeakerName (to->name, from->name);
    to->type = from->type;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memcpy (to->future, from->future, sizeof (to->future));
    return true;
}

bool AudioEffectX::matchArrangement (VstSpeakerArrangement** to, VstSpeakerArrangement* from)
{
    if (from == nullptr)
        return false;

    if (! deallocateArrangement (to) || ! allocateArrangement (to, from->numChannels))
        return false;

    (*to)->type = from->type;

    // The records hold numChannels speakers, more than the declared array may suggest.
    VstSpeakerProperties* const targetSpeakers = (*to)->speakers;
    VstSpeakerProperties* const sourceSpeakers = from->speakers;
    for (VstInt32 channel = 0; channel < from->numChannels; ++channel)
        if (! copySpeaker (targetSpeakers + channel, sourceSpeakers + channel))
            return false;

    return true;
}

bool AudioEffectX::sendVstEventsToHost (VstEvents* events)
{
    // Only 1 means the host took the events; anything else is a refusal.
    return callHost (audioMasterProcessEvents, 0, 0, events) == 1;
}

#include "bridge/JuceVSTWrapper.h"

#include "bridge/PluginWindowCalls.h"
#include "engine/MidiBufferLayout.h"
#include "engine/ProductIdentity.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr VstInt32 timeInfoRequestMask = kVstPpqPosValid | kVstTempoValid | kVstBarsValid
                                         | kVstTimeSigValid | kVstSmpteValid | kVstClockValid;
constexpr int maxChannelsPerView = 32;
// Enough records for several full chord changes (a 128-note chord ended and another started)
// in one block, so that playing never has to grow the list on the audio thread.
constexpr int initialOutgoingEvents = 1024;

void copyToHost (const juce::String& text, char* destination, int maxCharacters)
{
    if (destination == nullptr)
        return;

    const char* utf8 = text.toRawUTF8();
    const size_t length = std::min (std::strlen (utf8), (size_t) maxCharacters);
    std::memcpy (destination, utf8, length);
    destination[length] = 0;
}

// Views over the host's channel arrays: no samples are copied.
juce::AudioBuffer<float> viewOf (float** channels, int numChannels, int numSamples)
{
    static float* noChannels[1] = { nullptr };

    if (channels == nullptr || numChannels <= 0)
        return juce::AudioBuffer<float> (noChannels, 0, numSamples);

    for (int i = 0; i < numChannels; ++i)
        if (channels[i] == nullptr)
            return juce::AudioBuffer<float> (noChannels, 0, numSamples);

    return juce::AudioBuffer<float> (channels, std::min (numChannels, maxChannelsPerView), numSamples);
}

double framesPerSecond (int frameRateCode)
{
    switch (frameRateCode)
    {
        case 0: return 24.0;
        case 1: return 25.0;
        case 2: case 3: case 4: case 5: return 30.0;
        case 6: return 1.0;
        default: return 0.0;  // a code this plug-in does not know: no offset is derived
    }
}

// Hosts sometimes place events past the end of the block they deliver them for. Such events
// sound at the block's last frame, so that everything sent back lies within the block. The
// buffer stays in order (the bound is monotone) and nothing is allocated: positions are
// rewritten where they lie.
void holdEventsWithinBlock (juce::MidiBuffer& events, int numSamples)
{
    const int lastFrame = numSamples - 1;
    auto* event = events.data.begin();
    auto* const end = events.data.end();

    while (event + MidiBufferLayout::eventHeaderSize <= end)
    {
        if (MidiBufferLayout::positionOf (event) > lastFrame)
            MidiBufferLayout::setPositionOf (event, lastFrame);

        event += MidiBufferLayout::eventHeaderSize + MidiBufferLayout::sizeOf (event);
    }
}

void makeCallingThreadTheMessageThread()
{
    // Linux hosts call the editor from their GUI thread, which need not be the thread that
    // loaded the library: the framework must treat the editor's thread as its message thread.
    if (auto* mm = juce::MessageManager::getInstanceWithoutCreating())
        if (! mm->isThisTheMessageThread())
            mm->setCurrentThreadAsMessageThread();
}
}

JuceVSTWrapper::JuceVSTWrapper (audioMasterCallback hostCallback, AudioFilterBase* filterToUse)
    : AudioEffectX (hostCallback, filterToUse->getProgramCount(), filterToUse->getParameterCount()),
      filter (filterToUse)
{
    midiEvents.ensureSize (MidiBufferLayout::reservedBytes);

    filter->setHostCallbacks (this);
    const auto& properties = filter->getProperties();

    cEffect.flags |= effFlagsHasEditor;
    setUniqueID (properties.uniqueId != 0 ? properties.uniqueId : deriveUniqueId (ProductIdentity::name, ProductIdentity::vendor));

    wantsMidiIn = properties.wantsMidiInput;

    if (wantsMidiIn)
        wantEvents (1);

    sendsMidiOut = properties.producesMidiOutput;

    numInputChannels = properties.numInputChannels;
    numOutputChannels = properties.numOutputChannels;
    setNumInputs (numInputChannels);
    setNumOutputs (numOutputChannels);

    canProcessReplacing (true);
    hasVu (false);
    hasClip (false);
    isSynth (properties.isSynth);
    noTail (properties.hasNoTail);
    setInitialDelay (properties.latencySamples);
    programsAreChunks (true);
}

JuceVSTWrapper::~JuceVSTWrapper()
{
    stopTimer();
    deleteEditorComp();
    filter.reset();
}

VstInt32 JuceVSTWrapper::deriveUniqueId (const juce::String& product, const juce::String& vendor)
{
    const juce::String names (product + vendor);
    uint32_t h = 0;

    for (auto* c = names.toUTF16().getAddress(); *c != 0; ++c)
        h = h * 31 + (uint32_t) *c;

    return (VstInt32) h;
}

//==============================================================================
void JuceVSTWrapper::setParameter (VstInt32 index, float value) { filter->setParameterValue (index, value); }
float JuceVSTWrapper::getParameter (VstInt32 index)              { return filter->getParameterValue (index); }

void JuceVSTWrapper::process (float** inputs, float** outputs, VstInt32 sampleFrames)
{
    runFilterBlock (inputs, outputs, sampleFrames, true);
}

void JuceVSTWrapper::processReplacing (float** inputs, float** outputs, VstInt32 sampleFrames)
{
    runFilterBlock (inputs, outputs, sampleFrames, false);
}

void JuceVSTWrapper::runFilterBlock (float** inputs, float** outputs, VstInt32 sampleFrames, bool accumulate)
{
    // A host that never switched the plug-in on still gets it prepared; the events it delivered
    // for this block belong to this block and are kept.
    if (! isPrepared)
        prepareFilter();

    // A block of no frames has no frame to place a note at: what was delivered waits for the
    // next block.
    if (sampleFrames <= 0)
        return;

    const int numSamples = (int) sampleFrames;
    auto input = viewOf (inputs, numInputChannels, numSamples);
    auto output = viewOf (outputs, numOutputChannels, numSamples);
    holdEventsWithinBlock (midiEvents, numSamples);

    // A replacing block overwrites every output, even when the filter writes none: the host's
    // buffers may hold anything, the input among them when it processes in place.
    if (! accumulate)
        output.clear();

    {
        const juce::ScopedLock sl (filter->filterLock);
        filter->processNextBlock (input, output, accumulate, midiEvents);
    }

    if (midiEvents.isEmpty())
        return;

    if (sendsMidiOut)
        sendMidiToHost();

    midiEvents.clear();
}

void JuceVSTWrapper::sendMidiToHost()
{
    if (auto* list = outgoingEvents.fillFrom (midiEvents))
        sendVstEventsToHost (list);
}

//==============================================================================
VstIntPtr JuceVSTWrapper::dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode)
    {
        // The size needs no editor and no window.
        case effEditGetRect:
            return editorHosting.getEditorRect (ptr);

        // Building, embedding, idling and closing the editor all make the framework talk to the
        // window system; none of its errors may reach the host. Each call is made the framework's
        // message thread only once no other editor call runs.
        case effEditOpen:
        {
            const juce::ScopedLock call (editorHosting.getCallLock());
            makeCallingThreadTheMessageThread();
            const PluginWindowCalls windowCalls;
            return openEditor (index, value, ptr, opt);
        }

        case effEditClose:
        {
            const juce::ScopedLock call (editorHosting.getCallLock());
            makeCallingThreadTheMessageThread();
            const PluginWindowCalls windowCalls;
            deleteEditorComp();
            return 0;
        }

        case effEditIdle:
        {
            const juce::ScopedTryLock call (editorHosting.getCallLock());

            if (! call.isLocked())
                return 0;

            makeCallingThreadTheMessageThread();
            const PluginWindowCalls windowCalls;
            return handleEditorIdle();
        }

        // The display's scale resizes an open editor, an editor call like the ones above.
        case effVendorSpecific:
        {
            if (index != kVendorScaleIndex || value != kVendorScaleValue)
                return AudioEffectX::dispatcher (opcode, index, value, ptr, opt);

            const juce::ScopedLock call (editorHosting.getCallLock());
            makeCallingThreadTheMessageThread();
            const PluginWindowCalls windowCalls;
            editorHosting.setDisplayScale (opt);
            return 1;
        }

        default:
            return AudioEffectX::dispatcher (opcode, index, value, ptr, opt);
    }
}

void JuceVSTWrapper::open()
{
    startTimer (timerIntervalMs);
}

void JuceVSTWrapper::close()
{
    stopTimer();
    deleteEditorComp();
}

VstInt32 JuceVSTWrapper::getProgram()                 { return filter->getCurrentProgramIndex(); }
void JuceVSTWrapper::setProgram (VstInt32 program)    { filter->selectProgram (program); }

void JuceVSTWrapper::setProgramName (char* name)
{
    if (name != nullptr)
        filter->renameProgram (filter->getCurrentProgramIndex(), juce::String (name));
}

void JuceVSTWrapper::getProgramName (char* name)
{
    copyToHost (filter->getProgramNameText (filter->getCurrentProgramIndex()), name, 24);
}

void JuceVSTWrapper::getParameterDisplay (VstInt32 index, char* text)
{
    copyToHost (filter->getParameterValueText (index), text, 64);
}

void JuceVSTWrapper::getParameterName (VstInt32 index, char* text)
{
    copyToHost (filter->getParameterNameText (index), text, 8);
}

bool JuceVSTWrapper::getProgramNameIndexed (VstInt32, VstInt32 index, char* text)
{
    if (text == nullptr || index < 0 || index >= filter->getProgramCount())
        return false;

    copyToHost (filter->getProgramNameText (index), text, 24);
    return true;
}

VstInt32 JuceVSTWrapper::getPlugCategory()
{
    return filter->getProperties().isSynth ? kPlugCategSynth : kPlugCategEffect;
}

bool JuceVSTWrapper::getEffectName (char* name)
{
    copyToHost (ProductIdentity::name, name, 64);
    return true;
}

bool JuceVSTWrapper::getVendorString (char* text)
{
    copyToHost (ProductIdentity::vendor, text, 64);
    return true;
}

bool JuceVSTWrapper::getProductString (char* text) { return getEffectName (text); }
VstInt32 JuceVSTWrapper::getVendorVersion()        { return ProductIdentity::vendorVersion; }
bool JuceVSTWrapper::keysRequired()                { return filter->getProperties().wantsKeyboardInput; }

VstInt32 JuceVSTWrapper::canDo (char* text)
{
    if (text == nullptr)
        return 0;

    const auto answer = [] (bool yes) { return yes ? 1 : -1; };

    if (std::strcmp (text, "receiveVstEvents") == 0 || std::strcmp (text, "receiveVstMidiEvents") == 0)
        return answer (wantsMidiIn);

    if (std::strcmp (text, "sendVstEvents") == 0 || std::strcmp (text, "sendVstMidiEvent") == 0)
        return answer (sendsMidiOut);

    if (std::strcmp (text, "receiveVstTimeInfo") == 0 || std::strcmp (text, "conformsToWindowRules") == 0)
        return 1;

    return 0;
}

//==============================================================================
void JuceVSTWrapper::suspend()
{
    filter->releasePlaybackResources();
    midiEvents.clear();
    isPrepared = false;
}

void JuceVSTWrapper::resume()
{
    prepareFilter();
    midiEvents.clear();
}

void JuceVSTWrapper::prepareFilter()
{
    isPrepared = true;

    const float rate = getSampleRate();
    filter->sampleRate = rate > 0.0f ? (double) rate : 44100.0;
    filter->blockSize = getBlockSize();
    filter->prepareForPlayback (filter->sampleRate, filter->blockSize);
    midiEvents.ensureSize (MidiBufferLayout::reservedBytes);

    if (sendsMidiOut)
        outgoingEvents.ensureCapacity (initialOutgoingEvents);

    if (wantsMidiIn)
        wantEvents (1);
}

VstInt32 JuceVSTWrapper::processEvents (VstEvents* events)
{
    if (! wantsMidiIn || events == nullptr)
        return 0;

    for (int i = 0; i < events->numEvents; ++i)
    {
        const auto* event = events->events[i];

        if (event == nullptr || event->type != kVstMidiType)
            continue;

        const auto* midi = reinterpret_cast<const VstMidiEvent*> (event);

        // A record that does not start with a status byte carries no message.
        if ((midi->midiData[0] & 0x80) == 0)
            continue;

        // An event before the block's start sounds at its first frame.
        midiEvents.addEvent (midi->midiData, 4, std::max (0, (int) midi->deltaFrames));
    }

    return 1;
}

//==============================================================================
VstInt32 JuceVSTWrapper::getChunk (void** data, bool)
{
    return data != nullptr ? chunks.handOut (*filter, data) : 0;
}

VstInt32 JuceVSTWrapper::setChunk (void* data, VstInt32 byteSize, bool)
{
    chunks.restore (*filter, data, byteSize);
    return 0;
}

bool JuceVSTWrapper::isChunkPending() const
{
    return chunks.isPending();
}

void JuceVSTWrapper::timerCallback()
{
    // Not while the bridge is inside its own call to the host, or the host's idle request: the
    // host may be reading the chunk right then.
    if (! EditorHosting::hostCallGuard)
        chunks.releaseIfOlderThanKeepAlive (juce::Time::getMillisecondCounter());

    idleHostWhileMouseDown();
}

//==============================================================================
bool JuceVSTWrapper::getPlayPosition (PlayPositionInfo& info)
{
    const auto* time = getTimeInfo (timeInfoRequestMask);

    if (time == nullptr || time->sampleRate == 0.0)
        return false;

    const auto has = [time] (VstInt32 flag) { return (time->flags & flag) != 0; };

    info.bpm = has (kVstTempoValid) ? time->tempo : 0.0;
    info.timeSigNumerator = has (kVstTimeSigValid) ? time->timeSigNumerator : 4;
    info.timeSigDenominator = has (kVstTimeSigValid) ? time->timeSigDenominator : 4;
    info.timeInSeconds = time->samplePos / time->sampleRate;
    info.ppqPosition = has (kVstPpqPosValid) ? time->ppqPos : 0.0;
    info.ppqPositionOfLastBarStart = has (kVstBarsValid) ? time->barStartPos : 0.0;
    info.frameRateCode = has (kVstSmpteValid) ? time->smpteFrameRate : 99;

    const double fps = has (kVstSmpteValid) ? framesPerSecond (time->smpteFrameRate) : 0.0;
    info.smpteOffsetSeconds = fps > 0.0 ? time->smpteOffset / (fps * 80.0) : 0.0;

    info.transportPlaying = has (kVstTransportPlaying) || has (kVstTransportRecording);
    info.transportRecording = has (kVstTransportRecording);
    return true;
}

void JuceVSTWrapper::reportParameterChange (int index, float normalisedValue)
{
    setParameterAutomated (index, normalisedValue);
}

//==============================================================================
void JuceVSTWrapper::createEditorComp()                           { editorHosting.createEditorComp(); }
void JuceVSTWrapper::deleteEditorComp()                           { editorHosting.deleteEditorComp(); }
VstIntPtr JuceVSTWrapper::handleEditorIdle()                      { return editorHosting.handleEditorIdle(); }
void JuceVSTWrapper::idleHostWhileMouseDown()                     { editorHosting.idleHostWhileMouseDown(); }
void JuceVSTWrapper::resizeHostWindow (int width, int height)     { editorHosting.resizeHostWindow (width, height); }
EditorCompWrapper* JuceVSTWrapper::getEditorComp() const noexcept { return editorHosting.getEditorComp(); }

VstIntPtr JuceVSTWrapper::openEditor (VstInt32 index, VstIntPtr value, void* hostWindow, float opt)
{
    switch (editorHosting.openEditor (hostWindow))
    {
        case EditorHosting::OpenResult::opened:   return 1;
        case EditorHosting::OpenResult::refused:  return 0;
        case EditorHosting::OpenResult::noEditor: break;
    }

    // A filter without an editor: the effect's own answer.
    return AudioEffectX::dispatcher (effEditOpen, index, value, hostWindow, opt);
}

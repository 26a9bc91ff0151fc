#include "formats/FilterProcessor.h"

#include "engine/Corvadel.h"
#include "engine/MidiBufferLayout.h"
#include "engine/ProductIdentity.h"
#include "formats/FilterProcessorEditor.h"

#include <algorithm>

namespace
{
// The frame rates the filter knows by the codes hosts give them; 99: none or another.
int frameRateCodeOf (const juce::AudioPlayHead::FrameRate& rate)
{
    using Type = juce::AudioPlayHead::FrameRateType;

    switch (rate.getType())
    {
        case Type::fps24:       return 0;
        case Type::fps25:       return 1;
        case Type::fps2997:     return 2;
        case Type::fps30:       return 3;
        case Type::fps2997drop: return 4;
        case Type::fps30drop:   return 5;
        default:                return 99;
    }
}

// Every event goes into the block: one placed past its end sounds at its last frame, as under the
// VST 2 bridge, and one before its start at its first. Nothing is allocated while the buffer has
// room.
void addWithinBlock (juce::MidiBuffer& destination, const juce::MidiBuffer& source, int numSamples)
{
    const int lastFrame = std::max (0, numSamples - 1);

    for (const auto event : source)
        destination.addEvent (event.data, event.numBytes, std::clamp (event.samplePosition, 0, lastFrame));
}
}

FilterProcessor::FilterProcessor()
    : juce::AudioProcessor (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      filter (createFilterInstance())
{
    filter->setHostCallbacks (this);
    blockEvents.ensureSize (MidiBufferLayout::reservedBytes);
    spareRoom.ensureSize (MidiBufferLayout::reservedBytes);
}

FilterProcessor::~FilterProcessor() = default;

const juce::String FilterProcessor::getName() const
{
    return ProductIdentity::name;
}

const juce::String FilterProcessor::getProgramName (int)
{
    return ProductIdentity::name;
}

bool FilterProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    return layouts.getMainInputChannelSet().isDisabled()
           && layouts.getMainOutputChannelSet() == juce::AudioChannelSet::stereo();
}

void FilterProcessor::prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock)
{
    filter->sampleRate = sampleRate > 0.0 ? sampleRate : 44100.0;
    filter->blockSize = maximumExpectedSamplesPerBlock;
    filter->prepareForPlayback (filter->sampleRate, filter->blockSize);
    blockEvents.ensureSize (MidiBufferLayout::reservedBytes);
}

void FilterProcessor::releaseResources()
{
    filter->releasePlaybackResources();
}

void FilterProcessor::reset()
{
    filter->releasePlaybackResources();
}

void FilterProcessor::processBlock (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi)
{
    runBlock (audio, midi, false);
}

void FilterProcessor::processBlockBypassed (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi)
{
    runBlock (audio, midi, true);
}

void FilterProcessor::runBlock (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi, bool bypassed)
{
    const int numSamples = audio.getNumSamples();
    audio.clear();
    addWithinBlock (blockEvents, midi, numSamples);
    midi.clear();

    // A block of no frames has no frame to place a note at: what came waits for the next block.
    if (numSamples <= 0)
        return;

    runFilter (audio, numSamples, bypassed);

    // The filter's output goes to the client without copying, and the client's buffer comes back
    // as the next block's.
    midi.swapWith (blockEvents);
    blockEvents.clear();
    keepOwnRoomForNextBlock();
}

void FilterProcessor::runFilter (juce::AudioBuffer<float>& audio, int numSamples, bool bypassed)
{
    static float* noChannels[1] = { nullptr };
    juce::AudioBuffer<float> noInput (noChannels, 0, numSamples);

    const juce::ScopedLock sl (filter->filterLock);

    if (bypassed)
        filter->processBypassedBlock (blockEvents);
    else
        filter->processNextBlock (noInput, audio, false, blockEvents);
}

void FilterProcessor::keepOwnRoomForNextBlock()
{
    // Once the client's buffer has been handed this processor's room, it only ever hands such
    // room back; only the room it came with may be smaller, and that is parked for good.
    if (! clientRoomParked)
    {
        blockEvents.swapWith (spareRoom);
        clientRoomParked = true;
    }
}

juce::AudioProcessorEditor* FilterProcessor::createEditor()
{
   #if JUCE_LINUX
    if (xErrorFilter == nullptr)
        xErrorFilter = std::make_unique<FrameworkXErrorFilter>();
   #endif

    return new FilterProcessorEditor (*this);
}

void FilterProcessor::getStateInformation (juce::MemoryBlock& destination)
{
    juce::MemoryBlock state;
    filter->saveState (state);
    destination.append (state.getData(), state.getSize());
}

void FilterProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (data != nullptr && sizeInBytes > 0)
        filter->restoreState (data, sizeInBytes);
}

bool FilterProcessor::getPlayPosition (PlayPositionInfo& info)
{
    auto* head = getPlayHead();

    if (head == nullptr)
        return false;

    const auto position = head->getPosition();

    if (! position.hasValue())
        return false;

    const auto signature = position->getTimeSignature().orFallback (juce::AudioPlayHead::TimeSignature{});
    info.bpm = position->getBpm().orFallback (0.0);
    info.timeSigNumerator = signature.numerator;
    info.timeSigDenominator = signature.denominator;
    info.timeInSeconds = position->getTimeInSeconds().orFallback (0.0);
    info.ppqPosition = position->getPpqPosition().orFallback (0.0);
    info.ppqPositionOfLastBarStart = position->getPpqPositionOfLastBarStart().orFallback (0.0);
    info.frameRateCode = position->getFrameRate().hasValue() ? frameRateCodeOf (*position->getFrameRate()) : 99;
    info.smpteOffsetSeconds = position->getEditOriginTime().orFallback (0.0);
    info.transportPlaying = position->getIsPlaying() || position->getIsRecording();
    info.transportRecording = position->getIsRecording();
    return true;
}

#pragma once

#include "bridge/AudioFilterBase.h"

#include <juce_audio_processors/juce_audio_processors.h>

#if JUCE_LINUX
 #include "formats/FrameworkXErrorFilter.h"
#endif

#include <memory>

// The filter as the framework's plug-in clients (VST 3, LV2) see a plug-in: an AudioProcessor that
// owns one filter and hands it the blocks, the state and the editor. It adds no behaviour of its
// own: what plays, what is saved and what the editor shows are the filter's, as under the VST 2
// bridge. No parameters, MIDI in and out, two audio outputs that stay silent.
//
// Threads, as the clients call: the audio thread runs processBlock (inside the processor's callback
// lock, which the clients take around every block and only suspendProcessing takes elsewhere; this
// adds filterLock around the filter's block); prepareToPlay, releaseResources and the state run on
// the host's non-audio threads, never while a block runs; createEditor on the message thread.
class FilterProcessor : public juce::AudioProcessor,
                        private AudioFilterBase::FilterNativeCallbacks
{
public:
    // Host's thread creating the instance; builds the filter and asks it what it is.
    FilterProcessor();
    // Host's thread destroying the instance, after the editor is gone; waits on nothing.
    ~FilterProcessor() override;

    // Host's non-audio thread, never while a block runs; may allocate; waits on nothing.
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    // The host's thread that stops the processing (a VST 3 host turning processing off), never
    // while a block runs; waits on nothing. To the filter, as a suspend: the sounding chord ends.
    void reset() override;

    // Audio thread: silence on the outputs, the host's MIDI in, the filter's MIDI out. Allocates
    // nothing, waits only on filterLock.
    void processBlock (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;
    // Audio thread, for a block the host bypasses (the VST 3's bypass, the LV2's lv2:enabled
    // port): the filter ends its chord and passes the MIDI on untouched; the outputs are silent.
    // Allocates nothing, waits only on filterLock.
    void processBlockBypassed (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlockBypassed;
    // None of its own: then the VST 3 client adds its bypass parameter and the LV2 client honours
    // the host's lv2:enabled port, both by calling processBlockBypassed.
    juce::AudioProcessorParameter* getBypassParameter() const override { return nullptr; }

    // Message thread; builds the filter's editor (waiting on filterLock).
    juce::AudioProcessorEditor* createEditor() override;

    // Any thread: fixed facts; wait on nothing.
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    bool hasEditor() const override { return true; }
    const juce::String getName() const override;
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return true; }
    bool isMidiEffect() const override { return false; }
    double getTailLengthSeconds() const override { return 0.0; }

    // One program that stands for the state: the grid is the whole of what is saved. Any thread;
    // wait on nothing.
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override;
    void changeProgramName (int, const juce::String&) override {}

    // Any of the host's non-audio threads; the filter takes filterLock briefly. The bytes are the
    // filter's state, exactly as the VST 2 chunk holds them; a state the filter refuses leaves
    // the grid as it was.
    void getStateInformation (juce::MemoryBlock& destination) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    AudioFilterBase& getFilter() const noexcept { return *filter; }

private:
    // From the filter: the host's transport, through the play head the client set. Audio thread,
    // during a block (elsewhere it tells what the last block's play head said); waits on nothing.
    bool getPlayPosition (PlayPositionInfo& info) override;
    // The filter has no parameters to report.
    void reportParameterChange (int, float) override {}

    void runBlock (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi, bool bypassed);
    void runFilter (juce::AudioBuffer<float>& audio, int numSamples, bool bypassed);
    void keepOwnRoomForNextBlock();

   #if JUCE_LINUX
    // From the first editor on, while this instance lives: the framework's X errors never reach
    // the host.
    std::unique_ptr<FrameworkXErrorFilter> xErrorFilter;
   #endif
    std::unique_ptr<AudioFilterBase> filter;

    // The block's events on their way through the filter. The filter swaps its output in; this
    // buffer's room then goes to the client's buffer, which hands its own back. Both start with
    // room set aside; the room the client's buffer came with, which may be small, is parked in
    // spareRoom after the first block. Audio thread only, after construction.
    juce::MidiBuffer blockEvents;
    juce::MidiBuffer spareRoom;
    bool clientRoomParked = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilterProcessor)
};

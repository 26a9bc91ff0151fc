#pragma once

#include "engine/QuorFilterBase.h"

// A filter with three registered parameters for exercising the registry, the program list and
// the bridge. Its MIDI output is whatever it was given, unless told otherwise.
class TestFilter : public QuorFilterBase
{
public:
    TestFilter()
    {
        parameterManager->addParameter (&gain, "Gain", 0.0f, 2.0f);
        parameterManager->addParameter (&cutoff, "Cutoff frequency", 20.0f, 20020.0f);
        parameterManager->addParameter (&mix, "Mix", -1.0f, 1.0f);
    }

    void fillFilterProperties (FilterProperties& p) override { p = propertiesToAnnounce; }
    void prepareForPlayback (double, int) override { ++prepareCount; }
    void releasePlaybackResources() override { ++releaseCount; }

    void processNextBlock (juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& output, bool accumulate,
                           juce::MidiBuffer& midi) override
    {
        lastInputChannels = input.getNumChannels();
        lastOutputChannels = output.getNumChannels();
        lastAccumulate = accumulate;
        lastSampleCount = output.getNumSamples();

        if (replacementMidi != nullptr)
        {
            midi.clear();
            midi.addEvents (*replacementMidi, 0, -1, 0);
        }
    }

    AudioFilterEditor* createFilterEditor() override { return nullptr; }
    void handleMessage (const juce::Message&) override {}

    void addProgram (const juce::String& name, std::initializer_list<float> values)
    {
        juce::MemoryBlock data;

        for (float v : values)
            data.append (&v, sizeof (v));

        programs.addProgram (name, data);
    }

    void setCurrentProgram (int index) { currentProgram = index; }

    float gain = 1.0f, cutoff = 1000.0f, mix = 0.0f;
    FilterProperties propertiesToAnnounce;
    const juce::MidiBuffer* replacementMidi = nullptr;
    int prepareCount = 0, releaseCount = 0;
    int lastInputChannels = -1, lastOutputChannels = -1, lastSampleCount = -1;
    bool lastAccumulate = false;
};

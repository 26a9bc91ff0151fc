#pragma once

// A host built on the framework's own plug-in hosting (VST 3 and LV2), as the tests drive the
// VST 3 and LV2 bundles: loaded from disk by their formats' loaders, played block by block with
// MIDI in and out, their state saved and restored as such a host keeps it, their editor made.

#include "tests/formats/FormatPlugin.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <string>
#include <vector>

// The VST 3 bundle the program loads: each test program says where it keeps it.
juce::File vst3BundleUnderTest();

// The VST 3 or LV2 bundle through the framework's hosting.
class HostedPlugin : public FormatPlugin
{
public:
    // Message thread. Loads the built bundle of a VST 3 or LV2 format and prepares it to play.
    explicit HostedPlugin (PluginFormat format, double sampleRate = 48000.0, int blockSize = 512);
    ~HostedPlugin() override;

    PluginFormat format() const { return pluginFormat; }
    juce::AudioPluginInstance& instance() { return *plugin; }

    std::vector<MidiOut> play (const std::vector<PluginHost::InputEvent>& events, int numSamples = 512) override;
    // A host's MIDI for a block, as the framework's hosting hands it to the plug-in.
    static juce::MidiBuffer midiOf (const std::vector<PluginHost::InputEvent>& events);
    // The block alone, in the host's prepared buffers: for the audio thread's counts.
    void runBlock (const juce::MidiBuffer& events, int numSamples);
    float outputPeak() const;
    // How many events the last block sent.
    int lastOutputSize() const { return midi.getNumEvents(); }

    // The state as this format's host keeps it, whole.
    juce::MemoryBlock hostState();
    void restoreHostState (const juce::MemoryBlock& state);

    // The VST 3 component's stream, as a host keeps it in a project: the plug-in's bytes and
    // what JUCE's client appends.
    std::vector<uint8_t> vst3ComponentStream();
    void loadVst3ComponentStream (const std::vector<uint8_t>& stream);

    // The editor as the framework's hosting makes it, embedded in the host's native window (an X
    // window id or an HWND) at its top left corner; closing it tells the plug-in first.
    std::unique_ptr<juce::AudioProcessorEditor> openEditorIn (void* hostWindow);
    void closeEditor (std::unique_ptr<juce::AudioProcessorEditor>& editor);

    std::vector<uint8_t> saveGrid() override;
    void loadGrid (const std::vector<uint8_t>& grid) override;
    // JUCE's VST 3 hosting deactivates (processing off, then the component inactive) and
    // activates again; its LV2 hosting deactivates and then builds a new instance from the saved
    // state.
    void suspendAndResume() override;
    // Through the hosted plug-in's bypass parameter: the VST 3's own, the LV2's lv2:enabled port.
    bool setBypassed (bool bypassed) override;

private:
    PluginFormat pluginFormat;
    double rate;
    int maximumBlockSize;
    std::unique_ptr<juce::AudioPluginInstance> plugin;
    juce::AudioBuffer<float> audio;
    juce::MidiBuffer midi;
};

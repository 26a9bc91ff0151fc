#pragma once

// A host built on the framework's own plug-in hosting (VST 3 and LV2), as the tests drive the
// VST 3 and LV2 bundles: loaded from disk by their formats' loaders, played block by block with
// MIDI in and out, their state saved and restored as such a host keeps it, their editor made.

#include "tests/support/PluginHost.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <string>
#include <vector>

enum class PluginFormat { vst2, vst3, lv2 };
std::string nameOf (PluginFormat format);

// The sample at which the plug-in sees a pedal press the host placed at this sample. A VST 3 gets
// controllers as parameter changes (JUCE's client maps them to parameters, as VST 3 asks), and
// JUCE's VST 3 hosting puts every parameter change at the block's start; real hosts keep the
// sample (the Ardour session test checks it for the VST 3). Every other format, and every other
// event, keeps its sample.
int pedalSampleSeen (PluginFormat format, int sample);
std::vector<int> pedalSamplesSeen (PluginFormat format, std::vector<int> samples);

// One MIDI message the plug-in sent, at its sample position in the block.
struct MidiOut
{
    int sample;
    uint8_t status, data1, data2;
    bool operator== (const MidiOut& other) const;
};
std::ostream& operator<< (std::ostream& out, const MidiOut& message);

// One instance of the plug-in in one format, driven as that format's host drives it.
class FormatPlugin
{
public:
    virtual ~FormatPlugin() = default;
    // One block with these events in; what came out, in order.
    virtual std::vector<MidiOut> play (const std::vector<PluginHost::InputEvent>& events, int numSamples = 512) = 0;
    // The plug-in's own state bytes inside what the host keeps, and what the host keeps made
    // around such bytes (for the VST 2, the chunk itself).
    virtual std::vector<uint8_t> saveGrid() = 0;
    virtual void loadGrid (const std::vector<uint8_t>& grid) = 0;
};

// A new instance in that format, prepared to play: the VST 2 through the tests' own VST 2 host,
// the others through the framework's hosting. Message thread.
std::unique_ptr<FormatPlugin> openPlugin (PluginFormat format);

class HostedPlugin : public FormatPlugin
{
public:
    // Message thread. Loads the built bundle of a VST 3 or LV2 format and prepares it to play.
    explicit HostedPlugin (PluginFormat format, double sampleRate = 48000.0, int blockSize = 512);
    ~HostedPlugin() override;

    PluginFormat format() const { return pluginFormat; }
    juce::AudioPluginInstance& instance() { return *plugin; }

    std::vector<MidiOut> play (const std::vector<PluginHost::InputEvent>& events, int numSamples = 512) override;
    // The block alone, in the host's prepared buffers: for the audio thread's counts.
    void runBlock (const juce::MidiBuffer& events, int numSamples);
    float outputPeak() const;
    // How many events the last block sent.
    int lastOutputSize() const { return midi.getNumEvents(); }

    // The state as this format's host keeps it, whole.
    juce::MemoryBlock hostState();
    void restoreHostState (const juce::MemoryBlock& state);

    std::vector<uint8_t> saveGrid() override;
    void loadGrid (const std::vector<uint8_t>& grid) override;

private:
    PluginFormat pluginFormat;
    std::unique_ptr<juce::AudioPluginInstance> plugin;
    juce::AudioBuffer<float> audio;
    juce::MidiBuffer midi;
};

#pragma once

// The plug-in in each of its formats, as the tests drive it: the formats, the MIDI a block sends
// back, and one instance driven as its format's host drives it.

#include "tests/support/PluginHost.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

enum class PluginFormat { vst2, vst3, lv2 };
std::string nameOf (PluginFormat format);
// Names a parameterised test after its format (given the test framework's parameter information).
struct FormatTestName
{
    template <typename ParamInfo>
    std::string operator() (const ParamInfo& info) const { return nameOf (info.param); }
};

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
    // The host stops the plug-in and starts it again, as its format does: the VST 2 suspended and
    // resumed, a framework-hosted plug-in's resources released and prepared again.
    virtual void suspendAndResume() = 0;
    // The host's bypass; false where the format has none.
    virtual bool setBypassed (bool) { return false; }
};

// The formats this test program hosts: every one on Linux; on Windows the VST 2 DLL and the
// VST 3 bundle (the framework hosts no LV2 there).
const std::vector<PluginFormat>& testedFormats();

// A new instance in that format, prepared to play: the VST 2 through the tests' own VST 2 host,
// the others through the framework's hosting. Message thread.
std::unique_ptr<FormatPlugin> openPlugin (PluginFormat format);

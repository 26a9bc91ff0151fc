#pragma once

#include "PedalSchedule.h"
#include "HostCallbackReceiver.h"
#include "PluginLibrary.h"

#include "host/VstInterface.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstdint>
#include <functional>
#include <vector>

// One plug-in instance driven as a host drives it: created through the library's entry, opened
// and switched on, given its state, fed the pedal schedule's messages before blocks of silent
// audio (with its window closed, as hosts keep it), and closed again. Everything the plug-in
// sends back through the host callback is collected with its sample position.
class PluginSession : private HostCallbackReceiver
{
public:
    static constexpr double sampleRate = 48000.0;
    static constexpr int blockSize = 512;
    // The most audio channels each way that a filter may declare to the bridge: a record that
    // claims more is not believed, and no channel arrays are made for it.
    static constexpr int maxChannels = 32;

    struct ReturnedEvent
    {
        int64_t samplePosition;
        juce::MidiMessage message;
    };

    using ProgressCallback = std::function<void (double fractionPlayed)>;

    // What a host learns of the plug-in before it plays anything.
    struct Description
    {
        juce::String name, vendor, product;
        int vendorVersion = 0;
        int32_t uniqueId = 0;
        int category = 0;
        int numInputs = 0, numOutputs = 0, numPrograms = 0, numParameters = 0;
        int32_t flags = 0;
        std::vector<std::pair<juce::String, int>> capabilities;  // canDo text, answer
    };

    // Throws InputError when the entry gives no instance, something that is not an effect, or
    // an effect claiming more than maxChannels audio inputs or outputs (or fewer than none).
    explicit PluginSession (const PluginLibrary& library);
    ~PluginSession() override;

    Description describe();
    void startPlayback();
    // Hands the state over and returns the state the plug-in then keeps, empty when it did not
    // keep it.
    juce::MemoryBlock handOverState (const juce::MemoryBlock& chunk);
    // Plays the schedule's messages, each at its sample, block after block, up to the block of
    // the last one.
    std::vector<ReturnedEvent> play (const PedalSchedule& pedal, const ProgressCallback& progress);
    juce::MemoryBlock fetchState();

    static int64_t samplePositionOf (double seconds);

private:
    VstIntPtr answer (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
    void collect (const VstEvents& events);
    void checkChannelCounts (const std::string& path);

    juce::String askText (VstInt32 opcode);
    VstIntPtr dispatch (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                        float opt = 0.0f);
    void deliverPedal (const std::vector<PedalSchedule::Event>& events, size_t first, size_t end);
    void processSilentBlock();

    AEffect* effect = nullptr;
    bool switchedOn = false;
    int64_t blockStart = 0;
    std::vector<ReturnedEvent> returned;

    std::vector<VstMidiEvent> pedalRecords;
    std::vector<uint8_t> pedalListBytes;  // a VstEvents header followed by its pointers
    std::vector<float> silence;
    std::vector<float*> inputChannels, outputChannels;

    JUCE_DECLARE_NON_COPYABLE (PluginSession)
};

#include "PluginSession.h"

#include "InputError.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace
{
constexpr VstIntPtr hostVersion = 2400;
constexpr int audioChannels = 2;
}

PluginSession::PluginSession (const PluginLibrary& library)
{
    const auto& path = library.getPath();
    effect = library.callEntry (HostCallbackReceiver::callback());

    if (effect == nullptr)
        throw InputError ("the plug-in " + path + " refused to create an instance");

    if (effect->magic != kEffectMagic || effect->dispatcher == nullptr || effect->processReplacing == nullptr)
    {
        // Nothing can be asked of a record that is not an effect's, not even to close it.
        effect = nullptr;
        throw InputError ("the plug-in " + path + " returned no usable VST 2 effect");
    }

    checkChannelCounts (path);

    // Counts checked above: at most maxChannels each.
    const int inputs = std::max (audioChannels, (int) effect->numInputs);
    const int outputs = std::max (audioChannels, (int) effect->numOutputs);
    silence.assign ((size_t) (inputs + outputs) * blockSize, 0.0f);

    for (int i = 0; i < inputs; ++i)
        inputChannels.push_back (silence.data() + (size_t) i * blockSize);

    for (int i = 0; i < outputs; ++i)
        outputChannels.push_back (silence.data() + (size_t) (inputs + i) * blockSize);
}

void PluginSession::checkChannelCounts (const std::string& path)
{
    for (const auto& [count, direction] : { std::pair { effect->numInputs, "inputs" }, { effect->numOutputs, "outputs" } })
    {
        if (count >= 0 && count <= maxChannels)
            continue;

        // A well-formed record: the instance is closed before the session gives up on it.
        dispatch (effClose);
        effect = nullptr;
        throw InputError ("the plug-in " + path + " claims " + std::to_string (count) + " audio " + direction
                          + "; a plug-in has 0 to " + std::to_string (maxChannels));
    }
}

PluginSession::~PluginSession()
{
    if (effect != nullptr)
    {
        if (switchedOn)
            dispatch (effMainsChanged, 0, 0);

        // Also deletes the instance itself.
        dispatch (effClose);
    }

}

VstIntPtr PluginSession::dispatch (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return effect->dispatcher (effect, opcode, index, value, ptr, opt);
}

juce::String PluginSession::askText (VstInt32 opcode)
{
    // Hosts give a generous buffer: plug-ins are known to write past the limits they are given.
    char text[256] = {};
    dispatch (opcode, 0, 0, text);
    text[sizeof (text) - 1] = 0;
    return juce::String (text);
}

PluginSession::Description PluginSession::describe()
{
    Description d;
    d.name = askText (effGetEffectName);
    d.vendor = askText (effGetVendorString);
    d.product = askText (effGetProductString);
    d.vendorVersion = (int) dispatch (effGetVendorVersion);
    d.category = (int) dispatch (effGetPlugCategory);
    d.uniqueId = effect->uniqueID;
    d.numInputs = effect->numInputs;
    d.numOutputs = effect->numOutputs;
    d.numPrograms = effect->numPrograms;
    d.numParameters = effect->numParams;
    d.flags = effect->flags;

    for (const char* capability : { "receiveVstEvents", "receiveVstMidiEvents", "sendVstEvents", "sendVstMidiEvent",
                                    "receiveVstTimeInfo", "conformsToWindowRules", "sizeWindow" })
    {
        std::string text (capability);
        d.capabilities.push_back ({ capability, (int) dispatch (effCanDo, 0, 0, text.data()) });
    }

    return d;
}

void PluginSession::startPlayback()
{
    dispatch (effOpen);
    dispatch (effSetSampleRate, 0, 0, nullptr, (float) sampleRate);
    dispatch (effSetBlockSize, 0, blockSize);
    dispatch (effMainsChanged, 0, 1);
    switchedOn = true;
}

juce::MemoryBlock PluginSession::handOverState (const juce::MemoryBlock& chunk)
{
    // The plug-in may keep the pointer until it returns: give it a copy of its own to read.
    juce::MemoryBlock copy (chunk);
    dispatch (effSetChunk, 0, (VstIntPtr) copy.getSize(), copy.getData());

    return fetchState();
}

juce::MemoryBlock PluginSession::fetchState()
{
    void* data = nullptr;
    const auto size = dispatch (effGetChunk, 0, 0, &data);

    if (size <= 0 || data == nullptr)
        return {};

    return juce::MemoryBlock (data, (size_t) size);
}

int64_t PluginSession::samplePositionOf (double seconds)
{
    return (int64_t) std::llround (seconds * sampleRate);
}

std::vector<PluginSession::ReturnedEvent> PluginSession::play (const PedalSchedule& pedal,
                                                                const ProgressCallback& progress)
{
    const auto& events = pedal.getEvents();
    returned.clear();

    if (events.empty())
        return {};

    const int64_t lastSample = samplePositionOf (pedal.getLastEventSeconds());
    const int64_t numBlocks = lastSample / blockSize + 1;
    size_t next = 0;

    for (int64_t block = 0; block < numBlocks; ++block)
    {
        blockStart = block * blockSize;
        const size_t first = next;

        while (next < events.size() && samplePositionOf (events[next].seconds) < blockStart + blockSize)
            ++next;

        if (next > first)
            deliverPedal (events, first, next);

        processSilentBlock();

        if (progress)
            progress ((double) (block + 1) / (double) numBlocks);
    }

    return std::move (returned);
}

void PluginSession::deliverPedal (const std::vector<PedalSchedule::Event>& events, size_t first, size_t end)
{
    const size_t count = end - first;
    pedalRecords.assign (count, VstMidiEvent {});

    for (size_t i = 0; i < count; ++i)
    {
        const auto& event = events[first + i];
        auto& record = pedalRecords[i];
        record.type = kVstMidiType;
        record.byteSize = (VstInt32) sizeof (VstMidiEvent);
        record.deltaFrames = (VstInt32) (samplePositionOf (event.seconds) - blockStart);
        std::copy (std::begin (event.bytes), std::end (event.bytes), record.midiData);
    }

    // The declared list has room for two pointers; a longer one simply runs on.
    pedalListBytes.assign (offsetof (VstEvents, events) + sizeof (VstEvent*) * std::max<size_t> (count, 2), 0);
    auto* list = reinterpret_cast<VstEvents*> (pedalListBytes.data());
    list->numEvents = (VstInt32) count;

    for (size_t i = 0; i < count; ++i)
        list->events[i] = reinterpret_cast<VstEvent*> (&pedalRecords[i]);

    dispatch (effProcessEvents, 0, 0, list);
}

void PluginSession::processSilentBlock()
{
    std::fill (silence.begin(), silence.end(), 0.0f);
    effect->processReplacing (effect, inputChannels.data(), outputChannels.data(), blockSize);
}

VstIntPtr PluginSession::answer (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    switch (opcode)
    {
        case audioMasterVersion:
            return hostVersion;

        case audioMasterProcessEvents:
            if (ptr != nullptr)
                collect (*static_cast<const VstEvents*> (ptr));

            return 1;

        default:
            return 0;
    }
}

void PluginSession::collect (const VstEvents& events)
{
    for (int i = 0; i < events.numEvents; ++i)
    {
        const auto* event = events.events[i];

        if (event == nullptr || event->type != kVstMidiType)
            continue;

        const auto* midi = reinterpret_cast<const VstMidiEvent*> (event);
        const auto* bytes = reinterpret_cast<const juce::uint8*> (midi->midiData);

        // A record without a status byte carries no message.
        if ((bytes[0] & 0x80) == 0 || bytes[0] == 0xF0)
            continue;

        const int length = std::min (3, juce::MidiMessage::getMessageLengthFromFirstByte (bytes[0]));
        returned.push_back ({ blockStart + midi->deltaFrames, juce::MidiMessage (bytes, length) });
    }
}

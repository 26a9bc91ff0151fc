#include "tests/support/PluginHost.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

std::string builtPluginPath()
{
#if defined(_WIN32)
    return SharedLibrary::besideThisProgram ("Corvadel.dll");
#else
    return CORVADEL_PLUGIN_PATH;
#endif
}

//==============================================================================
PluginHost::PluginHost (PluginLibrary& lib) : library (lib)
{
}

PluginHost::~PluginHost()
{
    closeAll();
}

AEffect* PluginHost::createInstance (const char* entry)
{
    auto* effect = library.callEntry (HostCallbackReceiver::callback(), entry);

    if (effect != nullptr)
    {
        const std::lock_guard<std::recursive_mutex> sl (lock);
        openInstances.push_back (effect);
    }

    return effect;
}

VstIntPtr PluginHost::close (AEffect* effect)
{
    {
        const std::lock_guard<std::recursive_mutex> sl (lock);
        auto it = std::find (openInstances.begin(), openInstances.end(), effect);

        if (it == openInstances.end())
            return 0;

        openInstances.erase (it);
    }

    return effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f);
}

void PluginHost::closeAll()
{
    std::vector<AEffect*> instances;

    {
        const std::lock_guard<std::recursive_mutex> sl (lock);
        instances = openInstances;
    }

    for (auto* effect : instances)
        close (effect);
}

VstIntPtr PluginHost::dispatch (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return effect->dispatcher (effect, opcode, index, value, ptr, opt);
}

void PluginHost::startPlaying (AEffect* effect, float sampleRate, int blockSize)
{
    dispatch (effect, effOpen);
    dispatch (effect, effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch (effect, effSetBlockSize, 0, blockSize);
    dispatch (effect, effMainsChanged, 0, 1);
}

void PluginHost::deliverEvents (AEffect* effect, const std::vector<InputEvent>& events)
{
    inputRecords.assign (events.size(), VstMidiEvent {});

    for (size_t i = 0; i < events.size(); ++i)
    {
        auto& r = inputRecords[i];
        r.type = kVstMidiType;
        r.byteSize = sizeof (VstMidiEvent);
        r.deltaFrames = events[i].deltaFrames;
        r.midiData[0] = (char) events[i].status;
        r.midiData[1] = (char) events[i].data1;
        r.midiData[2] = (char) events[i].data2;
    }

    inputList.assign (offsetof (VstEvents, events) + sizeof (VstEvent*) * (events.size() + 2), 0);
    auto* list = reinterpret_cast<VstEvents*> (inputList.data());
    list->numEvents = (VstInt32) events.size();

    for (size_t i = 0; i < events.size(); ++i)
        list->events[i] = reinterpret_cast<VstEvent*> (&inputRecords[i]);

    dispatch (effect, effProcessEvents, 0, 0, list);
}

void PluginHost::runBlock (AEffect* effect, int numSamples, bool replacing)
{
    std::vector<float> samples ((size_t) numSamples * 4, 0.0f);
    float* inputs[2] = { samples.data(), samples.data() + numSamples };
    float* outputs[2] = { samples.data() + 2 * numSamples, samples.data() + 3 * numSamples };

    if (replacing)
        effect->processReplacing (effect, inputs, outputs, numSamples);
    else
        effect->process (effect, inputs, outputs, numSamples);
}

std::vector<SentMidi> PluginHost::processBlock (AEffect* effect, const std::vector<InputEvent>& events,
                                                int numSamples, bool replacing)
{
    takeSentMidi();

    if (! events.empty())
        deliverEvents (effect, events);

    runBlock (effect, numSamples, replacing);
    return takeSentMidi();
}

std::vector<uint8_t> PluginHost::getChunk (AEffect* effect)
{
    void* data = nullptr;
    const auto size = dispatch (effect, effGetChunk, 0, 0, &data);

    if (size <= 0 || data == nullptr)
        return {};

    const auto* bytes = static_cast<const uint8_t*> (data);
    return std::vector<uint8_t> (bytes, bytes + size);
}

void PluginHost::setChunk (AEffect* effect, const std::vector<uint8_t>& chunk)
{
    auto copy = chunk;
    dispatch (effect, effSetChunk, 0, (VstIntPtr) copy.size(), copy.empty() ? nullptr : copy.data());
}

std::vector<HostRequest> PluginHost::requests() const
{
    const std::lock_guard<std::recursive_mutex> sl (lock);
    return recorded;
}

std::vector<HostRequest> PluginHost::requestsWithOpcode (VstInt32 opcode) const
{
    std::vector<HostRequest> matching;

    for (const auto& r : requests())
        if (r.opcode == opcode)
            matching.push_back (r);

    return matching;
}

void PluginHost::clearRequests()
{
    const std::lock_guard<std::recursive_mutex> sl (lock);
    recorded.clear();
}

std::vector<SentMidi> PluginHost::takeSentMidi()
{
    const std::lock_guard<std::recursive_mutex> sl (lock);
    std::vector<SentMidi> taken;
    taken.swap (sentMidi);
    return taken;
}

VstIntPtr PluginHost::answer (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    HostRequest request { effect, opcode, index, value, ptr, opt, {} };

    if (opcode == audioMasterCanDo && ptr != nullptr)
        request.text = static_cast<const char*> (ptr);

    record (request);
    return answerRecorded (request);
}

void PluginHost::record (const HostRequest& request)
{
    const std::lock_guard<std::recursive_mutex> sl (lock);
    recorded.push_back (request);

    if (request.opcode != audioMasterProcessEvents || request.ptr == nullptr)
        return;

    const auto* list = static_cast<const VstEvents*> (request.ptr);

    for (int i = 0; i < list->numEvents; ++i)
    {
        const auto* e = reinterpret_cast<const VstMidiEvent*> (list->events[i]);
        SentMidi sent;
        sent.deltaFrames = e->deltaFrames;
        sent.type = e->type;
        sent.byteSize = e->byteSize;
        std::memcpy (sent.bytes, e->midiData, 4);
        sentMidi.push_back (sent);
    }
}

VstIntPtr PluginHost::answerRecorded (const HostRequest& request)
{
    if (answerOverride)
        if (auto given = answerOverride (request))
            return *given;

    switch (request.opcode)
    {
        case audioMasterVersion: return versionAnswer;
        case audioMasterProcessEvents: return processEventsAnswer;
        default: return 0;
    }
}

//==============================================================================
void writeInt32 (std::vector<uint8_t>& bytes, size_t offset, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + (size_t) i] = (uint8_t) ((uint32_t) value >> (8 * i));
}

int32_t readInt32 (const std::vector<uint8_t>& bytes, size_t offset)
{
    uint32_t v = 0;

    for (int i = 0; i < 4; ++i)
        v |= (uint32_t) bytes[offset + (size_t) i] << (8 * i);

    return (int32_t) v;
}

std::vector<uint8_t> makeGridChunk (const std::vector<ChordColumn>& columns, int cellsPerColumn)
{
    std::vector<uint8_t> chunk (8 + columns.size() * (size_t) cellsPerColumn * 8, 0);
    writeInt32 (chunk, 0, (int32_t) columns.size());
    writeInt32 (chunk, 4, cellsPerColumn);

    for (size_t c = 0; c < columns.size(); ++c)
    {
        const size_t columnStart = 8 + c * (size_t) cellsPerColumn * 8;

        for (int cell = 0; cell < cellsPerColumn; ++cell)
            writeInt32 (chunk, columnStart + (size_t) cell * 8 + 4, 100);

        for (auto [note, velocity] : columns[c].notes)
        {
            if (note < 0 || note >= cellsPerColumn)
                continue;

            chunk[columnStart + (size_t) note * 8] = 1;
            writeInt32 (chunk, columnStart + (size_t) note * 8 + 4, velocity);
        }
    }

    return chunk;
}

std::vector<uint8_t> settingsBlock (const StoredSettings& settings)
{
    std::vector<uint8_t> block { 'C', 'V', 'd', 's', 0, 0, 0, 0, 0, 0, 0, 0 };
    writeInt32 (block, 4, 1);
    writeInt32 (block, 8, 8);

    for (int field : { settings.next, settings.previous, settings.reset, settings.jumpByProgramChange ? 1 : 0,
                       settings.endOfGrid, settings.passThrough ? 1 : 0, settings.channel, settings.transpose })
        block.push_back ((uint8_t) (int8_t) field);

    return block;
}

std::vector<uint8_t> makeGridChunk (const std::vector<ChordColumn>& columns, const StoredSettings& settings)
{
    auto chunk = makeGridChunk (columns);
    const auto block = settingsBlock (settings);
    chunk.insert (chunk.end(), block.begin(), block.end());
    return chunk;
}

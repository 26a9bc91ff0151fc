#pragma once

// A host of the tests' own: gets instances of the built plug-in through its exported entry,
// records every request the plug-in makes through the host callback and answers as each test
// wants.

#include "host/VstInterface.h"
#include "tools/vst-host/HostCallbackReceiver.h"
#include "tools/vst-host/PluginLibrary.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct HostRequest
{
    AEffect* effect = nullptr;
    VstInt32 opcode = 0;
    VstInt32 index = 0;
    VstIntPtr value = 0;
    void* ptr = nullptr;
    float opt = 0.0f;
    std::string text;  // the string of a canDo request
};

struct SentMidi
{
    int deltaFrames = 0;
    uint8_t bytes[4] = {};
    VstInt32 type = 0;
    VstInt32 byteSize = 0;

    uint8_t status() const { return bytes[0]; }
    uint8_t note() const { return bytes[1]; }
    uint8_t velocity() const { return bytes[2]; }
    bool isNoteOn() const { return (bytes[0] & 0xF0) == 0x90; }
    bool isNoteOff() const { return (bytes[0] & 0xF0) == 0x80; }
};

// The built plug-in: Corvadel.so from the build, or Corvadel.dll beside the test program.
std::string builtPluginPath();

class PluginHost : private HostCallbackReceiver
{
public:
    explicit PluginHost (PluginLibrary& library);
    ~PluginHost() override;

    // One instance through the named entry; nullptr when the plug-in refuses.
    AEffect* createInstance (const char* entry = "VSTPluginMain");
    // Closes every instance still open.
    void closeAll();
    // The dispatcher's answer to effClose.
    VstIntPtr close (AEffect* effect);

    VstIntPtr dispatch (AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                        void* ptr = nullptr, float opt = 0.0f);

    // Delivers the events (3-byte messages at sample offsets) and runs one block; returns what the
    // plug-in sent back during that block.
    struct InputEvent
    {
        int deltaFrames;
        uint8_t status, data1, data2;
    };
    std::vector<SentMidi> processBlock (AEffect* effect, const std::vector<InputEvent>& events,
                                        int numSamples = 512, bool replacing = true);
    void deliverEvents (AEffect* effect, const std::vector<InputEvent>& events);
    void runBlock (AEffect* effect, int numSamples = 512, bool replacing = true);

    // Opens the instance and switches it on, as hosts do before they play.
    void startPlaying (AEffect* effect, float sampleRate = 48000.0f, int blockSize = 512);

    std::vector<uint8_t> getChunk (AEffect* effect);
    void setChunk (AEffect* effect, const std::vector<uint8_t>& chunk);

    // Every request since the last clear.
    std::vector<HostRequest> requests() const;
    std::vector<HostRequest> requestsWithOpcode (VstInt32 opcode) const;
    void clearRequests();
    std::vector<SentMidi> takeSentMidi();

    // Answers: a test may replace any answer; unset ones get the defaults below.
    std::function<std::optional<VstIntPtr> (const HostRequest&)> answerOverride;
    VstIntPtr versionAnswer = 2400;
    VstIntPtr processEventsAnswer = 1;

private:
    VstIntPtr answer (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
    void record (const HostRequest& request);
    VstIntPtr answerRecorded (const HostRequest& request);

    PluginLibrary& library;
    mutable std::recursive_mutex lock;
    std::vector<HostRequest> recorded;
    std::vector<SentMidi> sentMidi;
    std::vector<AEffect*> openInstances;
    std::vector<VstMidiEvent> inputRecords;
    std::vector<uint8_t> inputList;
};

// Little-endian 32-bit integers inside a chunk.
void writeInt32 (std::vector<uint8_t>& bytes, size_t offset, int32_t value);
int32_t readInt32 (const std::vector<uint8_t>& bytes, size_t offset);

// A grid state chunk: columns of 128 cells, each column's notes switched on at the velocity given.
struct ChordColumn
{
    std::vector<std::pair<int, int32_t>> notes;  // note, velocity
};
std::vector<uint8_t> makeGridChunk (const std::vector<ChordColumn>& columns, int cellsPerColumn = 128);

// The player's settings as the state stores them after the grid, written from the documented
// layout (not from the plug-in's code): "CVds", int32 version 1, int32 8, then eight bytes.
struct StoredSettings
{
    int next = 64, previous = -1, reset = -1;
    bool jumpByProgramChange = false;
    int endOfGrid = 0;  // 0 wrap, 1 stop, 2 hold
    bool passThrough = false;
    int channel = 1;
    int transpose = 0;
};
std::vector<uint8_t> settingsBlock (const StoredSettings& settings);
std::vector<uint8_t> makeGridChunk (const std::vector<ChordColumn>& columns, const StoredSettings& settings);

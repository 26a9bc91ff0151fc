#pragma once

#include "host/VstInterface.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// A MIDI message in an event record that a plug-in must read: a MIDI event whose first data
// byte is a status byte.
struct IncomingMidi
{
    int32_t deltaFrames = 0;
    std::array<uint8_t, 4> bytes {};
};

// One VstEvents list as a host hands it over, with every record a heap block of its own so that
// a read past a record or past the list's last entry is caught.
class EventList
{
public:
    void addRecord (int32_t type, int32_t byteSize, int32_t deltaFrames, std::array<uint8_t, 4> bytes);
    void addNullEntry();
    // A numEvents that disagrees with the entries: 0, or negative.
    void claimCount (int32_t count) { countClaimed = true; claimedCount = count; }

    VstEvents* build();
    size_t numEntries() const { return records.size(); }
    // The messages of the entries that numEvents covers.
    std::vector<IncomingMidi> readableMidi() const;

private:
    int32_t numEventsField() const;

    std::vector<std::unique_ptr<VstMidiEvent>> records;  // null for a null entry
    std::unique_ptr<VstIntPtr[]> storage;
    bool countClaimed = false;
    int32_t claimedCount = 0;
};

#include "tests/fuzz/EventList.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

void EventList::addRecord (int32_t type, int32_t byteSize, int32_t deltaFrames, std::array<uint8_t, 4> bytes)
{
    auto record = std::make_unique<VstMidiEvent>();
    record->type = type;
    record->byteSize = byteSize;
    record->deltaFrames = deltaFrames;
    std::memcpy (record->midiData, bytes.data(), 4);
    records.push_back (std::move (record));
}

void EventList::addNullEntry()
{
    records.push_back (nullptr);
}

int32_t EventList::numEventsField() const
{
    return countClaimed ? claimedCount : (int32_t) records.size();
}

VstEvents* EventList::build()
{
    static_assert (offsetof (VstEvents, events) % sizeof (VstIntPtr) == 0, "the pointers follow the header");
    constexpr size_t headerWords = offsetof (VstEvents, events) / sizeof (VstIntPtr);
    // The declared list has room for two pointers; a longer one has exactly as many as it holds.
    const size_t words = headerWords + std::max<size_t> (2, records.size());
    storage = std::make_unique<VstIntPtr[]> (words);

    auto* list = reinterpret_cast<VstEvents*> (storage.get());
    list->numEvents = numEventsField();

    for (size_t i = 0; i < records.size(); ++i)
        list->events[i] = reinterpret_cast<VstEvent*> (records[i].get());

    return list;
}

std::vector<IncomingMidi> EventList::readableMidi() const
{
    std::vector<IncomingMidi> midi;
    const auto covered = (size_t) std::clamp<int32_t> (numEventsField(), 0, (int32_t) records.size());

    for (size_t i = 0; i < covered; ++i)
    {
        const auto* record = records[i].get();

        if (record == nullptr || record->type != kVstMidiType || ((uint8_t) record->midiData[0] & 0x80) == 0)
            continue;

        IncomingMidi message;
        message.deltaFrames = record->deltaFrames;
        std::memcpy (message.bytes.data(), record->midiData, 4);
        midi.push_back (message);
    }

    return midi;
}

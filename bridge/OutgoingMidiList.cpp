#include "bridge/OutgoingMidiList.h"

#include "engine/MidiBufferLayout.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace
{
// The list ends with two spare null entries after the records.
size_t listSize (int capacity)
{
    return offsetof (VstEvents, events) + sizeof (VstEvent*) * (size_t) (capacity + 2);
}

using MidiBufferLayout::eventHeaderSize;
}

OutgoingMidiList::~OutgoingMidiList()
{
    release();
}

void OutgoingMidiList::ensureCapacity (int numEvents)
{
    if (capacity >= numEvents)
        return;

    const int newCapacity = numEvents + spareRecords;
    const size_t oldSize = list == nullptr ? 0 : listSize (capacity);
    auto* grown = static_cast<VstEvents*> (std::realloc (list, listSize (newCapacity)));

    if (grown == nullptr)
        return;

    std::memset (reinterpret_cast<char*> (grown) + oldSize, 0, listSize (newCapacity) - oldSize);
    list = grown;

    // The new records lie side by side, so that filling them runs through memory in order.
    const int numNew = newCapacity - capacity;
    auto* records = static_cast<VstMidiEvent*> (std::calloc ((size_t) numNew, sizeof (VstMidiEvent)));

    if (records == nullptr)
        return;

    try
    {
        recordRuns.push_back (records);
    }
    catch (const std::bad_alloc&)
    {
        std::free (records);
        return;
    }

    for (int i = 0; i < numNew; ++i)
    {
        records[i].type = kVstMidiType;
        records[i].byteSize = 24;
        list->events[capacity + i] = reinterpret_cast<VstEvent*> (records + i);
    }

    capacity = newCapacity;
}

VstEvents* OutgoingMidiList::fillFrom (const juce::MidiBuffer& events)
{
    if (list == nullptr)
        return nullptr;

    const auto* bytes = events.data.begin();
    const auto* const end = events.data.end();
    int filled = 0;
    // Kept in locals: the byte writes below may alias anything, the locals they cannot.
    VstEvent** records = list->events;
    int room = capacity;

    // The buffer's own layout is walked directly: counting its events first would walk it twice.
    while (bytes + eventHeaderSize <= end)
    {
        const auto position = MidiBufferLayout::positionOf (bytes);
        const int numBytes = MidiBufferLayout::sizeOf (bytes);
        const auto* message = bytes + eventHeaderSize;

        // Note messages, the usual case, are stepped over at their fixed size: the next event's
        // place then does not wait for this one's size to be read.
        if (numBytes == 3 && filled < room)
        {
            bytes += eventHeaderSize + 3;
            auto* record = reinterpret_cast<VstMidiEvent*> (records[filled++]);
            record->deltaFrames = position;
            std::memcpy (record->midiData, message, 3);
            continue;
        }

        bytes = message + numBytes;

        if (numBytes > 4)
            continue;

        if (filled >= room)
        {
            // More events than records: grow once, for all that are left.
            list->numEvents = filled;
            ensureCapacity (filled + 1 + countShortEvents (bytes, end));
            records = list->events;
            room = capacity;

            if (filled >= room)
                break;  // out of memory: the events that found a record are still sent
        }

        auto* record = reinterpret_cast<VstMidiEvent*> (records[filled++]);
        record->deltaFrames = position;
        copyMessage (message, numBytes, record->midiData);
    }

    list->numEvents = filled;
    return list;
}

int OutgoingMidiList::countShortEvents (const uint8_t* bytes, const uint8_t* end)
{
    int count = 0;

    while (bytes + eventHeaderSize <= end)
    {
        const int numBytes = MidiBufferLayout::sizeOf (bytes);
        count += numBytes <= 4 ? 1 : 0;
        bytes += eventHeaderSize + numBytes;
    }

    return count;
}

void OutgoingMidiList::copyMessage (const uint8_t* message, int numBytes, char* midiData) noexcept
{
    // Only the message's own bytes: the rest of the record keeps what it held.
    switch (numBytes)
    {
        case 3:  std::memcpy (midiData, message, 3); break;
        case 2:  std::memcpy (midiData, message, 2); break;
        case 1:  midiData[0] = (char) message[0]; break;
        case 4:  std::memcpy (midiData, message, 4); break;
        default: break;
    }
}

void OutgoingMidiList::release()
{
    for (auto* records : recordRuns)
        std::free (records);

    recordRuns.clear();

    std::free (list);
    list = nullptr;
    capacity = 0;
}

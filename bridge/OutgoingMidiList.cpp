#include "bridge/OutgoingMidiList.h"

#include "engine/MidiBufferLayout.h"

#include <algorithm>
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
        records[i].byteSize = recordByteSize;
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
        // Runs of note messages, the usual case, go record after record with nothing else read:
        // each one's first eight bytes (the position, the size 3, the status and the note) come
        // in one load, its velocity in one more.
        while (bytes + eventHeaderSize + 3 <= end && filled < room)
        {
            const auto head = juce::ByteOrder::littleEndianInt64 (bytes);

            if ((uint16_t) (head >> 32) != 3)
                break;

            writeNoteRecord (*reinterpret_cast<VstMidiEvent*> (records[filled++]), (int32_t) (uint32_t) head,
                             (uint32_t) (head >> 48) | (uint32_t) bytes[eventHeaderSize + 2] << 16);
            bytes += eventHeaderSize + 3;
        }

        if (bytes + eventHeaderSize > end)
            break;

        const auto position = MidiBufferLayout::positionOf (bytes);
        const int numBytes = MidiBufferLayout::sizeOf (bytes);
        const auto* message = bytes + eventHeaderSize;

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

        writeRecord (*reinterpret_cast<VstMidiEvent*> (records[filled++]), position, message, numBytes);
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

void OutgoingMidiList::writeRecord (VstMidiEvent& record, int position, const uint8_t* message, int numBytes) noexcept
{
    uint32_t data = 0;

    for (int i = 0; i < numBytes && i < 4; ++i)
        data |= (uint32_t) message[i] << (8 * i);

    writeNoteRecord (record, position, data);
}

void OutgoingMidiList::writeNoteRecord (VstMidiEvent& record, int position, uint32_t data) noexcept
{
    // The whole record, every time: a record is reused block after block, and a short message
    // must not carry the bytes of a longer one sent in it before (nor anything a host wrote).
    // Written as four words straight into the record: going through a copy on the stack stalls
    // each record's stores on the loads that follow them, ten times the cost of the record.
    static_assert (sizeof (VstMidiEvent) == 4 * sizeof (uint64_t), "a MIDI event record is four words");
    auto* out = reinterpret_cast<char*> (&record);
    juce::writeUnaligned<uint64_t> (out, juce::ByteOrder::swapIfBigEndian ((uint64_t) (uint32_t) kVstMidiType | ((uint64_t) (uint32_t) recordByteSize << 32)));
    juce::writeUnaligned<uint64_t> (out + 8, juce::ByteOrder::swapIfBigEndian ((uint64_t) (uint32_t) position));  // flags 0
    juce::writeUnaligned<uint64_t> (out + 16, 0);                                                               // noteLength, noteOffset
    juce::writeUnaligned<uint64_t> (out + 24, juce::ByteOrder::swapIfBigEndian ((uint64_t) data));            // then detune and the rest 0
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

#include "engine/MidiEventAppender.h"

void MidiEventAppender::clear()
{
    buffer.clear();
    lastPosition = INT_MIN;
}

bool MidiEventAppender::isShortChannelMessage (const uint8_t* message, int numBytes)
{
    return numBytes > 0 && message[0] >= 0x80 && message[0] < 0xF0
           && numBytes >= juce::MidiMessage::getMessageLengthFromFirstByte (message[0]);
}

void MidiEventAppender::add (const uint8_t* message, int numBytes, int samplePosition)
{
    if (samplePosition < lastPosition || ! isShortChannelMessage (message, numBytes))
    {
        buffer.addEvent (message, numBytes, samplePosition);
        lastPosition = juce::jmax (lastPosition, samplePosition);
        return;
    }

    const int length = juce::MidiMessage::getMessageLengthFromFirstByte (message[0]);
    uint8_t record[eventHeaderSize + 3];
    MidiBufferLayout::writeHeader (record, samplePosition, length);
    std::memcpy (record + eventHeaderSize, message, (size_t) length);
    buffer.data.addArray (static_cast<const uint8_t*> (record), eventHeaderSize + length);
    lastPosition = samplePosition;
}

uint64_t MidiEventAppender::noteRecordWord (int samplePosition, uint8_t status)
{
    uint8_t bytes[sizeof (uint64_t)] = {};
    MidiBufferLayout::writeHeader (bytes, samplePosition, 3);
    bytes[eventHeaderSize] = status;
    return juce::ByteOrder::littleEndianInt64 (bytes);
}

void MidiEventAppender::appendRecords (const uint8_t* first, const uint8_t* end, int samplePosition)
{
    if (end == first)
        return;

    buffer.data.addArray (first, (int) (end - first));
    lastPosition = samplePosition;
}

#pragma once

#include <juce_core/juce_core.h>

// The plug-in's stored formats write their integers as 32-bit little-endian values.
namespace LittleEndian
{
inline void appendInt32 (juce::MemoryBlock& destination, int32_t value)
{
    const auto bytes = juce::ByteOrder::swapIfBigEndian ((uint32_t) value);
    destination.append (&bytes, sizeof (bytes));
}

// Writes into room the caller has made; answers where the next byte goes.
inline uint8_t* writeInt32 (uint8_t* destination, int32_t value)
{
    const auto bytes = juce::ByteOrder::swapIfBigEndian ((uint32_t) value);
    std::memcpy (destination, &bytes, sizeof (bytes));
    return destination + sizeof (bytes);
}

inline int32_t readInt32 (const void* source)
{
    return (int32_t) juce::ByteOrder::littleEndianInt (source);
}
}

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

inline int32_t readInt32 (const void* source)
{
    return (int32_t) juce::ByteOrder::littleEndianInt (source);
}
}

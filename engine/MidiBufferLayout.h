#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstddef>

// The framework's MIDI buffer keeps each event as its sample position (int32), its size (uint16)
// and its bytes, one event after the other, in time order. The audio path reads and writes that
// layout directly where the framework's own calls would search or count the whole buffer.
namespace MidiBufferLayout
{
constexpr int eventHeaderSize = (int) (sizeof (juce::int32) + sizeof (juce::uint16));

// The room the bridge's and the filter's MIDI buffers are given ahead: the events of several
// blocks and several full chord changes, so that playing never grows them on the audio thread.
constexpr size_t reservedBytes = 32 * 1024;

inline int positionOf (const uint8_t* event) noexcept { return juce::readUnaligned<juce::int32> (event); }
inline void setPositionOf (uint8_t* event, int position) noexcept { juce::writeUnaligned<juce::int32> (event, position); }
inline int sizeOf (const uint8_t* event) noexcept { return juce::readUnaligned<juce::uint16> (event + sizeof (juce::int32)); }

inline void writeHeader (uint8_t* event, int position, int size) noexcept
{
    juce::writeUnaligned<juce::int32> (event, position);
    juce::writeUnaligned<juce::uint16> (event + sizeof (juce::int32), (juce::uint16) size);
}
}

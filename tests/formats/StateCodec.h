#pragma once

// How each host format keeps a plug-in's state around the plug-in's own bytes, as the framework's
// hosting stores it: the VST 3 component's stream (with what JUCE's VST 3 client appends after the
// plug-in's bytes) inside the host's XML, and the LV2 state's Turtle with the bytes in the
// plug-in's StateString property.

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

namespace StateCodec
{
// The component stream's bytes, and the host state made around given stream bytes.
std::optional<std::vector<uint8_t>> vst3ComponentStream (const juce::MemoryBlock& hostState);
juce::MemoryBlock vst3HostStateWith (const juce::MemoryBlock& hostState, const std::vector<uint8_t>& componentStream);
// The plug-in's bytes in a stream written by JUCE's VST 3 client: everything before the trailer
// the client appends; nullopt when the trailer is not there.
std::optional<std::vector<uint8_t>> withoutVst3ClientTrailer (const std::vector<uint8_t>& stream);

// The plug-in's bytes in an LV2 state's Turtle, and the same Turtle with other bytes.
std::optional<std::vector<uint8_t>> lv2StateBytes (const juce::MemoryBlock& hostState);
juce::MemoryBlock lv2HostStateWith (const juce::MemoryBlock& hostState, const std::vector<uint8_t>& bytes);
}

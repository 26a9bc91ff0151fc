#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <climits>

// Builds a MIDI buffer whose events mostly arrive in time order, as a block's output does. The
// framework's own add searches the whole buffer for every event, and a chord change adds 256
// of them; an event that belongs at the end is appended here in constant time instead. Events
// that belong earlier still go through the framework.
class MidiEventAppender
{
public:
    explicit MidiEventAppender (juce::MidiBuffer& target) : buffer (target) {}

    void clear();
    void add (const uint8_t* message, int numBytes, int samplePosition);

private:
    static bool isShortChannelMessage (const uint8_t* message, int numBytes);

    juce::MidiBuffer& buffer;
    int lastPosition = INT_MIN;
};

#pragma once

#include "InputError.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <functional>

// Reads a Standard MIDI File given on the command line, or says in plain words why it cannot.
class MidiFileReader
{
public:
    using ProblemReport = std::function<InputError (const juce::String& why)>;

    // Throws the report's error when the file is missing, a folder, unreadable or not MIDI.
    static juce::MidiFile read (const juce::File& file, const ProblemReport& problem);
};

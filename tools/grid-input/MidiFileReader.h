#pragma once

#include "LimitedFileReader.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

// Reads a Standard MIDI File given on the command line, or says in plain words why it cannot.
class MidiFileReader
{
public:
    using ProblemReport = LimitedFileReader::ProblemReport;

    // The file is read whole and every event becomes an object of its own, some ten times the
    // bytes it took in the file. 16 MiB holds millions of events: far more than 4096 chords of
    // 128 notes, or an hour of pedalling, could need.
    static constexpr int64_t maxFileBytes = 16 * 1024 * 1024;

    // Main thread; waits on the file system. Throws the report's error when the file is missing,
    // a folder, unreadable, larger than maxFileBytes or not MIDI.
    static juce::MidiFile read (const juce::File& file, const ProblemReport& problem);
};

#pragma once

#include "LimitedFileReader.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

// Musical time against clock time, at 960 ticks per quarter note: places what the plug-in played
// (in samples, so in seconds) on the beat grid of the output file and of the listing.
class TempoMap
{
public:
    static constexpr int ticksPerQuarterNote = 960;
    // A MIDI file counts the ticks between two events in 28 bits, and the output file's first
    // event may come after the whole run: no tick of the run may lie beyond this.
    static constexpr double maxTicks = 0x0FFFFFFF;
    // A beat of at most a 256th note is still a whole number of ticks (3840 = 15 × 2^8).
    static constexpr int maxBeatUnitExponent = 8;

    static TempoMap constant (double bpm);
    // The tempo changes and the opening time signature of a file measured in ticks per quarter
    // note; a file timed in SMPTE frames has no beats, and gets fallbackBpm. Throws the report's
    // error for a division of 0 ticks, or an opening time signature of no beats or of a beat
    // shorter than a 2^maxBeatUnitExponent-th note.
    static TempoMap fromMidiFile (const juce::MidiFile& file, double fallbackBpm,
                                  const LimitedFileReader::ProblemReport& problem);

    double ticksAt (double seconds) const;
    double secondsAt (double ticks) const;
    // "bar:beat", bars and beats counted from 1, the beat with two decimals.
    juce::String barAndBeatAt (double ticks) const;

    double getStartBpm() const;
    // Tempo changes and the time signature, for the output file's first track.
    juce::MidiMessageSequence createTempoTrack() const;

private:
    struct TempoChange
    {
        double tick;
        double seconds;
        double secondsPerQuarterNote;
    };

    TempoMap() = default;
    static void checkDivision (const juce::MidiFile& file, const LimitedFileReader::ProblemReport& problem);
    void readOpeningTimeSignature (const juce::MidiFile& file, const LimitedFileReader::ProblemReport& problem);
    void addChange (double tick, double secondsPerQuarterNote);
    const TempoChange& changeAtTick (double tick) const;
    const TempoChange& changeAtSeconds (double seconds) const;

    std::vector<TempoChange> changes;
    int beatsPerBar = 4;
    int beatUnit = 4;
};

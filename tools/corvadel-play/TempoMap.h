#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

// Musical time against clock time, at 960 ticks per quarter note: places what the plug-in played
// (in samples, so in seconds) on the beat grid of the output file and of the listing.
class TempoMap
{
public:
    static constexpr int ticksPerQuarterNote = 960;

    static TempoMap constant (double bpm);
    // The tempo changes and the opening time signature of a file measured in ticks per quarter
    // note; a file timed in SMPTE frames has no beats, and gets fallbackBpm.
    static TempoMap fromMidiFile (const juce::MidiFile& file, double fallbackBpm);

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
    void addChange (double tick, double secondsPerQuarterNote);
    const TempoChange& changeAtTick (double tick) const;
    const TempoChange& changeAtSeconds (double seconds) const;

    std::vector<TempoChange> changes;
    int beatsPerBar = 4;
    int beatUnit = 4;
};

#pragma once

#include "TempoMap.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

// The sustain-pedal messages to play, in clock time, with the tempo that places them on beats.
class PedalSchedule
{
public:
    struct Event
    {
        double seconds;
        uint8_t status;  // a controller message on any channel
        uint8_t value;   // 0 releases, anything else presses

        bool isPress() const noexcept { return value != 0; }
    };

    static constexpr uint8_t sustainController = 64;
    // An hour of music. The largest grid, 4096 chords, lasts 34 minutes at a chord a beat at
    // 120 bpm, so every run a grid calls for fits; a stray tick or tempo cannot ask for hours.
    static constexpr double maxSeconds = 3600.0;

    // One press at the start of each beat from beat 0, each released half a beat later. Throws
    // InputError when they would last longer than maxSeconds.
    static PedalSchedule everyBeat (int presses, double bpm);
    // The file's controller-64 messages on every track and channel, at their times under the
    // file's tempo map. Throws InputError when the file cannot be read, its timing cannot be
    // followed, it presses nothing, or the run (to getEndSeconds()) ends after maxSeconds or
    // after the last tick an output file can hold (TempoMap::maxTicks).
    static PedalSchedule fromMidiFile (const juce::File& file, double fallbackBpm);

    const std::vector<Event>& getEvents() const noexcept { return events; }
    const TempoMap& getTempoMap() const noexcept { return tempoMap; }
    int countPresses() const;
    double getLastEventSeconds() const;
    // When the run ends the chord left sounding: half a beat (a quarter note's half, at the
    // tempo there) after the last press, or at the last message if that comes later.
    double getEndSeconds() const;
    // For the listing: "at 120 bpm" or "from pedal.mid".
    const juce::String& getOrigin() const noexcept { return origin; }

private:
    PedalSchedule (std::vector<Event> events, TempoMap tempo, juce::String origin);
    // Throws InputError when a run to lastSeconds would be longer than maxSeconds or reach past
    // TempoMap::maxTicks.
    static void checkLength (double lastSeconds, const TempoMap& tempo, const juce::String& origin);

    std::vector<Event> events;
    TempoMap tempoMap;
    juce::String origin;
};

#pragma once

#include "TempoMap.h"

#include "engine/PlayerSettings.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

// The MIDI messages to play into the plug-in, in clock time, with the tempo that places them on
// beats: the default presses of the next trigger, or a --pedal file's channel messages.
class PedalSchedule
{
public:
    struct Event
    {
        double seconds;
        uint8_t bytes[3];  // a channel message; a two-byte one ends with 0

        // A controller message that presses (any value but 0) the controller, on any channel.
        bool presses (int controller) const noexcept;
    };

    // An hour of music. The largest grid, 4096 chords, lasts 34 minutes at a chord a beat at
    // 120 bpm, so every run a grid calls for fits; a stray tick or tempo cannot ask for hours.
    static constexpr double maxSeconds = 3600.0;

    // One press of the settings' next trigger (on channel 1) at the start of each beat from beat
    // 0, each released half a beat later. Throws InputError when they would last longer than
    // maxSeconds.
    static PedalSchedule everyBeat (int presses, double bpm, const PlayerSettings& settings);
    // The file's channel messages (notes, controllers, program changes, pressure, pitch bend) on
    // every track and channel, at their times under the file's tempo map; at equal times in the
    // file's order, the earlier track first. Throws InputError when the file cannot be read, its
    // timing cannot be followed, it never presses the settings' next trigger, or the run (to
    // getEndSeconds()) ends after maxSeconds or after the last tick an output file can hold
    // (TempoMap::maxTicks).
    static PedalSchedule fromMidiFile (const juce::File& file, double fallbackBpm, const PlayerSettings& settings);

    const std::vector<Event>& getEvents() const noexcept { return events; }
    const TempoMap& getTempoMap() const noexcept { return tempoMap; }
    // The presses of the next trigger.
    int countPresses() const;
    double getLastEventSeconds() const;
    // When the run ends the chord left sounding: half a beat (a quarter note's half, at the
    // tempo there) after the last press of any trigger (next, previous or reset), or at the last
    // message if that comes later.
    double getEndSeconds() const;
    // For the listing: "at 120 bpm" or "from pedal.mid".
    const juce::String& getOrigin() const noexcept { return origin; }

private:
    PedalSchedule (std::vector<Event> events, TempoMap tempo, juce::String origin, const PlayerSettings& settings);
    bool pressesATrigger (const Event& event) const noexcept;
    // Throws InputError when a run to lastSeconds would be longer than maxSeconds or reach past
    // TempoMap::maxTicks.
    static void checkLength (double lastSeconds, const TempoMap& tempo, const juce::String& origin);

    std::vector<Event> events;
    TempoMap tempoMap;
    juce::String origin;
    PlayerSettings settings;
};

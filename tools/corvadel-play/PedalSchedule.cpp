#include "PedalSchedule.h"

#include "MidiFileReader.h"

#include <algorithm>
#include <cmath>

namespace
{
std::string durationText (double seconds)
{
    if (seconds < 2.0 * 3600.0)
        return juce::String (seconds / 60.0, 1).toStdString() + " minutes";

    return juce::String (seconds / 3600.0, 1).toStdString() + " hours";
}

// A host hands the plug-in a track's channel messages; meta events are the file's own, and a
// system exclusive message does not fit the three bytes of a MIDI event record.
bool isChannelMessage (const juce::MidiMessage& message)
{
    const int status = message.getRawData()[0];
    return status >= 0x80 && status < 0xF0 && message.getRawDataSize() <= 3;
}

PedalSchedule::Event eventOf (const juce::MidiMessage& message)
{
    PedalSchedule::Event event { message.getTimeStamp(), {} };
    std::copy_n (message.getRawData(), message.getRawDataSize(), event.bytes);
    return event;
}
}

bool PedalSchedule::Event::presses (int controller) const noexcept
{
    return (bytes[0] & 0xF0) == 0xB0 && bytes[1] == controller && bytes[2] != 0;
}

PedalSchedule::PedalSchedule (std::vector<Event> pedalEvents, TempoMap tempo, juce::String originText,
                              const PlayerSettings& playerSettings)
    : events (std::move (pedalEvents)), tempoMap (std::move (tempo)), origin (std::move (originText)),
      settings (playerSettings)
{
}

PedalSchedule PedalSchedule::everyBeat (int presses, double bpm, const PlayerSettings& settings)
{
    const double secondsPerBeat = 60.0 / bpm;
    const uint8_t controllerOnChannel1 = 0xB0;
    const auto trigger = (uint8_t) settings.nextController;
    const auto tempo = TempoMap::constant (bpm);
    const auto origin = "at " + juce::String (bpm, bpm == std::floor (bpm) ? 0 : 2) + " bpm";

    // Before anything is built for them: the run ends with the last release.
    checkLength ((presses - 0.5) * secondsPerBeat, tempo, origin);

    std::vector<Event> events;

    for (int beat = 0; beat < presses; ++beat)
    {
        events.push_back ({ beat * secondsPerBeat, { controllerOnChannel1, trigger, 127 } });
        events.push_back ({ (beat + 0.5) * secondsPerBeat, { controllerOnChannel1, trigger, 0 } });
    }

    return PedalSchedule (std::move (events), tempo, origin, settings);
}

PedalSchedule PedalSchedule::fromMidiFile (const juce::File& file, double fallbackBpm, const PlayerSettings& settings)
{
    const auto problem = [&file] (const juce::String& why) {
        return InputError ("cannot read pedal presses from " + file.getFullPathName().toStdString() + ": "
                           + why.toStdString());
    };

    const auto midi = MidiFileReader::read (file, problem);
    // First, as it refuses a division that would make the times below no numbers at all.
    auto tempoMap = TempoMap::fromMidiFile (midi, fallbackBpm, problem);
    auto inSeconds = midi;
    inSeconds.convertTimestampTicksToSeconds();

    std::vector<Event> events;

    for (int t = 0; t < inSeconds.getNumTracks(); ++t)
    {
        for (const auto* event : *inSeconds.getTrack (t))
        {
            if (isChannelMessage (event->message))
                events.push_back (eventOf (event->message));
        }
    }

    // Tracks are merged by time; at equal times the earlier track comes first.
    std::stable_sort (events.begin(), events.end(),
                      [] (const Event& a, const Event& b) { return a.seconds < b.seconds; });

    PedalSchedule schedule (std::move (events), std::move (tempoMap), "from " + file.getFullPathName(), settings);

    if (schedule.countPresses() == 0)
        throw problem ("it never presses controller " + juce::String (settings.nextController)
                       + ", the trigger that steps forward (--next-cc)");

    checkLength (schedule.getEndSeconds(), schedule.tempoMap, schedule.origin);
    return schedule;
}

void PedalSchedule::checkLength (double seconds, const TempoMap& tempo, const juce::String& origin)
{
    const auto what = "the pedal presses " + origin.toStdString();

    // Written so that a time that is no number fails too.
    if (! (seconds <= maxSeconds))
        throw InputError (what + " last " + durationText (seconds) + ", longer than the one hour of music this program plays");

    const double ticks = tempo.ticksAt (seconds);

    if (! (ticks <= TempoMap::maxTicks))
        throw InputError (what + " reach tick " + juce::String::formatted ("%.0f", ticks).toStdString() + " at "
                          + std::to_string (TempoMap::ticksPerQuarterNote) + " a beat, beyond the "
                          + std::to_string ((long long) TempoMap::maxTicks) + " a MIDI file can count");
}

int PedalSchedule::countPresses() const
{
    const int next = settings.nextController;
    return (int) std::count_if (events.begin(), events.end(), [next] (const Event& e) { return e.presses (next); });
}

bool PedalSchedule::pressesATrigger (const Event& event) const noexcept
{
    return event.presses (settings.nextController) || event.presses (settings.previousController)
        || event.presses (settings.resetController);
}

double PedalSchedule::getLastEventSeconds() const
{
    return events.empty() ? 0.0 : events.back().seconds;
}

double PedalSchedule::getEndSeconds() const
{
    // Previous plays a chord as next does; after a reset's press the half beat ends nothing.
    const auto lastPress = std::find_if (events.rbegin(), events.rend(),
                                         [this] (const Event& e) { return pressesATrigger (e); });

    if (lastPress == events.rend())
        return getLastEventSeconds();

    const double halfBeatLater = tempoMap.secondsAt (tempoMap.ticksAt (lastPress->seconds)
                                                     + TempoMap::ticksPerQuarterNote / 2.0);
    return std::max (halfBeatLater, getLastEventSeconds());
}

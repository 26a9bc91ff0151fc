#include "PedalSchedule.h"

#include "MidiFileReader.h"

#include <algorithm>
#include <cmath>

PedalSchedule::PedalSchedule (std::vector<Event> pedalEvents, TempoMap tempo, juce::String originText)
    : events (std::move (pedalEvents)), tempoMap (std::move (tempo)), origin (std::move (originText))
{
}

PedalSchedule PedalSchedule::everyBeat (int presses, double bpm)
{
    const double secondsPerBeat = 60.0 / bpm;
    const uint8_t controllerOnChannel1 = 0xB0;
    std::vector<Event> events;

    for (int beat = 0; beat < presses; ++beat)
    {
        events.push_back ({ beat * secondsPerBeat, controllerOnChannel1, 127 });
        events.push_back ({ (beat + 0.5) * secondsPerBeat, controllerOnChannel1, 0 });
    }

    return PedalSchedule (std::move (events), TempoMap::constant (bpm),
                          "at " + juce::String (bpm, bpm == std::floor (bpm) ? 0 : 2) + " bpm");
}

PedalSchedule PedalSchedule::fromMidiFile (const juce::File& file, double fallbackBpm)
{
    const auto problem = [&file] (const juce::String& why) {
        return InputError ("cannot read pedal presses from " + file.getFullPathName().toStdString() + ": "
                           + why.toStdString());
    };

    const auto midi = MidiFileReader::read (file, problem);
    auto inSeconds = midi;
    inSeconds.convertTimestampTicksToSeconds();

    std::vector<Event> events;

    for (int t = 0; t < inSeconds.getNumTracks(); ++t)
    {
        for (const auto* event : *inSeconds.getTrack (t))
        {
            const auto& message = event->message;

            if (message.isController() && message.getControllerNumber() == sustainController)
                events.push_back ({ message.getTimeStamp(), message.getRawData()[0],
                                    (uint8_t) message.getControllerValue() });
        }
    }

    // Tracks are merged by time; at equal times the earlier track comes first.
    std::stable_sort (events.begin(), events.end(),
                      [] (const Event& a, const Event& b) { return a.seconds < b.seconds; });

    PedalSchedule schedule (std::move (events), TempoMap::fromMidiFile (midi, fallbackBpm),
                            "from " + file.getFullPathName());

    if (schedule.countPresses() == 0)
        throw problem ("it holds no sustain-pedal presses (controller 64)");

    return schedule;
}

int PedalSchedule::countPresses() const
{
    return (int) std::count_if (events.begin(), events.end(), [] (const Event& e) { return e.isPress(); });
}

double PedalSchedule::getLastEventSeconds() const
{
    return events.empty() ? 0.0 : events.back().seconds;
}

#include "TempoMap.h"

#include <cmath>

namespace
{
// A file says nothing of its tempo before its first tempo event: MIDI files then run at 120 bpm.
constexpr double defaultSecondsPerQuarterNote = 0.5;
}

TempoMap TempoMap::constant (double bpm)
{
    TempoMap map;
    map.addChange (0.0, 60.0 / bpm);
    return map;
}

TempoMap TempoMap::fromMidiFile (const juce::MidiFile& file, double fallbackBpm,
                                const LimitedFileReader::ProblemReport& problem)
{
    checkDivision (file, problem);
    const int ticksPerQuarter = file.getTimeFormat();

    if (ticksPerQuarter < 0)
        return constant (fallbackBpm);

    const double scale = (double) ticksPerQuarterNote / ticksPerQuarter;
    TempoMap map;
    map.addChange (0.0, defaultSecondsPerQuarterNote);

    juce::MidiMessageSequence tempoEvents;
    file.findAllTempoEvents (tempoEvents);

    for (const auto* event : tempoEvents)
    {
        const double secondsPerQuarter = event->message.getTempoSecondsPerQuarterNote();

        if (secondsPerQuarter > 0.0)
            map.addChange (event->message.getTimeStamp() * scale, secondsPerQuarter);
    }

    map.readOpeningTimeSignature (file, problem);
    return map;
}

void TempoMap::checkDivision (const juce::MidiFile& file, const LimitedFileReader::ProblemReport& problem)
{
    // The header's division: ticks a quarter note, or (negative) frames a second and ticks a frame.
    const int division = file.getTimeFormat();

    if (division == 0)
        throw problem ("its division is 0 ticks a quarter note");

    if (division < 0 && (division & 0xFF) == 0)
        throw problem ("its division is " + juce::String (-(division >> 8)) + " frames a second of 0 ticks each");
}

void TempoMap::readOpeningTimeSignature (const juce::MidiFile& file, const LimitedFileReader::ProblemReport& problem)
{
    juce::MidiMessageSequence timeSignatures;
    file.findAllTimeSigEvents (timeSignatures);

    // Bars are counted in the opening metre; later changes of metre are not followed.
    if (timeSignatures.getNumEvents() == 0 || timeSignatures.getEventTime (0) > 0.0)
        return;

    // Read here rather than by the framework, which shifts by the file's exponent unchecked.
    const auto& message = timeSignatures.getEventPointer (0)->message;

    if (message.getMetaEventLength() < 2)
        throw problem ("its time signature is cut short");

    const auto* data = message.getMetaEventData();
    const int numerator = data[0];
    const int exponent = data[1];

    if (numerator == 0)
        throw problem ("its time signature has no beats in a bar");

    if (exponent > maxBeatUnitExponent)
        throw problem ("its time signature has a denominator of 2^" + juce::String (exponent) + ", beyond the 2^"
                       + juce::String (maxBeatUnitExponent) + " (a " + juce::String (1 << maxBeatUnitExponent)
                       + "th note) this program counts beats in");

    beatsPerBar = numerator;
    beatUnit = 1 << exponent;
}

void TempoMap::addChange (double tick, double secondsPerQuarterNote)
{
    // Several changes at one tick: the last one holds.
    if (! changes.empty() && changes.back().tick >= tick)
    {
        changes.back().secondsPerQuarterNote = secondsPerQuarterNote;
        return;
    }

    const double seconds = changes.empty() ? 0.0 : secondsAt (tick);
    changes.push_back ({ tick, seconds, secondsPerQuarterNote });
}

const TempoMap::TempoChange& TempoMap::changeAtTick (double tick) const
{
    size_t i = 0;

    while (i + 1 < changes.size() && changes[i + 1].tick <= tick)
        ++i;

    return changes[i];
}

const TempoMap::TempoChange& TempoMap::changeAtSeconds (double seconds) const
{
    size_t i = 0;

    while (i + 1 < changes.size() && changes[i + 1].seconds <= seconds)
        ++i;

    return changes[i];
}

double TempoMap::ticksAt (double seconds) const
{
    const auto& change = changeAtSeconds (seconds);
    return change.tick + (seconds - change.seconds) / change.secondsPerQuarterNote * ticksPerQuarterNote;
}

double TempoMap::secondsAt (double ticks) const
{
    const auto& change = changeAtTick (ticks);
    return change.seconds + (ticks - change.tick) / ticksPerQuarterNote * change.secondsPerQuarterNote;
}

juce::String TempoMap::barAndBeatAt (double ticks) const
{
    // Rounded to hundredths of a beat before splitting, so a press a hair before a bar line
    // shows as the bar's first beat rather than as a fifth beat of the bar before.
    const double ticksPerBeat = ticksPerQuarterNote * 4.0 / beatUnit;
    const auto hundredths = (long long) std::llround (ticks / ticksPerBeat * 100.0);
    const long long hundredthsPerBar = 100LL * beatsPerBar;
    const long long bar = hundredths / hundredthsPerBar;
    const long long inBar = hundredths % hundredthsPerBar;

    return juce::String::formatted ("%lld:%lld.%02lld", bar + 1, inBar / 100 + 1, inBar % 100);
}

double TempoMap::getStartBpm() const
{
    return 60.0 / changes.front().secondsPerQuarterNote;
}

juce::MidiMessageSequence TempoMap::createTempoTrack() const
{
    juce::MidiMessageSequence track;
    track.addEvent (juce::MidiMessage::timeSignatureMetaEvent (beatsPerBar, beatUnit), 0.0);

    for (const auto& change : changes)
        track.addEvent (juce::MidiMessage::tempoMetaEvent ((int) std::lround (change.secondsPerQuarterNote * 1.0e6)),
                        std::round (change.tick));

    return track;
}

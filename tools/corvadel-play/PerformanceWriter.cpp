#include "PerformanceWriter.h"

#include <cmath>
#include <cstdio>

namespace
{
// Middle C (note 60) is C4.
constexpr int middleCOctave = 4;
}

PerformanceWriter::PerformanceWriter (const std::vector<PluginSession::ReturnedEvent>& played,
                                      const std::vector<PluginSession::ReturnedEvent>& runEnding, const TempoMap& tempoMap)
    : events (played), ending (runEnding), tempo (tempoMap)
{
}

double PerformanceWriter::secondsOf (const PluginSession::ReturnedEvent& event)
{
    return (double) event.samplePosition / PluginSession::sampleRate;
}

int PerformanceWriter::tickOf (const PluginSession::ReturnedEvent& event) const
{
    return (int) std::llround (tempo.ticksAt (secondsOf (event)));
}

juce::MidiFile PerformanceWriter::createMidiFile() const
{
    juce::MidiMessageSequence played;

    // Events come in the order they were sent, so adding them keeps that order at equal ticks.
    for (const auto* list : { &events, &ending })
        for (const auto& event : *list)
            played.addEvent (event.message, (double) tickOf (event));

    juce::MidiFile file;
    file.setTicksPerQuarterNote (TempoMap::ticksPerQuarterNote);
    file.addTrack (tempo.createTempoTrack());
    file.addTrack (played);
    return file;
}

juce::MemoryBlock PerformanceWriter::createMidiFileBytes() const
{
    juce::MemoryOutputStream bytes;
    createMidiFile().writeTo (bytes, 1);
    return bytes.getMemoryBlock();
}

std::string PerformanceWriter::describe (const juce::MidiMessage& message)
{
    const auto* bytes = message.getRawData();
    const int kind = bytes[0] & 0xF0;

    // Told by the status byte alone: a note-on with velocity 0 is still what the plug-in sent.
    if ((kind == 0x90 || kind == 0x80) && message.getRawDataSize() >= 3)
    {
        const int note = bytes[1];
        const auto name = juce::MidiMessage::getMidiNoteName (note, true, true, middleCOctave)
                        + " (" + juce::String (note) + ")";
        char line[64];
        std::snprintf (line, sizeof (line), "%-9s %-10s %3d", kind == 0x90 ? "note-on" : "note-off",
                       name.toRawUTF8(), (int) bytes[2]);
        return line;
    }

    return message.getDescription().toStdString();
}

void PerformanceWriter::printListing (std::ostream& out) const
{
    out << "  time (s)  bar:beat  event     note       velocity\n";

    for (const auto& event : events)
        printEvent (out, event);

    if (ending.empty())
        return;

    out << "  the run ends: the chord left sounding ends, as Stop ends it\n";

    for (const auto& event : ending)
        printEvent (out, event);
}

void PerformanceWriter::printEvent (std::ostream& out, const PluginSession::ReturnedEvent& event) const
{
    char start[48];
    std::snprintf (start, sizeof (start), "%10.3f  %-8s  ", secondsOf (event), tempo.barAndBeatAt (tickOf (event)).toRawUTF8());
    out << start << describe (event.message) << '\n';
}

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
    const int size = message.getRawDataSize();

    if (bytes[0] < 0x80 || bytes[0] >= 0xF0 || size < 2)
        return "    " + message.getDescription().toStdString();

    const auto noteName = [] (int note) {
        return (juce::MidiMessage::getMidiNoteName (note, true, true, middleCOctave) + " (" + juce::String (note) + ")")
            .toStdString();
    };
    const int data1 = bytes[1];
    const int data2 = size >= 3 ? bytes[2] : 0;
    std::string event, subject, value;

    // Told by the status byte alone: a note-on with velocity 0 is still what the plug-in sent.
    switch (bytes[0] & 0xF0)
    {
        case 0x80: event = "note-off";   subject = noteName (data1);       value = std::to_string (data2); break;
        case 0x90: event = "note-on";    subject = noteName (data1);       value = std::to_string (data2); break;
        case 0xA0: event = "key pressure"; subject = noteName (data1);       value = std::to_string (data2); break;
        case 0xB0: event = "controller"; subject = std::to_string (data1); value = std::to_string (data2); break;
        case 0xC0: event = "program";    subject = std::to_string (data1); break;
        case 0xD0: event = "pressure";   value = std::to_string (data1); break;
        default:   event = "pitch bend"; value = std::to_string (data1 | (data2 << 7)); break;
    }

    char line[64];
    std::snprintf (line, sizeof (line), "%2d  %-12s  %-11s  %5s", (bytes[0] & 0x0F) + 1, event.c_str(), subject.c_str(),
                   value.c_str());
    return line;
}

void PerformanceWriter::printListing (std::ostream& out) const
{
    out << "  time (s)  bar:beat  ch  event         note/number  value\n";

    for (const auto& event : events)
        printEvent (out, event);

    if (ending.empty())
        return;

    out << "  the run ends: the notes left sounding end, as Stop ends a chord\n";

    for (const auto& event : ending)
        printEvent (out, event);
}

void PerformanceWriter::printEvent (std::ostream& out, const PluginSession::ReturnedEvent& event) const
{
    char start[48];
    std::snprintf (start, sizeof (start), "%10.3f  %-8s  ", secondsOf (event), tempo.barAndBeatAt (tickOf (event)).toRawUTF8());
    out << start << describe (event.message) << '\n';
}

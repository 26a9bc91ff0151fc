#pragma once

#include "PluginSession.h"
#include "TempoMap.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <ostream>
#include <vector>

// What the plug-in sent (its chords and the messages it passed through, each on its channel), as
// a Standard MIDI File (a tempo track, then a track holding exactly the plug-in's messages, then
// the note-offs that end the run) and as a listing to read, a message a line: its time, bar and
// beat, channel, kind, note or number, and value.
class PerformanceWriter
{
public:
    // played: the plug-in's messages; ending: RunEnding's note-offs after them.
    PerformanceWriter (const std::vector<PluginSession::ReturnedEvent>& played,
                       const std::vector<PluginSession::ReturnedEvent>& ending, const TempoMap& tempo);

    juce::MidiFile createMidiFile() const;
    // The Standard MIDI File's bytes.
    juce::MemoryBlock createMidiFileBytes() const;
    void printListing (std::ostream& out) const;

private:
    int tickOf (const PluginSession::ReturnedEvent& event) const;
    static double secondsOf (const PluginSession::ReturnedEvent& event);
    static std::string describe (const juce::MidiMessage& message);
    void printEvent (std::ostream& out, const PluginSession::ReturnedEvent& event) const;

    const std::vector<PluginSession::ReturnedEvent>& events;
    const std::vector<PluginSession::ReturnedEvent>& ending;
    const TempoMap& tempo;
};

#include "ChordFileWriter.h"

#include "TempoMap.h"

#include "engine/ChordVocabulary.h"
#include "engine/SequencePlayer.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace
{
constexpr int channel = 1;
constexpr int textEvent = 1;
}

juce::MemoryBlock ChordFileWriter::write (const GridState& grid, double bpm)
{
    // Each event goes after those already at its tick: on a beat, the chord that ends comes
    // before the name and notes of the one that starts.
    juce::MidiMessageSequence chords;
    NoteCell cells[notesPerChord];

    for (int column = 0; column < grid.getNumColumns(); ++column)
    {
        const double start = (double) column * TempoMap::ticksPerQuarterNote;
        grid.copyColumn (column, cells, notesPerChord);

        const auto name = ChordVocabulary::nameOf (cells, notesPerChord);
        chords.addEvent (juce::MidiMessage::textMetaEvent (textEvent, name), start);

        for (int note = 0; note < notesPerChord; ++note)
        {
            if (cells[note].isOn == 0)
                continue;

            chords.addEvent (juce::MidiMessage::noteOn (channel, note, SequencePlayer::noteOnVelocity (cells[note].velocity)),
                             start);
            chords.addEvent (juce::MidiMessage::noteOff (channel, note), start + TempoMap::ticksPerQuarterNote);
        }
    }

    chords.updateMatchedPairs();

    juce::MidiFile file;
    file.setTicksPerQuarterNote (TempoMap::ticksPerQuarterNote);
    file.addTrack (TempoMap::constant (bpm).createTempoTrack());
    file.addTrack (chords);

    juce::MemoryOutputStream bytes;
    file.writeTo (bytes, 1);
    return bytes.getMemoryBlock();
}

#include "ChordFileWriter.h"

#include "TempoMap.h"

#include "engine/ChordVocabulary.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>

namespace
{
constexpr int channel = 1;
constexpr int textEvent = 1;

// The column's cells that sound when the plug-in plays it.
void keepSoundingNotes (NoteCell* cells)
{
    for (int note = 0; note < notesPerChord; ++note)
        if (cells[note].isOn != 0 && ChordFileWriter::playedVelocity (cells[note].velocity) == 0)
            cells[note].isOn = 0;
}
}

int ChordFileWriter::playedVelocity (int32_t storedVelocity) noexcept
{
    return std::min (127, (int) (storedVelocity & 0xFF));
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
        keepSoundingNotes (cells);

        const auto name = ChordVocabulary::nameOf (cells, notesPerChord);
        chords.addEvent (juce::MidiMessage::textMetaEvent (textEvent, name), start);

        for (int note = 0; note < notesPerChord; ++note)
        {
            if (cells[note].isOn == 0)
                continue;

            chords.addEvent (juce::MidiMessage::noteOn (channel, note, (juce::uint8) playedVelocity (cells[note].velocity)),
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

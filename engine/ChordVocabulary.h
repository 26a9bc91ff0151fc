#pragma once

#include "engine/NoteCell.h"

#include <juce_core/juce_core.h>

// Chord names for grid columns, both ways, in one vocabulary (see ChordQualities for the kinds,
// ChordNamer for how a name is chosen, ChordNameParser for what is read):
//
// - nameOf: a column's notes to a name ("C", "Am7", "F/A", "G7sus4", "Bm7b5"), "N.C." for a
//   column with no note on, or the notes with their octaves ("[C4 C#4 D4]") when no name fits;
// - parse: a name to a column, voiced as written below. Every name nameOf gives parses back to
//   notes that nameOf names the same way; a note list parses back to exactly its notes.
//
// The voicing: the bass (the root, or the note after a slash) in octave 3 (MIDI notes 48 to 59),
// every note of the chord once in octave 4 (MIDI notes 60 to 71; middle C, note 60, is C4), all
// at velocity 100. "Am7/G" is G3 and A4 C4 E4 G4; "C/D" (a bass outside the chord) is D3 and
// C4 E4 G4.
//
// Names depend on which cells are on, not on their velocities. Both calls allocate: message
// thread (or any thread but the audio thread), when a column changes; they wait on nothing.
class ChordVocabulary
{
public:
    static constexpr int32_t voicingVelocity = NoteCell::defaultVelocity;

    // count cells from note 0 up (a column's 128); a cell beyond note 127 is no note. Any
    // non-zero on byte is on.
    static juce::String nameOf (const NoteCell* cells, int count);

    // On success, rewrites the count cells from note 0 up: the chord's notes on at
    // voicingVelocity, every other cell off at the default velocity. On failure ("no chord kind
    // is spelled 'maj8'"), leaves them as they were.
    static juce::Result parse (const juce::String& name, NoteCell* cells, int count);
};

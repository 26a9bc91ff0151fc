#pragma once

#include <juce_core/juce_core.h>

// Letter names of notes, as chord names and note lists write them and read them back: a letter
// from C to B and its sharps (#) or flats (b). A pitch class is 0 for C up to 11 for B; MIDI note
// 60, middle C, is C4.
//
// Any thread but the audio thread (names are allocated strings); waits on nothing.
class NoteSpelling
{
public:
    // A letter (0 for C up to 6 for B) and how far it is raised (+) or lowered (-).
    struct Spelled
    {
        int letter = 0;
        int accidental = 0;

        int pitchClass() const noexcept;
        juce::String text() const;
    };

    // A chord root as the chord's family writes it: chords with a minor third take C#, G# (C#m,
    // G#m7); all others Db, Ab (Db7, Ab). Both write Eb, F# and Bb.
    static Spelled root (int pitchClass, bool minorThird) noexcept;
    // The note letterSteps letters and semitones semitones above root (a degree of its chord:
    // the third of D is F#, the seventh of F# is E#); it may take two sharps or flats.
    static Spelled above (Spelled root, int semitones, int letterSteps) noexcept;
    // A note on a white key as its plain letter (so never B#, Cb, E# or Fb); a note on a black
    // key as spelled, unless that takes two sharps or flats: then as root() spells it for a
    // chord of that family.
    static Spelled readable (Spelled spelled, bool minorThird) noexcept;

    // "C#4", "A-1": the note name with sharps and the octave, middle C being C4.
    static juce::String withOctave (int midiNote);

    // Reads a letter (upper case) and any sharps and flats from text at position start: returns
    // how many characters it took, 0 when there is no letter there.
    static int read (const juce::String& text, int start, Spelled& spelled);
    // At most a double sharp or flat: anything more is no note a musician writes.
    static bool isUsual (Spelled spelled) noexcept { return spelled.accidental >= -2 && spelled.accidental <= 2; }
    // Reads a whole note name with its octave ("Eb3", "C-1"); false unless all of text is one,
    // with at most two sharps or flats, and it lies within the MIDI notes 0 to 127.
    static bool readWithOctave (const juce::String& text, int& midiNote);
};

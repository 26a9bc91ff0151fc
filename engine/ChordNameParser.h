#pragma once

#include <juce_core/juce_core.h>

#include <vector>

// Reads a chord name back into notes, in one voicing: the bass (the root, or the note after a
// slash) in octave 3, MIDI notes 48 to 59, and every note of the chord once in octave 4, MIDI
// notes 60 to 71 (middle C is C4, note 60). A slash bass that is no note of the chord sounds only
// in the bass. "N.C." (or "NC") is no notes; a note list ("[C4 E4 G#4]") is exactly its notes.
//
// A name is a root (a letter A to G, upper case, with any sharps # or flats b), a kind from
// ChordQualities in any of its spellings, and an optional "/" and bass note: "Bbm7", "A#m7",
// "F#7(b9)", "D/F#", "Cmaj7/B". ♭, ♯ and − read as b, # and -.
//
// Any thread but the audio thread: it allocates.
class ChordNameParser
{
public:
    static constexpr int bassOctaveC = 48;   // C3
    static constexpr int chordOctaveC = 60;  // C4, middle C

    // The notes, ascending; fails with a reason ("no chord kind is spelled 'maj8'") when the
    // name is none of the above.
    static juce::Result parse (const juce::String& name, std::vector<int>& notes);

    // The text in quotes for a message, cut to its first maxQuotedLength characters (its end
    // marked "...") when longer: a chart's one bad word may be megabytes long.
    static constexpr int maxQuotedLength = 60;
    static juce::String quoted (const juce::String& text);

private:
    static juce::Result parseNoteList (const juce::String& list, std::vector<int>& notes);
    static juce::Result parseChord (const juce::String& name, std::vector<int>& notes);
    // Where the slash before the bass is, or -1: the last "/" that a note letter follows, so
    // that "6/9" stays part of the kind.
    static int bassSlashIn (const juce::String& name);
};

#pragma once

#include "engine/ChordQualities.h"

#include <juce_core/juce_core.h>

#include <vector>

// Names a set of notes. The name depends on the notes' pitch classes and on the lowest note, the
// bass, never on octaves or velocities:
//
// - every note that could be the root is tried, with the kinds of ChordQualities; a root other
//   than the bass makes a slash chord (C/E); when the bass's pitch class sounds nowhere above
//   it, the notes above are also named on their own, over the bass (C/D, F/G);
// - a name over the bass may leave out what players leave out (ChordQualities' omissible notes:
//   C E Bb is C7), a slash name nothing: read back, a name gives all its notes;
// - names are preferred as a player writes them (Preference): a name over the bass with its
//   third, or an inversion of a triad or seventh chord (Am/C, Am7/G); then a name over the bass
//   that leaves notes out; a major or minor triad over another bass (C/D); other whole names
//   (Csus4, Dm7/G); a sus name leaving out its fifth; a fragment (E5, Gsus4, Bbdim) over another
//   bass last. Within one preference the plainest name wins, then the one whose root is the
//   bass (C6 rather than Am7/C for C E G A over C), then the commoner kind, then the root
//   nearest above the bass;
// - notes that no name fits are listed with their octaves: "[C4 C#4 D4]".
//
// Any thread but the audio thread: it allocates. About ten thousand comparisons for a column.
class ChordNamer
{
public:
    static const char* const noChord;  // "N.C.", for a column without notes

    // notes: MIDI note numbers, ascending, without repeats.
    static juce::String name (const std::vector<int>& notes);
    // The note list form of the notes, whatever name they have: "[C4 E4 G4]".
    static juce::String noteList (const std::vector<int>& notes);

private:
    enum class Preference;
    struct Candidate;

    static void addCandidates (uint16_t pitchClasses, int bassPitchClass, bool bassIsExtra,
                               std::vector<Candidate>& candidates);
    static Preference preferenceOf (const ChordQualities::Quality& quality, bool rootIsBass, bool omits, bool bassIsExtra);
    static juce::String nameOf (const Candidate& candidate, int bassPitchClass);
};

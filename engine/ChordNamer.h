#pragma once

#include <juce_core/juce_core.h>

#include <vector>

// Names a set of notes. The name depends on the notes' pitch classes and on the lowest note, the
// bass, never on octaves or velocities:
//
// - every note that could be the root is tried, with the kinds of ChordQualities; a root other
//   than the bass makes a slash chord (C/E);
// - when the bass's pitch class sounds nowhere above it, the notes above are also named on their
//   own, over the bass (C/D, F/G);
// - the plainest name wins, then the one whose root is the bass (C6 rather than Am7/C for
//   C E G A over C), then the commoner kind, then the root nearest above the bass;
// - notes that no name fits are listed with their octaves: "[C4 C#4 D4]".
//
// Any thread but the audio thread: it allocates. About a thousand comparisons for a column.
class ChordNamer
{
public:
    static const char* const noChord;  // "N.C.", for a column without notes

    // notes: MIDI note numbers, ascending, without repeats.
    static juce::String name (const std::vector<int>& notes);
    // The note list form of the notes, whatever name they have: "[C4 E4 G4]".
    static juce::String noteList (const std::vector<int>& notes);

private:
    struct Candidate;

    static void addCandidates (uint16_t pitchClasses, int bassPitchClass, bool bassIsExtra,
                               std::vector<Candidate>& candidates);
    static juce::String nameOf (const Candidate& candidate, int bassPitchClass);
};

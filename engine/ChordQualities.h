#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

// The kinds of chord the vocabulary names: what follows the root in a chord name ("m7b5"), the
// notes it stands for above the root, and how plain a name it is. Every kind has notes of its
// own: no two kinds are the same set of intervals above their root.
//
// Any thread but the audio thread; the table is built on first use (thread-safe, as a function's
// static) and never changes.
class ChordQualities
{
public:
    // One note of a chord kind: its distance above the root in semitones and in letters (a
    // flat fifth is 6 semitones and 4 letters up: the fifth of C is Gb, not F#).
    struct Degree
    {
        int semitones;
        int letterSteps;
    };

    struct Quality
    {
        juce::String suffix;            // as names are written: "" for a major triad, "m7b5"
        juce::StringArray otherSpellings;  // also read: "min7" and "-7" beside "m7"
        std::vector<Degree> degrees;    // the root first
        uint16_t intervals = 0;         // bit n: a note n semitones above the root
        // How plain the name is, 0 for a triad: among names for the same notes the plainest is
        // chosen, and one over a bass not its root ("/E") counts slashCost more.
        int cost = 0;
        bool minorThird = false;        // decides how the root is spelled
        bool hasThird = false;          // a minor or major third; sus and power chords have none
        bool hasSixthOrSeventh = false;
        bool flatFifth = false;
        // Bit n: a note n semitones above the root that a player may leave out (the fifth of a
        // seventh chord, the ninth of an eleventh); the third, the seventh and the alterations
        // are never among them.
        uint16_t omissible = 0;

        const Degree* degreeAt (int semitones) const noexcept;
        // How many notes of this kind the notes (intervals above the root, bit 0 set) leave
        // out, 0 when they are exactly this kind; -1 when they have a note the kind lacks or
        // lack one that may not be left out.
        int omittedFrom (uint16_t notes) const noexcept;
        // A power chord, a suspended triad, a diminished triad or a (b5): a fragment a player
        // names over its own root, not over a slash bass another name fits.
        bool isFragment() const noexcept;
        // A major, minor or augmented triad, or a four-note chord of a third and a sixth or
        // seventh: its inversions stay slash chords over its root (C/E, Am7/G, Am/C).
        bool keepsItsInversions() const noexcept;
        // Exactly a root, a major or minor third and a perfect fifth.
        bool isMajorOrMinorTriad() const noexcept;
        // False for 6/9 and m6/9, whose own slash would make a slash over a slash.
        bool takesASlashBass() const noexcept;
    };

    static constexpr int slashCost = 2;

    // The table, the commoner kinds first: among equally plain names the earlier kind is chosen.
    static const std::vector<Quality>& all();
    // Index into all() of the kind this suffix spells (in any of its spellings, brackets and
    // commas left out: "7(b9)" reads as "7b9"), or -1; -1 too when its brackets do not pair.
    static int findSuffix (const juce::String& suffix);

    // Whether every bracket in the suffix is closed, around something and not within another:
    // "7(b9)" and "m(maj7)" are, "7)(" and "()" are not.
    static bool bracketsPair (const juce::String& suffix);

    // The suffix as findSuffix compares it.
    static juce::String normalised (const juce::String& suffix);
};

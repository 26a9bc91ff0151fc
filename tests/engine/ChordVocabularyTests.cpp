// Chord names both ways: a column's notes to its name, and a name to notes in the documented
// voicing (bass in octave 3, the chord once in octave 4, velocity 100).

#include "engine/ChordQualities.h"
#include "engine/ChordVocabulary.h"

#include <gtest/gtest.h>
#include <juce_audio_basics/juce_audio_basics.h>

#include <array>

namespace
{
using Column = std::array<NoteCell, notesPerChord>;

Column columnOf (std::initializer_list<int> notes, int32_t velocity = 100)
{
    Column column {};

    for (int note : notes)
        column[(size_t) note] = { 1, {}, velocity };

    return column;
}

// The notes that are on, named the framework's way (sharps, middle C = C4), so that the
// expectations do not lean on the vocabulary's own note names.
std::string notesOf (const Column& column)
{
    juce::StringArray names;

    for (int note = 0; note < notesPerChord; ++note)
        if (column[(size_t) note].isOn != 0)
            names.add (juce::MidiMessage::getMidiNoteName (note, true, true, 4) + ":" + juce::String (column[(size_t) note].velocity));

    return names.joinIntoString (" ").replace (":100", "").toStdString();
}

Column parsed (const juce::String& name)
{
    auto column = columnOf ({ 0, 127 }, 5);  // whatever was there before
    const auto result = ChordVocabulary::parse (name, column.data(), notesPerChord);
    EXPECT_TRUE (result.wasOk()) << name << ": " << result.getErrorMessage();
    return column;
}

std::string nameOf (const Column& column)
{
    return ChordVocabulary::nameOf (column.data(), notesPerChord).toStdString();
}
}

// Each name parses to exactly these notes (all at velocity 100), and these notes are named so.
TEST (ChordVocabulary, SpellingsGoBothWays)
{
    const std::pair<const char*, const char*> rows[] = {
        // Triads, power chord, suspensions.
        { "C", "C3 C4 E4 G4" }, { "Cm", "C3 C4 D#4 G4" }, { "Bdim", "B3 D4 F4 B4" }, { "Caug", "C3 C4 E4 G#4" },
        { "Csus4", "C3 C4 F4 G4" }, { "Csus2", "C3 C4 D4 G4" }, { "Gsus4", "G3 C4 D4 G4" }, { "C5", "C3 C4 G4" },
        { "C(b5)", "C3 C4 E4 F#4" },
        // Sixths and sevenths, and the namers' traps: the same four notes are C6 over C and Am7
        // over A, Cm6 over C and Am7b5 over A; a diminished seventh or augmented chord is named
        // from its bass.
        { "C6", "C3 C4 E4 G4 A4" }, { "Am7", "A3 C4 E4 G4 A4" }, { "Cm6", "C3 C4 D#4 G4 A4" },
        { "Am7b5", "A3 C4 D#4 G4 A4" }, { "Bm7b5", "B3 D4 F4 A4 B4" }, { "C7", "C3 C4 E4 G4 A#4" },
        { "Cmaj7", "C3 C4 E4 G4 B4" }, { "Cm7", "C3 C4 D#4 G4 A#4" }, { "Cdim7", "C3 C4 D#4 F#4 A4" },
        { "Ebdim7", "D#3 C4 D#4 F#4 A4" }, { "Eaug", "E3 C4 E4 G#4" }, { "Abaug", "G#3 C4 E4 G#4" },
        { "Cm(maj7)", "C3 C4 D#4 G4 B4" }, { "Cmaj7#5", "C3 C4 E4 G#4 B4" }, { "C7sus4", "C3 C4 F4 G4 A#4" },
        { "C7b5", "C3 C4 E4 F#4 A#4" }, { "C7#5", "C3 C4 E4 G#4 A#4" },
        // Added notes, ninths, elevenths, thirteenths, altered fifths and ninths.
        { "Cadd9", "C3 C4 D4 E4 G4" }, { "Cmadd9", "C3 C4 D4 D#4 G4" }, { "Cadd11", "C3 C4 E4 F4 G4" },
        { "C6/9", "C3 C4 D4 E4 G4 A4" }, { "D9sus4", "D3 C4 D4 E4 G4 A4" }, { "C9", "C3 C4 D4 E4 G4 A#4" },
        { "Cm9", "C3 C4 D4 D#4 G4 A#4" }, { "Cmaj9", "C3 C4 D4 E4 G4 B4" }, { "C7b9", "C3 C4 C#4 E4 G4 A#4" },
        { "C7#9", "C3 C4 D#4 E4 G4 A#4" }, { "C7#5#9", "C3 C4 D#4 E4 G#4 A#4" }, { "C7alt", "C3 C4 C#4 D#4 E4 G#4 A#4" },
        { "C11", "C3 C4 D4 E4 F4 G4 A#4" }, { "Cm11", "C3 C4 D4 D#4 F4 G4 A#4" }, { "C7#11", "C3 C4 E4 F#4 G4 A#4" },
        { "Cmaj7#11", "C3 C4 E4 F#4 G4 B4" }, { "C13", "C3 C4 D4 E4 G4 A4 A#4" }, { "Cm13", "C3 C4 D4 D#4 G4 A4 A#4" },
        { "Cmaj13", "C3 C4 D4 E4 G4 A4 B4" }, { "C13b9", "C3 C4 C#4 E4 G4 A4 A#4" },
        // Roots off the white keys: flats for chords with a major third, C# and G# for minor ones.
        { "Db", "C#3 C#4 F4 G#4" }, { "C#m", "C#3 C#4 E4 G#4" }, { "Ebm7", "D#3 C#4 D#4 F#4 A#4" },
        { "F#7", "F#3 C#4 E4 F#4 A#4" }, { "G#m7b5", "G#3 D4 F#4 G#4 B4" }, { "Bbmaj7", "A#3 D4 F4 A4 A#4" },
        { "Ab7", "G#3 C4 D#4 F#4 G#4" }, { "C#dim7", "C#3 C#4 E4 G4 A#4" },
        // Slash chords: a chord note in the bass spelled as that note of the chord, white keys plain.
        { "C/E", "E3 C4 E4 G4" }, { "C/G", "G3 C4 E4 G4" }, { "D/F#", "F#3 D4 F#4 A4" }, { "E/G#", "G#3 E4 G#4 B4" },
        { "F#/A#", "A#3 C#4 F#4 A#4" }, { "Ab/C", "C3 C4 D#4 G#4" }, { "Bb7/Ab", "G#3 D4 F4 G#4 A#4" },
        { "G7/F", "F3 D4 F4 G4 B4" }, { "Am7/G", "G3 C4 E4 G4 A4" }, { "Dm7/C", "C3 C4 D4 F4 A4" },
        { "Fm/Ab", "G#3 C4 F4 G#4" }, { "Ebdim/A", "A3 D#4 F#4 A4" }, { "Ebm6/Gb", "F#3 C4 D#4 F#4 A#4" },
        // A bass outside the chord, spelled as its interval above the root.
        { "C/D", "D3 C4 E4 G4" }, { "F/G", "G3 C4 F4 A4" }, { "C/Bb", "A#3 C4 E4 G4" }, { "Dm/C", "C3 D4 F4 A4" },
        { "C/F#", "F#3 C4 E4 G4" },
        // No name fits: the notes with their octaves; no notes at all.
        { "[C4]", "C4" }, { "[C2 E4]", "C2 E4" }, { "[C4 C#4 D4]", "C4 C#4 D4" }, { "[C-1 C#4 G9]", "C-1 C#4 G9" },
        { "N.C.", "" },
    };

    for (const auto& [name, notes] : rows)
    {
        SCOPED_TRACE (name);
        const auto column = parsed (name);
        EXPECT_EQ (notesOf (column), notes);
        EXPECT_EQ (nameOf (column), name);
    }

    EXPECT_GE (std::size (rows), 60u);
}

// Other ways to write a chord, and voicings as players play them, come back as the name the
// namer uses; that name reads back to notes named the same way.
TEST (ChordVocabulary, OtherSpellingsReadAsTheVocabularysName)
{
    const std::pair<const char*, const char*> rows[] = {
        // Other spellings of the kind.
        { "CM7", "Cmaj7" }, { "C\xce\x94" "7", "Cmaj7" }, { "C-7", "Cm7" }, { "Cmin", "Cm" }, { "C\xc3\xb8", "Cm7b5" },
        { "C\xc2\xb0" "7", "Cdim7" }, { "C+", "Caug" }, { "Csus", "Csus4" }, { "C2", "Cadd9" }, { "C69", "C6/9" },
        { "C7(b9)", "C7b9" }, { "C7(#5,#9)", "C7#5#9" }, { "CmMaj7", "Cm(maj7)" }, { "NC", "N.C." },
        // Sharps and flats as written, and the signs themselves.
        { "A#7", "Bb7" }, { "Gb", "F#" }, { "Dbm", "C#m" }, { "A#m", "Bbm" }, { "E#", "F" }, { "Cb", "B" }, { "B#m", "Cm" },
        { "C##", "D" }, { "Ebb7", "D7" }, { "Fb/Ab", "E/G#" }, { "B\xe2\x99\xad" "m7", "Bbm7" }, { "F\xe2\x99\xaf", "F#" },
        { "[Db4 Eb4 E#4]", "[C#4 D#4 F4]" },
        // Inversions whose notes have a plainer name; voicings with a name.
        { "Am7/C", "C6" }, { "C6/G", "Am7/G" }, { "Am/F#", "F#m7b5" }, { "Caug/E", "Eaug" }, { "Cdim7/Eb", "Ebdim7" },
        { "Em/C", "Cmaj7" }, { "C5/E", "C/E" }, { "Dm7/G", "G9sus4" }, { "[C3 C4 E4 G4]", "C" }, { "[C2 G3 E4 C5]", "C" },
        { "[A1 C4 E4 G4]", "Am7" },
        // Voicings players play, lowest note first. Shells of root, third and seventh (or sixth);
        // ninths and thirteenths without their fifth, elevenths and thirteenths without their
        // ninth; seventh-sus chords without their fifth; altered dominants.
        { "[C3 E3 Bb3]", "C7" }, { "[C3 E3 B3]", "Cmaj7" }, { "[C3 Eb3 Bb3]", "Cm7" }, { "[G2 F3 B3]", "G7" },
        { "[A2 G3 C4]", "Am7" }, { "[Bb2 A3 D4]", "Bbmaj7" }, { "[C3 Eb3 A3]", "Cm6" }, { "[F#2 E3 A3]", "F#m7" },
        { "[C3 E3 Bb3 D4]", "C9" }, { "[D3 F#3 C4 E4]", "D9" }, { "[D3 F3 C4 E4]", "Dm9" }, { "[F2 A3 E4 G4]", "Fmaj9" },
        { "[C3 E3 A3 D4]", "C6/9" }, { "[A2 G3 C4 D4]", "Am11" }, { "[D3 C4 F4 G4]", "Dm11" },
        { "[Bb2 Ab3 D4 G4]", "Bb13" }, { "[G2 F3 B3 E4]", "G13" }, { "[D3 C4 F4 B4]", "Dm13" }, { "[F2 E3 A3 D4]", "Fmaj13" },
        { "[C3 Bb3 E4 A4 D5]", "C13" }, { "[C3 F3 Bb3]", "C7sus4" }, { "[E3 A3 D4]", "E7sus4" }, { "[D3 G3 C4]", "D7sus4" },
        { "[C3 E3 Bb3 Db4]", "C7b9" }, { "[E2 G#3 D4 G4]", "E7#9" }, { "[G2 F3 B3 Eb4]", "G7#5" }, { "[A2 G3 C#4 F4]", "A7#5" },
        { "[E2 D3 G#3 C4 F4]", "E7#5b9" }, { "[C3 E3 Bb3 Eb4 Ab4]", "C7#5#9" }, { "[G2 F3 B3 E4 Ab4]", "G13b9" },
        // ... and the inversions and slash chords that stay as they are.
        { "[E3 G3 C4]", "C/E" }, { "[C3 E3 A3]", "Am/C" }, { "[G2 A3 C4 E4 G4]", "Am7/G" }, { "[E3 C4 G4 Bb4]", "C7/E" },
        { "[D3 G3 C4 E4]", "C/D" }, { "[G2 F3 A3 C4]", "F/G" }, { "[C3 Bb3 D4 F4]", "Bb/C" }, { "[A2 D3 G3 B3]", "G/A" },
        { "[F#3 A3 D4]", "D/F#" }, { "[G2 D3 F3 A3 C4]", "G9sus4" },
    };

    for (const auto& [written, named] : rows)
    {
        SCOPED_TRACE (written);
        EXPECT_EQ (nameOf (parsed (juce::String::fromUTF8 (written))), named);
        EXPECT_EQ (nameOf (parsed (named)), named);
    }
}

// Every kind on every root, parsed and named, names itself: no two kinds share their notes, no
// plainer name hides one, and every other spelling of a kind reads the same notes.
TEST (ChordVocabulary, EveryKindOnEveryRootComesBackAsItself)
{
    int checked = 0;

    for (const auto& quality : ChordQualities::all())
    {
        for (const char* root : { "C", "C#", "D", "Eb", "E", "F", "F#", "G", "G#", "A", "Bb", "B" })
        {
            SCOPED_TRACE (juce::String (root) + quality.suffix);
            const auto column = parsed (juce::String (root) + quality.suffix);
            const auto name = nameOf (column);
            const auto rootLength = (int) name.size() - quality.suffix.length();

            // The root, a letter with at most one sign, then the kind: no slash, no note list.
            EXPECT_TRUE (juce::String (name).endsWith (quality.suffix) && rootLength >= 1 && rootLength <= 2) << name;
            EXPECT_EQ (notesOf (parsed (name)), notesOf (column)) << name;

            for (const auto& other : quality.otherSpellings)
                EXPECT_EQ (notesOf (parsed (juce::String (root) + other)), notesOf (column)) << other;

            ++checked;
        }
    }

    EXPECT_GE (checked, 12 * 50);
}

TEST (ChordVocabulary, NamesOutsideTheVocabularyAreRefusedAndLeaveTheCells)
{
    for (const char* name : { "", "H", "c", "Cmaj8", "C/H", "C/", "C/Eb7", "Xm7", "[C4 X4]", "[C4", "[]", "[C10]",
                              "[G#9]", "C###", "C/Ebbb", "[Bbbb3]", "[C4 E4] G" })
    {
        SCOPED_TRACE (name);
        auto column = columnOf ({ 61 }, 33);
        const auto result = ChordVocabulary::parse (name, column.data(), notesPerChord);
        EXPECT_TRUE (result.failed() && result.getErrorMessage().isNotEmpty());
        EXPECT_EQ (notesOf (column), "C#4:33");
    }
}

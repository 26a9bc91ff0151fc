// Chord names both ways: a column's notes to its name, and a name to notes in the documented
// voicing (bass in octave 3, the chord once in octave 4, velocity 100).

#include "engine/ChordQualities.h"
#include "engine/ChordVocabulary.h"

#include <gtest/gtest.h>
#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <vector>

namespace
{
using Column = std::array<NoteCell, notesPerChord>;

Column columnOf (std::initializer_list<int> notes, int32_t velocity = 100)
{
    Column column {};

    for (int note : notes)
    {
        column[(size_t) note].isOn = 1;
        column[(size_t) note].velocity = velocity;
    }

    return column;
}

// The notes that are on, named the framework's way (sharps, middle C = C4), so that the
// expectations below do not lean on the vocabulary's own note names.
std::string notesOf (const Column& column)
{
    juce::StringArray names;

    for (int note = 0; note < notesPerChord; ++note)
        if (column[(size_t) note].isOn != 0)
            names.add (juce::MidiMessage::getMidiNoteName (note, true, true, 4));

    return names.joinIntoString (" ").toStdString();
}

Column parsed (const juce::String& name)
{
    Column column = columnOf ({ 0, 127 });  // whatever was there before
    const auto result = ChordVocabulary::parse (name, column.data(), notesPerChord);
    EXPECT_TRUE (result.wasOk()) << name << ": " << result.getErrorMessage();
    return column;
}

std::string nameOf (const Column& column)
{
    return ChordVocabulary::nameOf (column.data(), notesPerChord).toStdString();
}

struct Spelling
{
    const char* name;
    const char* notes;  // in the voicing, ascending
};

void PrintTo (const Spelling& s, std::ostream* os) { *os << s.name; }
}

// Each name parses to exactly these notes, and these notes are named exactly so.
class ChordSpelling : public testing::TestWithParam<Spelling>
{
};

TEST_P (ChordSpelling, NameGivesTheVoicingAndTheVoicingGivesTheName)
{
    const auto& row = GetParam();
    const auto column = parsed (row.name);

    EXPECT_EQ (notesOf (column), row.notes);
    EXPECT_EQ (nameOf (column), row.name);

    for (const auto& cell : column)
        EXPECT_EQ (cell.velocity, 100);
}

INSTANTIATE_TEST_SUITE_P (
    Vocabulary, ChordSpelling,
    testing::Values (
        // Triads, power chord, suspensions.
        Spelling { "C", "C3 C4 E4 G4" }, Spelling { "Cm", "C3 C4 D#4 G4" }, Spelling { "Bdim", "B3 D4 F4 B4" },
        Spelling { "Caug", "C3 C4 E4 G#4" }, Spelling { "Csus4", "C3 C4 F4 G4" }, Spelling { "Csus2", "C3 C4 D4 G4" },
        Spelling { "Gsus4", "G3 C4 D4 G4" }, Spelling { "C5", "C3 C4 G4" }, Spelling { "C(b5)", "C3 C4 E4 F#4" },
        // Sixths and sevenths, and the namers' classic traps: the same four notes are C6 over C
        // and Am7 over A; Cm6 over C and Am7b5 over A; a diminished seventh or augmented chord
        // is named from its bass.
        Spelling { "C6", "C3 C4 E4 G4 A4" }, Spelling { "Am7", "A3 C4 E4 G4 A4" }, Spelling { "Cm6", "C3 C4 D#4 G4 A4" },
        Spelling { "Am7b5", "A3 C4 D#4 G4 A4" }, Spelling { "Bm7b5", "B3 D4 F4 A4 B4" }, Spelling { "C7", "C3 C4 E4 G4 A#4" },
        Spelling { "Cmaj7", "C3 C4 E4 G4 B4" }, Spelling { "Cm7", "C3 C4 D#4 G4 A#4" }, Spelling { "Cdim7", "C3 C4 D#4 F#4 A4" },
        Spelling { "Ebdim7", "D#3 C4 D#4 F#4 A4" }, Spelling { "Eaug", "E3 C4 E4 G#4" }, Spelling { "Abaug", "G#3 C4 E4 G#4" },
        Spelling { "Cm(maj7)", "C3 C4 D#4 G4 B4" }, Spelling { "Cmaj7#5", "C3 C4 E4 G#4 B4" }, Spelling { "C7sus4", "C3 C4 F4 G4 A#4" },
        Spelling { "C7b5", "C3 C4 E4 F#4 A#4" }, Spelling { "C7#5", "C3 C4 E4 G#4 A#4" },
        // Added notes, ninths, elevenths, thirteenths, altered fifths and ninths.
        Spelling { "Cadd9", "C3 C4 D4 E4 G4" }, Spelling { "Cmadd9", "C3 C4 D4 D#4 G4" }, Spelling { "Cadd11", "C3 C4 E4 F4 G4" },
        Spelling { "C6/9", "C3 C4 D4 E4 G4 A4" }, Spelling { "D9sus4", "D3 C4 D4 E4 G4 A4" }, Spelling { "C9", "C3 C4 D4 E4 G4 A#4" },
        Spelling { "Cm9", "C3 C4 D4 D#4 G4 A#4" }, Spelling { "Cmaj9", "C3 C4 D4 E4 G4 B4" }, Spelling { "C7b9", "C3 C4 C#4 E4 G4 A#4" },
        Spelling { "C7#9", "C3 C4 D#4 E4 G4 A#4" }, Spelling { "C7#5#9", "C3 C4 D#4 E4 G#4 A#4" },
        Spelling { "C7alt", "C3 C4 C#4 D#4 E4 G#4 A#4" }, Spelling { "C11", "C3 C4 D4 E4 F4 G4 A#4" },
        Spelling { "Cm11", "C3 C4 D4 D#4 F4 G4 A#4" }, Spelling { "C7#11", "C3 C4 E4 F#4 G4 A#4" },
        Spelling { "Cmaj7#11", "C3 C4 E4 F#4 G4 B4" }, Spelling { "C13", "C3 C4 D4 E4 G4 A4 A#4" },
        Spelling { "Cm13", "C3 C4 D4 D#4 G4 A4 A#4" }, Spelling { "Cmaj13", "C3 C4 D4 E4 G4 A4 B4" },
        Spelling { "C13b9", "C3 C4 C#4 E4 G4 A4 A#4" },
        // Roots off the white keys: flats for chords with a major third, C# and G# for minor ones.
        Spelling { "Db", "C#3 C#4 F4 G#4" }, Spelling { "C#m", "C#3 C#4 E4 G#4" }, Spelling { "Ebm7", "D#3 C#4 D#4 F#4 A#4" },
        Spelling { "F#7", "F#3 C#4 E4 F#4 A#4" }, Spelling { "G#m7b5", "G#3 D4 F#4 G#4 B4" }, Spelling { "Bbmaj7", "A#3 D4 F4 A4 A#4" },
        Spelling { "Ab7", "G#3 C4 D#4 F#4 G#4" }, Spelling { "C#dim7", "C#3 C#4 E4 G4 A#4" },
        // Slash chords: a chord note in the bass spelled as that note of the chord, any other bass
        // as its interval above the root, white keys always plain.
        Spelling { "C/E", "E3 C4 E4 G4" }, Spelling { "C/G", "G3 C4 E4 G4" }, Spelling { "D/F#", "F#3 D4 F#4 A4" },
        Spelling { "E/G#", "G#3 E4 G#4 B4" }, Spelling { "F#/A#", "A#3 C#4 F#4 A#4" }, Spelling { "Ab/C", "C3 C4 D#4 G#4" },
        Spelling { "Bb7/Ab", "G#3 D4 F4 G#4 A#4" }, Spelling { "G7/F", "F3 D4 F4 G4 B4" }, Spelling { "Am7/G", "G3 C4 E4 G4 A4" },
        Spelling { "Dm7/C", "C3 C4 D4 F4 A4" }, Spelling { "Fm/Ab", "G#3 C4 F4 G#4" }, Spelling { "Ebdim/A", "A3 D#4 F#4 A4" },
        Spelling { "Ebm6/Gb", "F#3 C4 D#4 F#4 A#4" },
        // A bass outside the chord: C/D, F/G, C/Bb, Dm/C.
        Spelling { "C/D", "D3 C4 E4 G4" }, Spelling { "F/G", "G3 C4 F4 A4" }, Spelling { "C/Bb", "A#3 C4 E4 G4" },
        Spelling { "Dm/C", "C3 D4 F4 A4" }, Spelling { "C/F#", "F#3 C4 E4 G4" },
        // No name fits: the notes with their octaves; no notes at all.
        Spelling { "[C4]", "C4" }, Spelling { "[C2 E4]", "C2 E4" }, Spelling { "[C4 C#4 D4]", "C4 C#4 D4" },
        Spelling { "[C-1 C#4 G9]", "C-1 C#4 G9" }, Spelling { "N.C.", "" }),
    [] (const testing::TestParamInfo<Spelling>& info) { return "row" + std::to_string (info.index); });

// Other ways to write a chord read the same notes, and come back as the name the namer uses.
TEST (ChordVocabulary, OtherSpellingsReadAsTheVocabularysName)
{
    const std::pair<const char*, const char*> rows[] = {
        // Other spellings of the kind.
        { "CM7", "Cmaj7" }, { "C\xce\x94" "7", "Cmaj7" }, { "C-7", "Cm7" }, { "Cmin", "Cm" }, { "C\xc3\xb8", "Cm7b5" },
        { "C\xc2\xb0" "7", "Cdim7" }, { "C+", "Caug" }, { "Csus", "Csus4" }, { "C2", "Cadd9" }, { "C69", "C6/9" },
        { "C7(b9)", "C7b9" }, { "C7(#5,#9)", "C7#5#9" }, { "CmMaj7", "Cm(maj7)" }, { "NC", "N.C." },
        // Sharps and flats as written, and the signs themselves.
        { "A#7", "Bb7" }, { "Gb", "F#" }, { "Dbm", "C#m" }, { "A#m", "Bbm" }, { "E#", "F" }, { "Cb", "B" }, { "B#m", "Cm" }, { "C##", "D" }, { "Ebb7", "D7" },
        { "Fb/Ab", "E/G#" }, { "B\xe2\x99\xad" "m7", "Bbm7" }, { "F\xe2\x99\xaf", "F#" }, { "[Db4 Eb4 E#4]", "[C#4 D#4 F4]" },
        // Inversions whose notes have a plainer name.
        { "Am7/C", "C6" }, { "C6/G", "Am7/G" }, { "Am/F#", "F#m7b5" }, { "Caug/E", "Eaug" }, { "Cdim7/Eb", "Ebdim7" },
        { "Em/C", "Cmaj7" }, { "C5/E", "C/E" }, { "Dm7/G", "G9sus4" }, { "[C3 C4 E4 G4]", "C" },
    };

    for (const auto& [written, named] : rows)
    {
        SCOPED_TRACE (written);
        EXPECT_EQ (nameOf (parsed (juce::String::fromUTF8 (written))), named);
        EXPECT_EQ (nameOf (parsed (named)), named);
    }
}

// Any voicing of the same notes over the same bass has the same name; the velocities do not count.
TEST (ChordVocabulary, NamesFollowPitchClassesAndTheBassNotOctavesOrVelocities)
{
    EXPECT_EQ (nameOf (columnOf ({ 36, 55, 64, 72, 76 }, 17)), "C");
    EXPECT_EQ (nameOf (columnOf ({ 40, 48, 55, 60 })), "C/E");
    EXPECT_EQ (nameOf (columnOf ({ 33, 60, 64, 67 })), "Am7");   // A under a C triad
    EXPECT_EQ (nameOf (columnOf ({ 36, 64, 67, 71 })), "Cmaj7");  // C under an E minor triad
    EXPECT_EQ (nameOf (columnOf ({ 38, 60, 64, 67 })), "C/D");
    EXPECT_EQ (nameOf (columnOf ({ 60, 67 })), "C5");
    EXPECT_EQ (nameOf (columnOf ({ 60, 64 })), "[C4 E4]");
    EXPECT_EQ (nameOf (columnOf ({})), "N.C.");

    // Any non-zero on byte is on; cells past note 127 are no notes.
    auto column = columnOf ({ 60, 64 });
    column[67].isOn = 0xFF;
    EXPECT_EQ (nameOf (column), "C");

    NoteCell longColumn[200] = {};
    longColumn[60].isOn = longColumn[150].isOn = 1;
    EXPECT_EQ (ChordVocabulary::nameOf (longColumn, 200), "[C4]");
}

// Every kind of the vocabulary, on every root: parsed and named, it names itself, so no two kinds
// share their notes and no plainer name hides one.
TEST (ChordVocabulary, EveryKindOnEveryRootComesBackAsItself)
{
    static const char* const roots[] = { "C", "C#", "D", "Eb", "E", "F", "F#", "G", "G#", "A", "Bb", "B" };
    int checked = 0;

    for (const auto& quality : ChordQualities::all())
    {
        for (const char* root : roots)
        {
            const auto written = juce::String (root) + quality.suffix;
            SCOPED_TRACE (written);
            const auto column = parsed (written);
            const auto name = nameOf (column);

            // The root, a letter with at most one sign, then the kind: no slash, no note list.
            const auto rootLength = (int) name.size() - quality.suffix.length();
            EXPECT_TRUE (juce::String (name).endsWith (quality.suffix) && rootLength >= 1 && rootLength <= 2) << name;
            EXPECT_EQ (notesOf (parsed (name)), notesOf (column)) << name;

            // Every other spelling of the kind reads the same notes.
            for (const auto& other : quality.otherSpellings)
                EXPECT_EQ (notesOf (parsed (juce::String (root) + other)), notesOf (column)) << other;

            ++checked;
        }
    }

    EXPECT_EQ (checked, 12 * (int) ChordQualities::all().size());
    EXPECT_GE (checked, 12 * 50);
}

TEST (ChordVocabulary, NamesOutsideTheVocabularyAreRefusedAndLeaveTheCells)
{
    for (const char* name : { "", "H", "c", "Cmaj8", "C/H", "C/", "C/Eb7", "Xm7", "[C4 X4]", "[C4", "[]", "[C10]", "[G#9]", "C###", "C/Ebbb", "[Bbbb3]",
                              "[C4 E4] G" })
    {
        SCOPED_TRACE (name);
        auto column = columnOf ({ 61 }, 33);
        const auto result = ChordVocabulary::parse (name, column.data(), notesPerChord);

        EXPECT_TRUE (result.failed());
        EXPECT_FALSE (result.getErrorMessage().isEmpty());
        EXPECT_EQ (notesOf (column), "C#4");
        EXPECT_EQ (column[61].velocity, 33);
    }

    // Control: the same calls take a good name.
    auto column = columnOf ({ 61 }, 33);
    EXPECT_TRUE (ChordVocabulary::parse ("G#9", column.data(), notesPerChord).wasOk());
}

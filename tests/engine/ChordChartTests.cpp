// Chord charts: a grid written as chord names in bars, and read back into columns.

#include "engine/ChordChartReader.h"
#include "engine/ChordChartWriter.h"
#include "engine/ChordVocabulary.h"

#include <gtest/gtest.h>

namespace
{
void setNotes (GridState& grid, int column, std::initializer_list<int> notes, int32_t velocity = 100)
{
    for (int note : notes)
        grid.column (column)[note] = { 1, {}, velocity };
}

void setChord (GridState& grid, int column, const char* name)
{
    ASSERT_TRUE (ChordVocabulary::parse (name, grid.column (column), grid.getCellsPerColumn()).wasOk()) << name;
}

// The cells that are on, as "note:velocity".
std::string cellsOf (const GridState& grid, int column)
{
    std::string text;

    for (int note = 0; note < grid.getCellsPerColumn(); ++note)
        if (grid.column (column)[note].isOn != 0)
            text += std::to_string (note) + ":" + std::to_string (grid.column (column)[note].velocity) + " ";

    return text;
}
}

TEST (ChordChart, GridOfEveryKindOfColumnComesBackAsTheChartPromises)
{
    GridState grid (9, notesPerChord);
    // 0: empty.  1-3, 7, 8: named chords in the vocabulary's voicing, slash chords among them.
    setChord (grid, 1, "Am7");
    setChord (grid, 2, "F/A");
    setChord (grid, 3, "G7sus4");
    setChord (grid, 7, "C/D");
    setChord (grid, 8, "C#m7");
    // 4: notes no name fits.  5: a chord at velocity 80.  6: the same chord spread wide.
    setNotes (grid, 4, { 24, 61, 62, 127 });
    setNotes (grid, 5, { 48, 60, 64, 67 }, 80);
    setNotes (grid, 6, { 36, 55, 64, 72 });

    const auto chart = ChordChartWriter::write (grid);
    EXPECT_EQ (chart, "N.C. Am7 F/A G7sus4 | [C1 C#4 D4 G9] C C C/D | C#m7 |\n");

    const auto read = ChordChartReader::read (chart);
    ASSERT_NE (read.grid, nullptr) << read.error;
    ASSERT_EQ (read.grid->getNumColumns(), 9);

    // Named chords in the voicing and note lists come back cell for cell.
    for (int column : { 0, 1, 2, 3, 4, 7, 8 })
        EXPECT_EQ (cellsOf (*read.grid, column), cellsOf (grid, column)) << "column " << column;

    // A chart keeps names, not velocities or voicings: both C columns come back as the voiced C.
    EXPECT_EQ (cellsOf (*read.grid, 5), "48:100 60:100 64:100 67:100 ");
    EXPECT_EQ (cellsOf (*read.grid, 6), cellsOf (*read.grid, 5));
    EXPECT_EQ (ChordChartWriter::write (*read.grid), chart);
}

TEST (ChordChart, BarLinesAndLineBreaksMakeNoColumnsAndPlaceAnUnknownName)
{
    const auto read = ChordChartReader::read ("| C   Am7 |\n\n|| F/A\tG7 | N.C. | [C4 E4] |");
    ASSERT_NE (read.grid, nullptr) << read.error;
    EXPECT_EQ (ChordChartWriter::write (*read.grid), "C Am7 F/A G7 | N.C. [C4 E4] |\n");
    EXPECT_EQ (ChordChartReader::read (" | \n ").grid->getNumColumns(), 0);

    const std::pair<std::string, std::string> refused[] = {
        { "C Am7 | F/A Hm7", "'Hm7' (line 1, bar 2, chord 2) is no chord name" },
        { "C\n| D | | Xb |", "'Xb' (line 2, bar 3, chord 1) is no chord name" },
        { "Cmaj8", "'Cmaj8' (line 1, bar 1, chord 1) is no chord name: no chord kind is spelled 'maj8'" },
        { "C | G [C4 E4", "'[C4 E4' (line 1, bar 2, chord 2) is no chord name" },
        { "C | D |\n\nE c", "'c' (line 3, bar 3, chord 2)" },
        // Brackets that pair with nothing are no part of a kind.
        { "G7)(", "'G7)(' (line 1, bar 1, chord 1) is no chord name: no chord kind is spelled '7)('" },
        { "C C)))", "'C)))' (line 1, bar 1, chord 2)" }, { "C()", "'C()'" }, { "Cm(maj7", "'Cm(maj7'" },
        { "C7((b9))", "'C7((b9))'" },
        // A name of a megabyte is quoted by its first 60 characters.
        { "C " + std::string (1 << 20, 'x'), "'" + std::string (57, 'x') + "...' (line 1, bar 1, chord 2)" },
        { "C Gmaj" + std::string (1 << 20, '7'), "is no chord name: no chord kind is spelled 'maj" + std::string (54, '7') + "...'" },
    };

    for (const auto& [chart, error] : refused)
    {
        SCOPED_TRACE (chart.substr (0, 20));
        const auto result = ChordChartReader::read (juce::String (chart));
        EXPECT_EQ (result.grid, nullptr);
        EXPECT_TRUE (result.error.contains (error) && ! result.error.containsChar ('\n')) << result.error;
        EXPECT_LT (result.error.length(), 240);
    }

    // As many chords as a grid holds, and one more.
    const auto chartOf = [] (int chords) { return juce::String::repeatedString ("C ", chords); };
    EXPECT_EQ (ChordChartReader::read (chartOf (GridState::maxColumns)).grid->getNumColumns(), GridState::maxColumns);
    EXPECT_EQ (ChordChartReader::read (chartOf (GridState::maxColumns + 1)).error,
               "the chart holds 4097 chords, more than the 4096 a grid holds");
}

// A chart file's bytes: all of them are read, and one that is no text is refused with its place.
TEST (ChordChart, FileBytesAreReadWholeAsUtf8Text)
{
    const std::pair<std::string, std::string> charts[] = {
        // Read: UTF-8 signs, CR LF line ends, a byte-order mark.
        { "C Am7\r\nB\xe2\x99\xad" "7 | F\xe2\x99\xaf C\xce\x94" "7 B\xc3\xb8 E\xc2\xb0" "7", "C Am7 Bb7 F# | Cmaj7 Bm7b5 Edim7 |\n" },
        { "\xef\xbb\xbf" "C\tG\n", "C G |\n" },
        // Refused, whatever follows the byte.
        { std::string ("C\0Am7 G", 7), "byte 0x00 (line 1, character 2) is no text" },
        { "C G\r\nAm7 \x01", "byte 0x01 (line 2, character 5)" },
        { "C \x7f", "byte 0x7F (line 1, character 3)" },
        { "C \xb0", "byte 0xB0 (line 1, character 3)" },        // a degree sign in Latin-1
        { "C \xe2\x99", "byte 0xE2 (line 1, character 3)" },    // a sign cut short
        { "C\n\xc0\x80", "byte 0xC0 (line 2, character 1)" },  // NUL, overlong
        { "C \xc2\x85", "byte 0xC2 (line 1, character 3)" },    // a control character
        { "G \xed\xa0\x80", "byte 0xED (line 1, character 3)" }, // a surrogate
    };

    for (const auto& [bytes, expected] : charts)
    {
        SCOPED_TRACE (bytes);
        const auto result = ChordChartReader::read (bytes.data(), bytes.size());

        if (result.grid != nullptr)
            EXPECT_EQ (ChordChartWriter::write (*result.grid).toStdString(), expected);
        else
            EXPECT_TRUE (result.error.startsWith (expected)) << result.error;
    }
}

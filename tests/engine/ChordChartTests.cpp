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
    {
        grid.column (column)[note].isOn = 1;
        grid.column (column)[note].velocity = velocity;
    }
}

void setChord (GridState& grid, int column, const char* name)
{
    ASSERT_TRUE (ChordVocabulary::parse (name, grid.column (column), grid.getCellsPerColumn()).wasOk()) << name;
}

juce::MemoryBlock bytesOf (const GridState& grid)
{
    juce::MemoryBlock bytes;
    grid.appendTo (bytes);
    return bytes;
}

// Every cell of column, as a string of "note:velocity" for the cells that are on.
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
    // 0: empty.  1-3: named chords in the vocabulary's voicing, a slash chord among them.
    setChord (grid, 1, "Am7");
    setChord (grid, 2, "F/A");
    setChord (grid, 3, "G7sus4");
    // 4: notes no name fits, spread over octaves.  5: a chord at velocity 80.
    setNotes (grid, 4, { 24, 61, 62, 127 });
    setNotes (grid, 5, { 48, 60, 64, 67 }, 80);
    // 6: a C major triad spread wide.  7: a bass outside the chord.  8: a sharp root, minor.
    setNotes (grid, 6, { 36, 55, 64, 72 });
    setChord (grid, 7, "C/D");
    setChord (grid, 8, "C#m7");

    const auto chart = ChordChartWriter::write (grid);
    EXPECT_EQ (chart, "N.C. Am7 F/A G7sus4 | [C1 C#4 D4 G9] C C C/D | C#m7 |\n");

    const auto read = ChordChartReader::read (chart);
    ASSERT_NE (read.grid, nullptr) << read.error;
    ASSERT_EQ (read.grid->getNumColumns(), 9);
    EXPECT_EQ (read.grid->getCellsPerColumn(), notesPerChord);

    // Named chords in the voicing and note lists come back cell for cell.
    for (int column : { 0, 1, 2, 3, 4, 7, 8 })
        EXPECT_EQ (cellsOf (*read.grid, column), cellsOf (grid, column)) << "column " << column;

    // A chart keeps names, not velocities or voicings: both C columns come back as the voiced C.
    EXPECT_EQ (cellsOf (*read.grid, 5), "48:100 60:100 64:100 67:100 ");
    EXPECT_EQ (cellsOf (*read.grid, 6), cellsOf (*read.grid, 5));

    // What was read is written the same way again.
    EXPECT_EQ (ChordChartWriter::write (*read.grid), chart);
}

TEST (ChordChart, BarLinesAndLineBreaksMakeNoColumns)
{
    const auto read = ChordChartReader::read ("| C   Am7 |\n\n|| F/A\tG7 | N.C. | [C4 E4] |");
    ASSERT_NE (read.grid, nullptr) << read.error;

    GridState expected (6, notesPerChord);
    setChord (expected, 0, "C");
    setChord (expected, 1, "Am7");
    setChord (expected, 2, "F/A");
    setChord (expected, 3, "G7");
    setNotes (expected, 5, { 60, 64 });
    EXPECT_EQ (bytesOf (*read.grid), bytesOf (expected));

    const auto empty = ChordChartReader::read (" | \n ");
    ASSERT_NE (empty.grid, nullptr);
    EXPECT_EQ (empty.grid->getNumColumns(), 0);
    EXPECT_EQ (ChordChartWriter::write (*empty.grid), "");
}

TEST (ChordChart, AnUnknownNameIsRefusedWithItsPlace)
{
    const std::pair<const char*, const char*> rows[] = {
        { "C Am7 | F/A Hm7", "'Hm7' (line 1, bar 2, chord 2) is no chord name" },
        { "C\n| D | | Xb |", "'Xb' (line 2, bar 3, chord 1) is no chord name" },
        { "Cmaj8", "'Cmaj8' (line 1, bar 1, chord 1) is no chord name: no chord kind is spelled 'maj8'" },
        { "C | G [C4 E4", "'[C4 E4' (line 1, bar 2, chord 2) is no chord name" },
        { "C | D |\n\nE c", "'c' (line 3, bar 3, chord 2)" },
    };

    for (const auto& [chart, error] : rows)
    {
        SCOPED_TRACE (chart);
        const auto read = ChordChartReader::read (chart);
        EXPECT_EQ (read.grid, nullptr);
        EXPECT_TRUE (read.error.startsWith (error)) << read.error;
        EXPECT_FALSE (read.error.containsChar ('\n'));
    }
}

TEST (ChordChart, AChartOfMoreChordsThanAGridHoldsIsRefused)
{
    const auto chartOf = [] (int chords) {
        juce::StringArray names;

        for (int i = 0; i < chords; ++i)
            names.add ("C");

        return names.joinIntoString (" ");
    };

    const auto largest = ChordChartReader::read (chartOf (GridState::maxColumns));
    ASSERT_NE (largest.grid, nullptr) << largest.error;
    EXPECT_EQ (largest.grid->getNumColumns(), GridState::maxColumns);

    const auto beyond = ChordChartReader::read (chartOf (GridState::maxColumns + 1));
    EXPECT_EQ (beyond.grid, nullptr);
    EXPECT_EQ (beyond.error, "the chart holds 4097 chords, more than the 4096 a grid holds");
}

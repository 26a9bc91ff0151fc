#include "engine/ChordChartWriter.h"

#include "engine/ChordVocabulary.h"

juce::String ChordChartWriter::write (const GridState& grid)
{
    // Appending to a string copies it each time it grows: a long chart goes through a stream.
    juce::MemoryOutputStream chart;
    NoteCell cells[notesPerChord];

    for (int i = 0; i < grid.getNumColumns(); ++i)
    {
        grid.copyColumn (i, cells, notesPerChord);
        const bool startsBar = i % chordsPerBar == 0;
        const bool startsLine = i % (chordsPerBar * barsPerLine) == 0;

        if (startsLine && i > 0)
            chart << " |\n";
        else if (startsBar && i > 0)
            chart << " | ";
        else if (i > 0)
            chart << " ";

        chart << ChordVocabulary::nameOf (cells, notesPerChord);
    }

    if (grid.getNumColumns() > 0)
        chart << " |\n";

    return chart.toString();
}

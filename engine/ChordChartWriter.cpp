#include "engine/ChordChartWriter.h"

#include "engine/ChordVocabulary.h"

juce::String ChordChartWriter::write (const GridState& grid)
{
    juce::String chart;
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

    return chart.isEmpty() ? chart : chart + " |\n";
}

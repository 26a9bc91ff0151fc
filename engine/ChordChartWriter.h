#pragma once

#include "engine/GridState.h"

#include <juce_core/juce_core.h>

// Writes a grid as a chord chart that ChordChartReader reads back: each column's
// ChordVocabulary name, four to a bar (a chord a beat, as a pedal pressed on every beat of 4/4
// plays them), four bars to a line, each bar closed by " |":
//
//     C Am F G | Em Am Dm7 G7 |
//
// A chart keeps names, not voicings or velocities: read back, each column holds its chord in the
// vocabulary's voicing at velocity 100, except a column no name fits, whose note list gives back
// exactly its notes (at velocity 100 too).
//
// Any thread but the audio thread: it allocates. Waits on nothing.
class ChordChartWriter
{
public:
    static constexpr int chordsPerBar = 4;
    static constexpr int barsPerLine = 4;

    // An empty text for a grid without columns; otherwise lines, each ending in a line break.
    static juce::String write (const GridState& grid);
};

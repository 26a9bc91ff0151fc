#pragma once

#include "engine/GridState.h"

#include <juce_core/juce_core.h>

#include <memory>

// Reads a chord chart into a grid, one column for each chord in the chart's order. A chart is
// text: chord names (ChordVocabulary's, "N.C." for an empty column, "[C4 E4 F#4]" for exact
// notes) separated by spaces, tabs or line breaks, with bar lines "|" anywhere between them:
// "C Am7 | F/A G7". Bar lines and line breaks only help reading (and placing a mistake): they
// make no columns. Each column holds 128 cells, in ChordVocabulary's voicing at velocity 100.
//
// Any thread but the audio thread: it allocates. Waits on nothing.
class ChordChartReader
{
public:
    struct Result
    {
        std::unique_ptr<GridState> grid;  // nullptr when the chart is refused
        juce::String error;               // one line, when it is
    };

    // Refuses the whole chart for its first name outside the vocabulary, naming it and its place
    // ("'Hm7' (line 1, bar 2, chord 1) is no chord name: a chord name starts with a note letter
    // from A to G"), and a chart of more chords than GridState::maxColumns. A chart without
    // chords is a grid of no columns.
    static Result read (const juce::String& chart);
};

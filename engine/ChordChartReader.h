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
    // A chart as a file holds it: UTF-8 (♭, ♯, Δ, ø, ° and the like), lines ending in LF or CR
    // LF, perhaps after a byte-order mark. Every byte is read; a byte that is no such text (a
    // NUL or another control character, a byte that is not UTF-8) refuses the chart with its
    // place: "byte 0x00 (line 1, character 2) is no text: a chart is UTF-8 text".
    static Result read (const void* bytes, size_t size);

private:
    // Where the text stops being UTF-8 text a chart may hold, or size when it does not.
    static size_t firstByteNotText (const uint8_t* bytes, size_t size);
};

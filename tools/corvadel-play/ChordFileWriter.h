#pragma once

#include "engine/GridState.h"

#include <juce_core/juce_core.h>

// A grid as a MIDI file of chords that --chords reads back to the same grid: a tempo track, then
// one track with a chord a beat from beat 0 on channel 1. Each column's notes start on its beat,
// at the velocity the plug-in sends them (the stored velocity held within 1 to 127), and end on
// the next beat; a text event on the beat names the chord (ChordVocabulary's name, "N.C." for a
// column without notes, which --chords reads as an empty column). Velocities from 1 to 127 come
// back exactly.
class ChordFileWriter
{
public:
    // Main thread; waits on nothing. The Standard MIDI File's bytes, at 960 ticks a beat.
    static juce::MemoryBlock write (const GridState& grid, double bpm);
};

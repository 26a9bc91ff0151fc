#pragma once

#include "engine/GridState.h"
#include "engine/NoteCell.h"
#include "engine/StateChunk.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <vector>

// The chords for the plug-in's grid, as the state chunk that the plug-in takes: int32 column
// count, int32 cells per column (128), then each column's cells from note 0 up, each cell its on
// byte, three unused bytes and an int32 velocity, all little-endian.
class ChordSequence
{
public:
    struct Note
    {
        int number;
        int velocity;
    };
    using Chord = std::vector<Note>;

    static constexpr int cellsPerColumn = notesPerChord;
    // The largest state the plug-in writes: its most columns of its most cells, and a settings block.
    static constexpr int64_t maxStateBytes = StateChunk::maxSize;
    // The largest grid written as a chart, 4096 note lists of all 128 notes, takes 1.8 MB.
    static constexpr int64_t maxChartBytes = 4 * 1024 * 1024;
    // The text event that marks a beat of no chord in a chords file ("N.C.").
    static const char* const noChordText;

    // About eight chords voiced around middle C over a bass note.
    static ChordSequence demo();
    static ChordSequence fromChords (const std::vector<Chord>& chords, const juce::String& origin);
    // Notes that start at the same tick, on any track or channel, make one chord; chords follow
    // in time order. A text or marker event "N.C." at a tick where no note starts is an empty
    // chord. Throws InputError when the file is missing, unreadable, holds neither notes nor
    // "N.C." or more chords than the plug-in's grid takes.
    static ChordSequence fromMidiFile (const juce::File& file);
    // A saved chunk, kept byte for byte. Throws InputError when it cannot be read or is larger
    // than maxStateBytes.
    static ChordSequence fromStateFile (const juce::File& file);
    // A chord chart (see ChordChartReader): read from the file the argument names (relative to
    // the current folder) when one exists there, otherwise the argument is the chart. Throws
    // InputError when the file cannot be read or is larger than maxChartBytes, or the chart
    // holds a byte that is no text, no chords, a name outside the vocabulary or more chords than
    // the grid takes.
    static ChordSequence fromChart (const std::string& argument);

    // Whether the plug-in takes it, and how many columns it then holds, is the plug-in's answer.
    const juce::MemoryBlock& getChunk() const noexcept { return chunk; }
    // Where the chords come from, for the listing and for messages.
    const juce::String& getOrigin() const noexcept { return origin; }
    bool isSavedState() const noexcept { return savedState; }

private:
    ChordSequence (juce::MemoryBlock chunkBytes, juce::String originText, bool fromSavedState);

    static juce::MemoryBlock chunkFor (const std::vector<Chord>& chords);
    static std::vector<Chord> chordsIn (const juce::MidiFile& file);

    juce::MemoryBlock chunk;
    juce::String origin;
    bool savedState;
};

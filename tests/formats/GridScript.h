#pragma once

// The grids the format tests load and the MIDI a host must get back for them: what a pedal press
// sends is worked out here from the grid alone, the way a musician reads the grid.

#include "tests/formats/FormatPlugin.h"

#include <string>
#include <utility>
#include <vector>

namespace GridScript
{
using Grid = std::vector<ChordColumn>;

// Three chords with notes at the edges (0, 127) and stored velocities above 127.
Grid threeChords();
std::vector<uint8_t> chunkOf (const Grid& grid);
// The VST 3 component's stream for threeChords(), as a Linux build of the bundle saved it.
std::vector<uint8_t> threeChordsVst3StreamSavedOnLinux();
std::string hexOf (const std::vector<uint8_t>& bytes);
// States that must be refused whole, each named.
std::vector<std::pair<std::string, std::vector<uint8_t>>> malformedChunks (const std::vector<uint8_t>& valid);

// Steps through a grid as the pedal does: each press ends the sounding chord (note-offs of
// velocity 0, ascending) and starts the next column's (note-ons, ascending, the stored velocity
// held within 1 to 127), all on channel 1 at the press's sample, wrapping after the last column.
class Player
{
public:
    explicit Player (Grid grid);
    std::vector<MidiOut> pressesAt (const std::vector<int>& samples);
    // What a Stop sends at the block's first sample.
    std::vector<MidiOut> stop();
    int column() const { return current; }

private:
    void endChord (int sample, std::vector<MidiOut>& out);

    Grid grid;
    int current = -1;
    bool sounding = false;
};
}

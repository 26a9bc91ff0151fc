#pragma once

#include "tests/fuzz/EventList.h"

#include <vector>

// Where one instance must start chords, worked out from the events the host delivered: a pedal
// message (controller 64, any channel) with a value other than 0 presses when the pedal has been
// released since the last press (or never pressed); value 0 releases. Events wait for the next
// block of one frame or more, in time order (equal positions in the order they came; a position
// before the block counts as its first frame), and are dropped when the host switches the
// plug-in off or on. Chords may also end without a press: at a panic (controllers 120 and 123 to
// 127, any channel), and at the first frame of the first block after the host switched the
// plug-in off.
class PedalModel
{
public:
    void delivered (const std::vector<IncomingMidi>& midi);
    void hostSwitched() { waiting.clear(); switched = true; }

    // The positions in a block of this many frames at which chords change, in order; the
    // waiting events are used up, unless the block has no frames.
    std::vector<int32_t> pressesInBlock (int blockSize);
    // The positions in the block pressesInBlock last worked out at which the chord may end
    // without a press.
    const std::vector<int32_t>& silencesInBlock() const { return silences; }

    // Where an event the host placed at this offset sounds in a block of one frame or more:
    // offsets outside it are moved to its nearest end.
    static int32_t positionInBlock (int32_t deltaFrames, int blockSize);

private:
    static bool isPedal (const IncomingMidi& midi);

    std::vector<IncomingMidi> waiting;
    std::vector<int32_t> silences;
    bool released = true;
    bool switched = false;
};

#include "tests/fuzz/PedalModel.h"

#include <algorithm>

void PedalModel::delivered (const std::vector<IncomingMidi>& midi)
{
    for (auto message : midi)
    {
        // Before the block's start is at its start, whichever block that turns out to be.
        message.deltaFrames = std::max<int32_t> (0, message.deltaFrames);
        waiting.push_back (message);
    }
}

bool PedalModel::isPedal (const IncomingMidi& midi)
{
    return (midi.bytes[0] & 0xF0) == 0xB0 && midi.bytes[1] == 64;
}

int32_t PedalModel::positionInBlock (int32_t deltaFrames, int blockSize)
{
    return std::clamp<int32_t> (deltaFrames, 0, blockSize - 1);
}

std::vector<int32_t> PedalModel::pressesInBlock (int blockSize)
{
    if (blockSize <= 0)
        return {};

    std::stable_sort (waiting.begin(), waiting.end(),
                      [] (const IncomingMidi& a, const IncomingMidi& b) { return a.deltaFrames < b.deltaFrames; });
    std::vector<int32_t> presses;
    silences.assign (switched ? 1 : 0, 0);
    switched = false;

    for (const auto& midi : waiting)
    {
        const bool panic = (midi.bytes[0] & 0xF0) == 0xB0 && (midi.bytes[1] == 120 || midi.bytes[1] >= 123);

        if (panic)
            silences.push_back (positionInBlock (midi.deltaFrames, blockSize));

        if (! isPedal (midi))
            continue;

        if (midi.bytes[2] == 0)
        {
            released = true;
        }
        else if (released)
        {
            presses.push_back (positionInBlock (midi.deltaFrames, blockSize));
            released = false;
        }
    }

    waiting.clear();
    return presses;
}

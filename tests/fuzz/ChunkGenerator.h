#pragma once

#include "tests/fuzz/FuzzRandom.h"
#include "tests/fuzz/StateModel.h"

// State chunks a host might hand over: grids of any shape the format allows, grids spoilt by a
// few changes (bits flipped, bytes cut off or added, counts overwritten), and plain noise.
class ChunkGenerator
{
public:
    explicit ChunkGenerator (FuzzRandom& randomToUse) : random (randomToUse) {}

    // A new chunk; now and then one made from the state the plug-in saved last.
    Bytes make (const Bytes& savedLast);

    Bytes randomGrid();
    Bytes spoilt (Bytes chunk);
    Bytes noise();

private:
    void spoilOnce (Bytes& chunk);
    void overwriteCount (Bytes& chunk);
    void writeCell (Bytes& chunk, size_t offset);

    FuzzRandom& random;
};

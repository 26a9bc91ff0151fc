#pragma once

#include "engine/GridState.h"
#include "engine/PlayerSettings.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <optional>

// The plug-in's whole state: the grid (GridState's bytes), then, only when a setting differs
// from its default, the settings block (PlayerSettings). Bytes after the grid that do not start
// a settings block are ignored, as they always were.
class StateChunk
{
public:
    struct Contents
    {
        std::unique_ptr<GridState> grid;
        PlayerSettings settings;
    };

    // The largest state written: a grid of the most columns of the most cells, then the longest
    // settings block. (Bytes after the cells that start no block are ignored, of any length.)
    static constexpr int64_t maxSize = GridState::headerSize
                                     + (int64_t) GridState::maxColumns * GridState::maxCellsPerColumn * GridState::cellSize
                                     + PlayerSettings::maxBlockSize;

    // Nothing when the grid is malformed, or a settings block follows it and is malformed: the
    // state is then refused whole. Any thread; allocates the grid.
    static std::optional<Contents> read (const void* data, int64_t sizeInBytes);

    static void write (const GridState& grid, const PlayerSettings& settings, juce::MemoryBlock& destination);
};

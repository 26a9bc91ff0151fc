#pragma once

#include "engine/NoteCellArray.h"

#include <juce_core/juce_core.h>

#include <memory>

// A whole grid as the plug-in's state holds it: a column count C, a cell count R per column and
// C × R note cells, column after column. As bytes (all integers little-endian): int32 C,
// int32 R, then each cell as its on byte, three bytes without meaning and an int32 velocity.
class GridState
{
public:
    static constexpr int headerSize = 8;
    static constexpr int cellSize = 8;

    // Bounds of a plausible grid; a chunk beyond them is refused rather than allocated. 4096
    // chords is over half an hour at a chord a beat at 120 bpm; columns hold 128 notes, so a
    // thousand cells leave room for any layout this format could grow into.
    static constexpr int32_t maxColumns = 4096;
    static constexpr int32_t maxCellsPerColumn = 1024;

    GridState (int numColumns, int cellsPerColumn);
    GridState (const GridState& other);

    // Reads a chunk without going past its size; nullptr when the chunk is malformed or beyond
    // the bounds above.
    static std::unique_ptr<GridState> fromChunk (const void* data, int64_t sizeInBytes);

    void appendTo (juce::MemoryBlock& destination) const;

    int getNumColumns() const noexcept { return numColumns; }
    // The bytes appendTo writes.
    int64_t getStoredSize() const noexcept { return headerSize + (int64_t) numColumns * cellsPerColumn * cellSize; }
    int getCellsPerColumn() const noexcept { return cellsPerColumn; }

    // Copies column index into count cells: the stored cells first, default cells for the rest
    // (all default when the index names no column). Allocates nothing.
    void copyColumn (int index, NoteCell* out, int count) const noexcept;

    NoteCell* column (int index) noexcept;
    const NoteCell* column (int index) const noexcept;

    // Edits make a new grid and leave this one as it is: a published grid is never changed, so
    // the audio thread and a save can read it while the editor makes the next one. A grid with
    // fewer cells per column than count grows to count (the new cells default); one with more
    // keeps the cells past count. Message thread; each allocates the whole new grid.
    std::unique_ptr<GridState> withColumnCells (int index, const NoteCell* cells, int count) const;
    // index past the end (or negative) appends; a grid at maxColumns stays as it is.
    std::unique_ptr<GridState> withEmptyColumnAt (int index) const;
    std::unique_ptr<GridState> withoutColumn (int index) const;
    // The columns of inserted go in at index (past the end, or negative: appended), as many as
    // maxColumns allows.
    std::unique_ptr<GridState> withColumnsInserted (int index, const GridState& inserted) const;
    // The count columns from first (clipped to the grid) as a grid of their own.
    std::unique_ptr<GridState> columnsFrom (int first, int count) const;
    // The columns from index on, removedCount of them, replaced by the columns of replacement;
    // the cells per column are the larger of the two, or the replacement's when it replaces the
    // whole grid.
    std::unique_ptr<GridState> withColumnsReplaced (int index, int removedCount, const GridState& replacement) const;
    // The count columns from first taken out and put back in so that the first of them is at
    // index to of the result (0 to the number of columns less count).
    std::unique_ptr<GridState> withColumnsMoved (int first, int count, int to) const;

    // Whether column index holds the very bytes of column otherIndex of other.
    bool columnEquals (int index, const GridState& other, int otherIndex) const noexcept;
    // The memory the grid holds.
    int64_t getMemorySize() const noexcept { return (int64_t) sizeof (GridState) + (int64_t) numColumns * cellsPerColumn * (int64_t) sizeof (NoteCell); }

private:
    int numColumns;
    int cellsPerColumn;
    NoteCellArray cells;
};

#include "engine/GridState.h"

#include "engine/LittleEndian.h"

#include <algorithm>
#include <cstring>

GridState::GridState (int columns, int perColumn)
    : numColumns (columns), cellsPerColumn (perColumn), cells (columns * perColumn)
{
}

GridState::GridState (const GridState& other)
    : GridState (other.numColumns, other.cellsPerColumn)
{
    std::copy_n (other.cells.data(), (size_t) numColumns * (size_t) cellsPerColumn, cells.data());
}

std::unique_ptr<GridState> GridState::fromChunk (const void* data, int64_t sizeInBytes)
{
    if (data == nullptr || sizeInBytes < headerSize)
        return nullptr;

    const auto* bytes = static_cast<const uint8_t*> (data);
    const int32_t columns = LittleEndian::readInt32 (bytes);
    const int32_t perColumn = LittleEndian::readInt32 (bytes + 4);

    if (columns < 0 || perColumn < 0 || columns > maxColumns || perColumn > maxCellsPerColumn)
        return nullptr;

    const int64_t cellCount = (int64_t) columns * perColumn;

    if (headerSize + cellCount * cellSize > sizeInBytes)
        return nullptr;

    auto state = std::make_unique<GridState> (columns, perColumn);
    const uint8_t* source = bytes + headerSize;

    for (int64_t i = 0; i < cellCount; ++i, source += cellSize)
    {
        auto& cell = state->cells.data()[i];
        cell.isOn = source[0];
        std::memcpy (cell.unused, source + 1, sizeof (cell.unused));
        cell.velocity = LittleEndian::readInt32 (source + 4);
    }

    return state;
}

void GridState::appendTo (juce::MemoryBlock& destination) const
{
    const size_t cellCount = (size_t) numColumns * (size_t) cellsPerColumn;
    const size_t start = destination.getSize();

    // One resize for the whole grid: growing the block cell by cell reallocates it thousands of
    // times for a long grid.
    destination.setSize (start + headerSize + cellCount * cellSize);
    auto* out = static_cast<uint8_t*> (destination.getData()) + start;

    out = LittleEndian::writeInt32 (out, numColumns);
    out = LittleEndian::writeInt32 (out, cellsPerColumn);

    for (size_t i = 0; i < cellCount; ++i)
    {
        const auto& cell = cells.data()[i];
        out[0] = cell.isOn;
        std::memcpy (out + 1, cell.unused, sizeof (cell.unused));
        out = LittleEndian::writeInt32 (out + 4, cell.velocity);
    }
}

void GridState::copyColumn (int index, NoteCell* out, int count) const noexcept
{
    const NoteCell* stored = column (index);
    const int storedCount = stored != nullptr ? std::min (count, cellsPerColumn) : 0;

    std::copy_n (stored, storedCount, out);
    std::fill (out + storedCount, out + count, NoteCell {});
}

NoteCell* GridState::column (int index) noexcept
{
    return index >= 0 && index < numColumns ? cells.data() + (int64_t) index * cellsPerColumn : nullptr;
}

const NoteCell* GridState::column (int index) const noexcept
{
    return index >= 0 && index < numColumns ? cells.data() + (int64_t) index * cellsPerColumn : nullptr;
}

std::unique_ptr<GridState> GridState::withColumnCells (int index, const NoteCell* newCells, int count) const
{
    if (column (index) == nullptr)
        return std::make_unique<GridState> (*this);

    const int perColumn = std::max (cellsPerColumn, std::min (count, (int) maxCellsPerColumn));
    auto edited = std::make_unique<GridState> (numColumns, perColumn);

    for (int i = 0; i < numColumns; ++i)
        std::copy_n (column (i), cellsPerColumn, edited->column (i));

    std::copy_n (newCells, std::min (count, perColumn), edited->column (index));
    return edited;
}

std::unique_ptr<GridState> GridState::withEmptyColumnAt (int index) const
{
    // A grid past the bound could be saved but never restored again.
    if (numColumns >= maxColumns)
        return std::make_unique<GridState> (*this);

    if (index < 0 || index > numColumns)
        index = numColumns;

    auto edited = std::make_unique<GridState> (numColumns + 1, cellsPerColumn);

    for (int i = 0; i < numColumns; ++i)
        std::copy_n (column (i), cellsPerColumn, edited->column (i < index ? i : i + 1));

    return edited;
}

std::unique_ptr<GridState> GridState::withoutColumn (int index) const
{
    if (column (index) == nullptr)
        return std::make_unique<GridState> (*this);

    auto edited = std::make_unique<GridState> (numColumns - 1, cellsPerColumn);

    for (int i = 0; i < edited->numColumns; ++i)
        std::copy_n (column (i < index ? i : i + 1), cellsPerColumn, edited->column (i));

    return edited;
}

std::unique_ptr<GridState> GridState::withColumnsInserted (int index, const GridState& inserted) const
{
    if (index < 0 || index > numColumns)
        index = numColumns;

    const int added = std::min (inserted.numColumns, (int) maxColumns - numColumns);
    const int perColumn = std::max (cellsPerColumn, inserted.cellsPerColumn);
    auto edited = std::make_unique<GridState> (numColumns + std::max (0, added), perColumn);

    for (int i = 0; i < numColumns; ++i)
        copyColumn (i, edited->column (i < index ? i : i + std::max (0, added)), perColumn);

    for (int i = 0; i < added; ++i)
        inserted.copyColumn (i, edited->column (index + i), perColumn);

    return edited;
}

std::unique_ptr<GridState> GridState::columnsFrom (int first, int count) const
{
    first = std::clamp (first, 0, numColumns);
    count = std::clamp (count, 0, numColumns - first);
    auto block = std::make_unique<GridState> (count, cellsPerColumn);

    for (int i = 0; i < count; ++i)
        std::copy_n (column (first + i), cellsPerColumn, block->column (i));

    return block;
}

std::unique_ptr<GridState> GridState::withColumnsReplaced (int index, int removedCount, const GridState& replacement) const
{
    index = std::clamp (index, 0, numColumns);
    removedCount = std::clamp (removedCount, 0, numColumns - index);

    if (index == 0 && removedCount == numColumns)
        return std::make_unique<GridState> (replacement);

    const int kept = numColumns - removedCount;
    const int added = std::min (replacement.numColumns, (int) maxColumns - kept);
    const int perColumn = std::max (cellsPerColumn, replacement.cellsPerColumn);
    auto edited = std::make_unique<GridState> (kept + added, perColumn);

    for (int i = 0; i < index; ++i)
        copyColumn (i, edited->column (i), perColumn);

    for (int i = 0; i < added; ++i)
        replacement.copyColumn (i, edited->column (index + i), perColumn);

    for (int i = index + removedCount; i < numColumns; ++i)
        copyColumn (i, edited->column (i - removedCount + added), perColumn);

    return edited;
}

std::unique_ptr<GridState> GridState::withColumnsMoved (int first, int count, int to) const
{
    first = std::clamp (first, 0, numColumns);
    count = std::clamp (count, 0, numColumns - first);
    to = std::clamp (to, 0, numColumns - count);
    auto moved = std::make_unique<GridState> (numColumns, cellsPerColumn);
    int source = 0;

    for (int i = 0; i < numColumns; ++i)
    {
        if (i >= to && i < to + count)
        {
            std::copy_n (column (first + i - to), cellsPerColumn, moved->column (i));
            continue;
        }

        if (source == first)
            source += count;

        std::copy_n (column (source++), cellsPerColumn, moved->column (i));
    }

    return moved;
}

bool GridState::columnEquals (int index, const GridState& other, int otherIndex) const noexcept
{
    const auto* mine = column (index);
    const auto* theirs = other.column (otherIndex);

    return mine != nullptr && theirs != nullptr && cellsPerColumn == other.cellsPerColumn
        && std::memcmp (mine, theirs, (size_t) cellsPerColumn * sizeof (NoteCell)) == 0;
}

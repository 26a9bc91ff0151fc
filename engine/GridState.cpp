#include "engine/GridState.h"

#include "engine/LittleEndian.h"

#include <algorithm>

GridState::GridState (int columns, int perColumn)
    : numColumns (columns), cellsPerColumn (perColumn), cells (columns * perColumn)
{
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
    const int64_t cellCount = (int64_t) numColumns * cellsPerColumn;

    LittleEndian::appendInt32 (destination, numColumns);
    LittleEndian::appendInt32 (destination, cellsPerColumn);

    for (int64_t i = 0; i < cellCount; ++i)
    {
        const auto& cell = cells.data()[i];
        uint8_t bytes[cellSize];
        bytes[0] = cell.isOn;
        std::memcpy (bytes + 1, cell.unused, sizeof (cell.unused));
        const auto velocity = juce::ByteOrder::swapIfBigEndian ((uint32_t) cell.velocity);
        std::memcpy (bytes + 4, &velocity, sizeof (velocity));
        destination.append (bytes, sizeof (bytes));
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

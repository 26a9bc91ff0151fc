#include "tests/fuzz/StateModel.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr int64_t headerSize = 8;
constexpr int64_t cellSize = 8;
constexpr int gridRows = 128;
constexpr int freshColumns = 2;

int32_t readInt32 (const uint8_t* bytes)
{
    uint32_t v = 0;

    for (int i = 0; i < 4; ++i)
        v |= (uint32_t) bytes[i] << (8 * i);

    return (int32_t) v;
}

void appendInt32 (Bytes& bytes, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back ((uint8_t) ((uint32_t) value >> (8 * i)));
}

void appendCell (Bytes& bytes, uint8_t isOn, int32_t velocity)
{
    bytes.push_back (isOn);
    bytes.insert (bytes.end(), 3, 0);
    appendInt32 (bytes, velocity);
}
}

std::optional<size_t> StateModel::acceptedLength (const uint8_t* data, int64_t size)
{
    if (data == nullptr || size < headerSize)
        return std::nullopt;

    const int64_t columns = readInt32 (data);
    const int64_t perColumn = readInt32 (data + 4);

    if (columns < 0 || perColumn < 0 || columns > 4096 || perColumn > 1024)
        return std::nullopt;

    const int64_t length = headerSize + columns * perColumn * cellSize;

    if (length > size)
        return std::nullopt;

    return (size_t) length;
}

Bytes StateModel::gridBuiltFrom (const std::optional<Bytes>& keptChunk)
{
    Bytes grid;
    const int32_t columns = keptChunk ? readInt32 (keptChunk->data()) : freshColumns;
    const int32_t perColumn = keptChunk ? readInt32 (keptChunk->data() + 4) : 0;
    const int32_t stored = std::min (perColumn, gridRows);

    appendInt32 (grid, columns);
    appendInt32 (grid, gridRows);

    for (int32_t c = 0; c < columns; ++c)
    {
        for (int32_t row = 0; row < gridRows; ++row)
        {
            if (row < stored)
            {
                const uint8_t* cell = keptChunk->data() + headerSize + ((int64_t) c * perColumn + row) * cellSize;
                appendCell (grid, cell[0], readInt32 (cell + 4));
            }
            else
            {
                appendCell (grid, 0, 100);
            }
        }
    }

    return grid;
}

bool StateModel::chunkGiven (const uint8_t* data, int64_t size)
{
    const auto length = acceptedLength (data, size);

    if (! length)
        return false;

    Bytes chunk (data, data + *length);

    if (editorOpen)
        restoredWhileOpen = std::move (chunk);
    else
        kept = std::move (chunk);

    return true;
}

void StateModel::editorBuilt()
{
    if (editorOpen)
        return;

    openGrid = gridBuiltFrom (kept);
    restoredWhileOpen.reset();
    editorOpen = true;
}

void StateModel::editorClosed()
{
    if (! editorOpen)
        return;

    kept = restoredWhileOpen ? *restoredWhileOpen : openGrid;
    restoredWhileOpen.reset();
    editorOpen = false;
}

Bytes StateModel::expectedSave() const
{
    if (editorOpen)
        return openGrid;

    return kept.value_or (Bytes {});
}

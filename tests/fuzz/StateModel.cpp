#include "tests/fuzz/StateModel.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr int64_t headerSize = 8;
constexpr int64_t cellSize = 8;

int32_t readInt32 (const uint8_t* bytes)
{
    uint32_t v = 0;

    for (int i = 0; i < 4; ++i)
        v |= (uint32_t) bytes[i] << (8 * i);

    return (int32_t) v;
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

bool StateModel::chunkGiven (const uint8_t* data, int64_t size)
{
    const auto length = acceptedLength (data, size);

    if (! length)
        return false;

    kept = Bytes (data, data + *length);
    return true;
}

Bytes StateModel::expectedSave() const
{
    return kept.value_or (Bytes {});
}

#pragma once

#include <cstdint>
#include <optional>
#include <vector>

using Bytes = std::vector<uint8_t>;

// What one instance must save, worked out from the state rules alone: a chunk is accepted when
// its header holds at most 4096 columns of at most 1024 cells, neither negative, and the bytes
// hold every cell; the instance saves the chunk it accepted last, byte for byte without trailing
// bytes, whatever the host asked of its editor (without a display no editor is ever built, and
// asking for its size builds none).
class StateModel
{
public:
    // The length of the chunk that is kept when these bytes are handed over, nothing when the
    // chunk must be refused.
    static std::optional<size_t> acceptedLength (const uint8_t* data, int64_t size);

    // Returns whether the chunk is accepted.
    bool chunkGiven (const uint8_t* data, int64_t size);

    Bytes expectedSave() const;

private:
    std::optional<Bytes> kept;
};

#pragma once

#include <cstdint>
#include <optional>
#include <vector>

using Bytes = std::vector<uint8_t>;

// What one instance must save, worked out from the state rules alone: a chunk is accepted when
// its header holds at most 4096 columns of at most 1024 cells, neither negative, and the bytes
// hold every cell; with no editor open the instance saves the chunk it accepted last (without
// trailing bytes), or the grid of the editor that closed last; an open editor saves its grid,
// which it built from the kept chunk (128 cells a column, the bytes without meaning cleared) or
// as two empty columns.
class StateModel
{
public:
    // The length of the chunk that is kept when these bytes are handed over, nothing when the
    // chunk must be refused.
    static std::optional<size_t> acceptedLength (const uint8_t* data, int64_t size);

    // The grid an editor builds from a kept chunk, as the editor saves it.
    static Bytes gridBuiltFrom (const std::optional<Bytes>& kept);

    // Returns whether the chunk is accepted.
    bool chunkGiven (const uint8_t* data, int64_t size);
    void editorBuilt();
    void editorClosed();

    bool isEditorOpen() const { return editorOpen; }
    Bytes expectedSave() const;

private:
    std::optional<Bytes> kept;
    bool editorOpen = false;
    Bytes openGrid;
    std::optional<Bytes> restoredWhileOpen;
};

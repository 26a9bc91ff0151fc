#pragma once

#include "engine/NoteCell.h"

#include <memory>

// A fixed-size, owned run of note cells. Every operation ignores an index that names no cell.
class NoteCellArray
{
public:
    explicit NoteCellArray (int count);

    int size() const noexcept { return count; }

    void setOn (int index, uint8_t isOn) noexcept;
    void setVelocity (int index, int32_t velocity) noexcept;
    void toggle (int index) noexcept;

    NoteCell* getCell (int index) noexcept;
    const NoteCell* getCell (int index) const noexcept;

    NoteCell* data() noexcept { return cells.get(); }
    const NoteCell* data() const noexcept { return cells.get(); }

private:
    bool contains (int index) const noexcept { return index >= 0 && index < count; }

    int count;
    std::unique_ptr<NoteCell[]> cells;
};

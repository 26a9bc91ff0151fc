#include "engine/NoteCellArray.h"

#include <algorithm>

NoteCellArray::NoteCellArray (int numCells)
    : count (std::max (0, numCells)), cells (new NoteCell[(size_t) std::max (0, numCells)])
{
}

void NoteCellArray::setOn (int index, uint8_t isOn) noexcept
{
    if (auto* cell = getCell (index))
        cell->isOn = isOn;
}

void NoteCellArray::setVelocity (int index, int32_t velocity) noexcept
{
    if (auto* cell = getCell (index))
        cell->velocity = velocity;
}

void NoteCellArray::toggle (int index) noexcept
{
    if (auto* cell = getCell (index))
        cell->isOn = cell->isOn == 0 ? 1 : 0;
}

NoteCell* NoteCellArray::getCell (int index) noexcept
{
    return contains (index) ? cells.get() + index : nullptr;
}

const NoteCell* NoteCellArray::getCell (int index) const noexcept
{
    return contains (index) ? cells.get() + index : nullptr;
}

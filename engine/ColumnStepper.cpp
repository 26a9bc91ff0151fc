#include "engine/ColumnStepper.h"

using EndOfGrid = PlayerSettings::EndOfGrid;

ColumnStepper::Step ColumnStepper::next (int position, int numColumns, EndOfGrid end) noexcept
{
    // An empty grid ends the chord and plays nothing.
    if (numColumns <= 0)
        return { true, false, -1 };

    const bool atOrPastLast = position >= numColumns - 1;

    if (! atOrPastLast)
        return { true, true, position < -1 ? 0 : position + 1 };

    switch (end)
    {
        case EndOfGrid::stop:  return { true, false, numColumns };
        case EndOfGrid::hold:  return { false, false, position };
        case EndOfGrid::wrap:  break;
    }

    return { true, true, 0 };
}

ColumnStepper::Step ColumnStepper::previous (int position, int numColumns, EndOfGrid end) noexcept
{
    if (numColumns <= 0)
        return { true, false, -1 };

    // From past the end (or a position a shorter grid no longer has): the last column.
    if (position >= numColumns)
        return { true, true, numColumns - 1 };

    if (position > 0)
        return { true, true, position - 1 };

    switch (end)
    {
        case EndOfGrid::stop:  return { true, false, -1 };
        case EndOfGrid::hold:  return { false, false, position };
        case EndOfGrid::wrap:  break;
    }

    return { true, true, numColumns - 1 };
}

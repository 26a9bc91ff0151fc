#include "engine/PlayPositionChange.h"

int PlayPositionChange::apply (int position, int numColumns) const noexcept
{
    switch (kind)
    {
        case Kind::restart:
            return -1;

        case Kind::columnInserted:
            if (position >= 0 && column <= position)
                position += count;
            break;

        case Kind::columnRemoved:
            // Deleting the column that sounds makes the one after it current (the first, when it
            // was the last), so the next press plays the column after that.
            if (position == column)
                position = numColumns == 0 ? -1 : (column < numColumns ? column : 0);
            else if (position > column)
                --position;
            break;

        case Kind::moveTo:
            if (column >= 0 && column < numColumns)
                position = column;
            break;

        case Kind::keep:
            break;
    }

    return position >= 0 && position < numColumns ? position : -1;
}

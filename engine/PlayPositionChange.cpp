#include "engine/PlayPositionChange.h"

#include <algorithm>

PlayPosition PlayPositionChange::apply (PlayPosition position, int numColumns) const noexcept
{
    switch (kind)
    {
        case Kind::restart:
            return PlayPosition {}.within (numColumns);

        case Kind::columnRestored:
            // Nothing has sounded since: the chord that sounds is the column's again.
            if (position.sounding < 0 && position.next == column && ! position.stoppedAtEnd)
            {
                position.sounding = column;
                position.next = column + 1;
                break;
            }

            return columnInserted (column).apply (position, numColumns);

        case Kind::columnInserted:
        {
            // The next column is the one after the sounding one, whatever lands there; a column
            // of its own (after a jump, a chosen position, a Stop) moves with its chord.
            const bool nextIsOwnColumn = position.next != position.sounding + 1;

            if (position.next > column || (position.next == column && nextIsOwnColumn))
                position.next += count;

            if (position.sounding >= column)
                position.sounding += count;

            break;
        }

        case Kind::columnRemoved:
            // The chord of a deleted column sounds on, in no column; the next press plays the
            // column that followed it.
            if (position.sounding >= column && position.sounding < column + count)
                position.sounding = -1;
            else if (position.sounding >= column + count)
                position.sounding -= count;

            if (position.next > column)
                position.next = std::max (column, position.next - count);
            break;

        case Kind::columnsMoved:
        {
            // Each mark follows its own column; a next column that is simply the one after the
            // sounding one stays so.
            const bool nextFollowsSounding = position.sounding >= 0 && position.next == position.sounding + 1;

            if (position.sounding >= 0)
                position.sounding = movedIndex (position.sounding);

            if (nextFollowsSounding)
                position.next = position.sounding + 1;
            else if (position.next < numColumns)
                position.next = movedIndex (position.next);
            break;
        }

        case Kind::moveTo:
            if (column >= 0 && column < numColumns)
            {
                position.next = column + 1;
                position.stoppedAtEnd = false;
            }
            break;

        case Kind::keep:
            break;
    }

    return position.within (numColumns);
}

int PlayPositionChange::movedIndex (int index) const noexcept
{
    if (index >= column && index < column + count)
        return to + index - column;

    const int withoutBlock = index < column ? index : index - count;
    return withoutBlock >= to ? withoutBlock + count : withoutBlock;
}

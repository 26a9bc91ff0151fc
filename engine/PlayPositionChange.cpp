#include "engine/PlayPositionChange.h"

PlayPosition PlayPositionChange::apply (PlayPosition position, int numColumns) const noexcept
{
    switch (kind)
    {
        case Kind::restart:
            return PlayPosition {}.within (numColumns);

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
            if (position.sounding == column)
                position.sounding = -1;
            else if (position.sounding > column)
                --position.sounding;

            if (position.next > column)
                --position.next;
            break;

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

#pragma once

#include "engine/PlayPosition.h"

// What an edit of the grid does to the play position: the sounding column and the next column
// move as inserting and deleting columns moves their columns, a stop at the end holds, a new grid
// starts before its first column, and a chosen column makes the one after it the next to play.
// Applied by the player at the moment the edited grid is published.
struct PlayPositionChange
{
    enum class Kind
    {
        keep,            // the columns kept their places
        restart,         // a new grid: the next press plays its first column
        columnInserted,  // count columns went in at column; the ones from there on moved right
        columnRemoved,   // the column at column went; the ones after it moved left
        moveTo           // the player chose column: the next press plays the one after it
    };

    Kind kind = Kind::keep;
    int column = -1;
    int count = 1;

    static PlayPositionChange keep() { return {}; }
    static PlayPositionChange restart() { return { Kind::restart, -1, 1 }; }
    static PlayPositionChange columnInserted (int index, int numInserted = 1) { return { Kind::columnInserted, index, numInserted }; }
    static PlayPositionChange columnRemoved (int index) { return { Kind::columnRemoved, index, 1 }; }
    static PlayPositionChange moveTo (int index) { return { Kind::moveTo, index, 1 }; }

    // The position after the change, in a grid that now has numColumns columns.
    PlayPosition apply (PlayPosition position, int numColumns) const noexcept;
};

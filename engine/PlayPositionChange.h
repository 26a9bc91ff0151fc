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
        columnRemoved,   // count columns from column went; the ones after them moved left
        columnsMoved,    // count columns from column moved to stand from index to on
        columnRestored,  // a deleted column whose chord sounds on in no column came back at column
        moveTo           // the player chose column: the next press plays the one after it
    };

    Kind kind = Kind::keep;
    int column = -1;
    int count = 1;
    int to = -1;

    static PlayPositionChange keep() { return {}; }
    static PlayPositionChange restart() { return { Kind::restart, -1, 1 }; }
    static PlayPositionChange columnInserted (int index, int numInserted = 1) { return { Kind::columnInserted, index, numInserted }; }
    static PlayPositionChange columnRemoved (int index, int numRemoved = 1) { return { Kind::columnRemoved, index, numRemoved }; }
    static PlayPositionChange columnsMoved (int first, int numMoved, int to) { return { Kind::columnsMoved, first, numMoved, to }; }
    static PlayPositionChange columnRestored (int index) { return { Kind::columnRestored, index, 1 }; }
    static PlayPositionChange moveTo (int index) { return { Kind::moveTo, index, 1 }; }

    // The position after the change, in a grid that now has numColumns columns.
    PlayPosition apply (PlayPosition position, int numColumns) const noexcept;

private:
    // Where column index of the grid before a move stands after it.
    int movedIndex (int index) const noexcept;
};

#pragma once

// What an edit of the grid does to the play position: the column that sounds keeps sounding,
// and the position follows it through the edit (or starts again, or moves where the player put
// it). Applied by the player at the moment the edited grid is published.
struct PlayPositionChange
{
    enum class Kind
    {
        keep,            // the columns kept their places
        restart,         // a new grid: the next press plays its first column
        columnInserted,  // count columns went in at column; the ones from there on moved right
        columnRemoved,   // the column at column went; the ones after it moved left
        moveTo           // the player chose column as the one sounding
    };

    Kind kind = Kind::keep;
    int column = -1;
    int count = 1;

    static PlayPositionChange keep() { return {}; }
    static PlayPositionChange restart() { return { Kind::restart, -1, 1 }; }
    static PlayPositionChange columnInserted (int index, int numInserted = 1) { return { Kind::columnInserted, index, numInserted }; }
    static PlayPositionChange columnRemoved (int index) { return { Kind::columnRemoved, index, 1 }; }
    static PlayPositionChange moveTo (int index) { return { Kind::moveTo, index, 1 }; }

    // The position after the change, in a grid that now has numColumns columns: always an
    // existing column, or -1.
    int apply (int position, int numColumns) const noexcept;
};

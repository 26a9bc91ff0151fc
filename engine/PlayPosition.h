#pragma once

#include "engine/PlayerSettings.h"

#include <cstdint>

// Where the player stands in its grid, three things kept apart: the column whose chord sounds,
// the column the next press plays, and whether the end of the grid stopped the playing. Plain
// rules, free of any thread; the player keeps one in an atomic word, so that whoever shows it
// reads all three at once.
struct PlayPosition
{
    // The column whose chord sounds; -1 for none (before any press, and once Stop, a panic, the
    // host or the end of the grid silenced it).
    int sounding = -1;
    // The column a press of the next trigger plays, 0 to the number of columns: the number of
    // columns is the place past the last, where the end-of-grid setting decides.
    int next = 0;
    // The end of the grid stopped the playing: the next trigger plays nothing until previous,
    // reset or a jump.
    bool stoppedAtEnd = false;

    // Where the triggers step from (see ColumnStepper): the column before next, or past the last
    // once stopped.
    int stepOrigin (int numColumns) const noexcept { return stoppedAtEnd ? numColumns : next - 1; }

    // The column a press of the next trigger plays, -1 when it plays none.
    int columnNextPressPlays (int numColumns, PlayerSettings::EndOfGrid end) const noexcept;
    // That column when it is not simply the one after the sounding column (after a jump, a
    // chosen position, a Stop ...): the one to cue on screen; -1 otherwise.
    int cuedColumn (int numColumns, PlayerSettings::EndOfGrid end) const noexcept;

    // Fitted to a grid of numColumns columns: a column it no longer has sounds nowhere.
    PlayPosition within (int numColumns) const noexcept;

    uint64_t pack() const noexcept;
    static PlayPosition unpack (uint64_t word) noexcept;

    bool operator== (const PlayPosition& other) const noexcept
    {
        return sounding == other.sounding && next == other.next && stoppedAtEnd == other.stoppedAtEnd;
    }
    bool operator!= (const PlayPosition& other) const noexcept { return ! (*this == other); }
};

#pragma once

#include "engine/PlayerSettings.h"

// Where a press of the next or the previous trigger leads, in a grid of numColumns columns, from
// the play position: -1 before the first column, numColumns past the last (after the end of the
// grid stopped the playing). Plain rules, free of any thread.
class ColumnStepper
{
public:
    struct Step
    {
        bool endsChord;     // the sounding chord ends
        bool playsColumn;   // the column at position starts
        int position;

        bool operator== (const Step& other) const noexcept
        {
            return endsChord == other.endsChord && playsColumn == other.playsColumn && position == other.position;
        }
    };

    static Step next (int position, int numColumns, PlayerSettings::EndOfGrid end) noexcept;
    // Back one column, wrapping as next does: at the first column it wraps with wrap, ends the
    // chord and goes before the first with stop, and keeps the chord with hold.
    static Step previous (int position, int numColumns, PlayerSettings::EndOfGrid end) noexcept;
};

#pragma once

#include <cstdint>

// One note of one chord. Cells are copied whole between grid columns, the copy buffer, the
// player's current chord and the saved state, so the layout is fixed at 8 bytes.
struct NoteCell
{
    static constexpr int32_t defaultVelocity = 100;

    uint8_t isOn = 0;            // any non-zero value means on
    uint8_t unused[3] = {};      // carries no meaning; readers ignore it
    int32_t velocity = defaultVelocity;
};

static_assert (sizeof (NoteCell) == 8, "a note cell is stored as 8 bytes");

constexpr int notesPerChord = 128;

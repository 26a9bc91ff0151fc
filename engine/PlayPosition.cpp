#include "engine/PlayPosition.h"

#include <algorithm>

int PlayPosition::columnNextPressPlays (int numColumns, PlayerSettings::EndOfGrid end) const noexcept
{
    if (stoppedAtEnd || numColumns <= 0)
        return -1;

    if (next < numColumns)
        return std::max (0, next);

    return end == PlayerSettings::EndOfGrid::wrap ? 0 : -1;
}

int PlayPosition::cuedColumn (int numColumns, PlayerSettings::EndOfGrid end) const noexcept
{
    if (next == sounding + 1 && sounding >= 0)
        return -1;

    return columnNextPressPlays (numColumns, end);
}

PlayPosition PlayPosition::within (int numColumns) const noexcept
{
    PlayPosition fitted = *this;
    numColumns = std::max (0, numColumns);

    if (fitted.sounding >= numColumns || fitted.sounding < -1)
        fitted.sounding = -1;

    fitted.next = fitted.stoppedAtEnd ? numColumns : std::clamp (fitted.next, 0, numColumns);
    return fitted;
}

uint64_t PlayPosition::pack() const noexcept
{
    return (uint64_t) (uint32_t) (sounding + 1) | ((uint64_t) (uint32_t) next << 32) | (stoppedAtEnd ? 1ull << 63 : 0);
}

PlayPosition PlayPosition::unpack (uint64_t word) noexcept
{
    PlayPosition p;
    p.sounding = (int) (uint32_t) (word & 0xFFFFFFFFu) - 1;
    p.next = (int) (uint32_t) ((word >> 32) & 0x7FFFFFFFu);
    p.stoppedAtEnd = (word >> 63) != 0;
    return p;
}

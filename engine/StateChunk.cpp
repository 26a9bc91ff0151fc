#include "engine/StateChunk.h"

std::optional<StateChunk::Contents> StateChunk::read (const void* data, int64_t sizeInBytes)
{
    auto grid = GridState::fromChunk (data, sizeInBytes);

    if (grid == nullptr)
        return std::nullopt;

    const int64_t gridSize = grid->getStoredSize();
    const auto* rest = static_cast<const uint8_t*> (data) + gridSize;
    const int64_t restSize = sizeInBytes - gridSize;
    Contents contents { std::move (grid), PlayerSettings() };

    if (PlayerSettings::startsBlock (rest, restSize))
    {
        const auto settings = PlayerSettings::readBlock (rest, restSize);

        if (! settings)
            return std::nullopt;

        contents.settings = *settings;
    }

    return contents;
}

void StateChunk::write (const GridState& grid, const PlayerSettings& settings, juce::MemoryBlock& destination)
{
    grid.appendTo (destination);

    // A grid with every setting at its default is saved exactly as before settings existed.
    if (! settings.isDefault())
        settings.appendBlockTo (destination);
}

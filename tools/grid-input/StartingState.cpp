#include "StartingState.h"

#include "engine/StateChunk.h"

StartingState::StartingState (juce::MemoryBlock chunkBytes, const PlayerSettings& playerSettings)
    : chunk (std::move (chunkBytes)), settings (playerSettings)
{
}

StartingState StartingState::compose (const ChordSequence& chords, const SettingsOptions& options)
{
    const auto& given = chords.getChunk();
    const auto stored = StateChunk::read (given.getData(), (int64_t) given.getSize());

    // Not repaired: the plug-in refuses it whole, and the run says so.
    if (! stored)
        return StartingState (given, options.applyTo (PlayerSettings()));

    const auto settings = options.applyTo (stored->settings);

    if (! options.any())
        return StartingState (given, settings);

    // The grid's bytes come out of StateChunk as they went in, and only the settings change.
    juce::MemoryBlock chunk;
    StateChunk::write (*stored->grid, settings, chunk);
    return StartingState (std::move (chunk), settings);
}

#pragma once

#include "ChordSequence.h"
#include "SettingsOptions.h"

#include "engine/PlayerSettings.h"

#include <juce_core/juce_core.h>

// The state the plug-in is given before it plays: the chords' grid, then the playing settings
// block when a setting differs from its default (StateChunk's layout). A state file's own
// settings block counts, with the command line's settings in place of its values.
class StartingState
{
public:
    // Main thread; waits on nothing. A state file given without setting options is handed over
    // byte for byte; one the plug-in will refuse (a malformed grid or settings block) is handed
    // over as it is, for the plug-in to refuse. Throws UsageError as SettingsOptions::applyTo does.
    static StartingState compose (const ChordSequence& chords, const SettingsOptions& options);

    const juce::MemoryBlock& getChunk() const noexcept { return chunk; }
    // The settings the chunk gives the plug-in: which controller the pedal presses.
    const PlayerSettings& getSettings() const noexcept { return settings; }

private:
    StartingState (juce::MemoryBlock chunkBytes, const PlayerSettings& playerSettings);

    juce::MemoryBlock chunk;
    PlayerSettings settings;
};

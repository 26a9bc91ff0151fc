#pragma once

#include "PedalSchedule.h"

#include <juce_core/juce_core.h>

// The plug-in's editor drawn into a PNG with no display. The plug-in's own editor lives inside
// the loaded library, out of reach, so an editor is built here from the project's code, given
// the plug-in's final state and the same pedal presses, and drawn.
class EditorSnapshot
{
public:
    // Main thread, with no framework running yet; waits on nothing. Returns the PNG file's bytes.
    // Throws InputError when the picture cannot be made.
    static juce::MemoryBlock drawPng (const juce::MemoryBlock& finalState, const PedalSchedule& pedal);
};

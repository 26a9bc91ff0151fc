#pragma once

#include <juce_core/juce_core.h>

// How large the player wants the window, a preference of the user's and not of the project: it
// lives in a small file of its own ($XDG_CONFIG_HOME/corvadel/editor.settings, or
// ~/.config/corvadel/ without it; the user's application data folder on Windows), never in the
// plug-in's state. The zoom multiplies whatever scale the host and the display already apply.
// Message thread (the file is read and written whole, at once).
class EditorZoom
{
public:
    static constexpr int choices[] = { 100, 125, 150, 200 };

    // The zoom chosen last, in percent; 100 when none was, or the file says something else.
    static int load();
    // Keeps percent (one of choices) for every window opened from now on.
    static void save (int percent);

    static bool isChoice (int percent) noexcept;
    static juce::File preferenceFile();
};

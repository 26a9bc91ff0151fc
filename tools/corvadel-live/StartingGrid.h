#pragma once

#include "GridSourceOptions.h"

#include <juce_core/juce_core.h>

// The grid the program starts with, and what becomes of the kept file: the grid given on the
// command line replaces it (the old one kept as .prev); otherwise the kept grid plays (with the
// command line's playing settings in place of its own, which replaces it too); a kept file the
// player would refuse is set aside as .bad, and a missing one is made. With no grid at all, two
// empty columns, as a new plug-in's window shows.
class StartingGrid
{
public:
    enum class KeptFileAction { keep, create, replace, setAsideAsBad };

    // Main thread; reads the files and changes nothing. Throws InputError for a source on the
    // command line that cannot be read or that the player refuses, UsageError as the settings
    // options do.
    static StartingGrid choose (const GridSourceOptions& given, const juce::File& keptFile);

    // The player's state: the grid, and the settings block when a setting is not its default.
    juce::MemoryBlock chunk;
    juce::String origin;
    KeptFileAction action = KeptFileAction::keep;
    // Why the kept file is set aside.
    juce::String problem;

private:
    static StartingGrid fromCommandLine (const GridSourceOptions& given, bool keptFileExists);
    static StartingGrid fromKeptFile (const GridSourceOptions& given, const juce::File& keptFile);
    static StartingGrid empty (const SettingsOptions& settings, KeptFileAction action);
};

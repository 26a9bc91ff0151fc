#pragma once

#include "GridSourceOptions.h"

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

// What the command line asks of corvadel-live. Relative paths are taken from the current folder.
// Main thread only.
class LiveOptions
{
public:
    // Throws UsageError for an unknown option, a missing value, more than one grid source or a
    // playing setting out of its range.
    static LiveOptions parse (const std::vector<std::string>& arguments);

    static std::string synopsis();
    static std::string usage();

    // $XDG_CONFIG_HOME/corvadel/live.state, or ~/.config/corvadel/live.state.
    static juce::File defaultGridFile();

    bool helpRequested = false;
    // The grid given on the command line, if any, and the playing settings.
    GridSourceOptions grid;
    juce::File gridFile;
    bool showWindow = true;
    std::vector<std::string> connectIn, connectOut;
};

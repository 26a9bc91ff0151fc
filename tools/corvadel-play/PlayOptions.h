#pragma once

#include "GridSourceOptions.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <string>
#include <vector>

// What the command line asks for. Relative paths are taken from the current folder.
class PlayOptions
{
public:
    // A MIDI file holds a tempo as at most 2^24 - 1 microseconds a quarter note (3.58 bpm): the
    // output file could not say a slower one. 4 is the whole tempo above that.
    static constexpr double minBpm = 4.0;
    // Beyond this, presses would fall closer together than a block of the plug-in's audio.
    static constexpr double maxBpm = 6000.0;

    // Throws UsageError for an unknown option, a missing value, more than one of --chords,
    // --state and --chart, a tempo that is not a plain decimal number from minBpm to maxBpm, or
    // a playing setting's value out of its range (SettingsOptions).
    static PlayOptions parse (const std::vector<std::string>& arguments);

    // One line: the options in brief.
    static std::string synopsis();
    // The whole help text.
    static std::string usage();

    // Corvadel.so in the build root: the program itself lives in build/tools/.
    static juce::File defaultPluginFile();

    bool helpRequested = false;
    juce::File pluginFile;
    // The chords (the demo when no source is given) and the playing settings.
    GridSourceOptions grid;
    bool printChart = false;
    std::optional<juce::File> pedalFile;
    double bpm = 120.0;
    juce::File outputFile;
    std::optional<juce::File> saveStateFile;
    std::optional<juce::File> editorPngFile;
    std::optional<juce::File> exportChordsFile;

private:
    static double bpmFromArgument (const std::string& value);
};

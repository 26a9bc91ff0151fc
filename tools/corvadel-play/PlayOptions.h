#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <string>
#include <vector>

// What the command line asks for. Relative paths are taken from the current folder.
class PlayOptions
{
public:
    // Throws UsageError for an unknown option, a missing value, --chords with --state, or a
    // tempo that is not a positive number.
    static PlayOptions parse (const std::vector<std::string>& arguments);

    // One line: the options in brief.
    static std::string synopsis();
    // The whole help text.
    static std::string usage();

    // Corvadel.so in the build root: the program itself lives in build/tools/.
    static juce::File defaultPluginFile();

    bool helpRequested = false;
    juce::File pluginFile;
    std::optional<juce::File> chordsFile;
    std::optional<juce::File> stateFile;
    std::optional<juce::File> pedalFile;
    double bpm = 120.0;
    juce::File outputFile;
    std::optional<juce::File> saveStateFile;
    std::optional<juce::File> editorPngFile;

private:
    static juce::File fileFromArgument (const std::string& option, const std::string& value);
    static double bpmFromArgument (const std::string& value);
};

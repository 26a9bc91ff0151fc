#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

// One run of the built corvadel-play, as a separate process in a folder of the test's choosing,
// with what it printed on each stream and how it ended.
struct ToolRun
{
    bool exitedNormally = false;  // false: ended by a signal (a crash) or never started
    int exitCode = -1;
    int signal = 0;
    std::string out;
    std::string err;

    std::vector<std::string> outLines() const;
    std::vector<std::string> errLines() const;

    static ToolRun run (const std::vector<std::string>& arguments, const juce::File& workingFolder);
};

// For gtest's failure messages.
void PrintTo (const ToolRun& run, std::ostream* os);

// The paths of the built programs under test.
juce::File corvadelPlayFile();
juce::File pluginFile();

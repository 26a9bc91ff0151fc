#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

// One run of the built corvadel-play, as a separate process in a folder of the test's choosing,
// with what it printed on each stream and how it ended.
struct ToolRun
{
    bool exitedNormally = false;  // false: ended by a signal (a crash), never started or stopped
    bool timedOut = false;        // stopped by the caller's time limit
    int exitCode = -1;
    int signal = 0;
    double seconds = 0.0;  // from start to end, as the caller waited
    std::string out;
    std::string err;

    std::vector<std::string> outLines() const;
    std::vector<std::string> errLines() const;

    // With a time limit above 0, a program still running after that many seconds is killed.
    static ToolRun run (const std::vector<std::string>& arguments, const juce::File& workingFolder,
                        double timeLimitSeconds = 0.0);
};

// For gtest's failure messages.
void PrintTo (const ToolRun& run, std::ostream* os);

// The paths of the built programs under test.
juce::File corvadelPlayFile();
juce::File pluginFile();

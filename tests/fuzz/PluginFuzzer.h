#pragma once

#include "tests/fuzz/FuzzCounts.h"
#include "tests/fuzz/FuzzSettings.h"
#include "tests/support/PluginHost.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

struct FuzzFinding
{
    uint64_t roundSeed = 0;
    std::string what;
};

// Runs rounds, each with the plug-in loaded afresh and unloaded after it, until the time is up.
class PluginFuzzer
{
public:
    explicit PluginFuzzer (const FuzzSettings& settingsToUse) : settings (settingsToUse) {}

    void run();

    const FuzzCounts& getCounts() const { return counts; }
    const std::vector<FuzzFinding>& getFindings() const { return findings; }

private:
    void runRound (uint64_t seed, std::chrono::steady_clock::time_point deadline);

    FuzzSettings settings;
    FuzzCounts counts;
    std::vector<FuzzFinding> findings;
};

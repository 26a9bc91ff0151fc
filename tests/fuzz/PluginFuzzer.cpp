#include "tests/fuzz/PluginFuzzer.h"

#include "tests/fuzz/CrashSeedReporter.h"
#include "tests/fuzz/FuzzRound.h"

void PluginFuzzer::run()
{
    using Clock = std::chrono::steady_clock;
    // With no time at all, the one round runs whole.
    const auto deadline = settings.seconds > 0
                            ? Clock::now() + std::chrono::duration_cast<Clock::duration> (std::chrono::duration<double> (settings.seconds))
                            : Clock::time_point::max();
    uint64_t seed = settings.firstSeed;

    do
    {
        runRound (seed, deadline);
        seed = FuzzRandom::nextSeed (seed);
    }
    while (settings.seconds > 0 && Clock::now() < deadline);
}

void PluginFuzzer::runRound (uint64_t seed, std::chrono::steady_clock::time_point deadline)
{
    CrashSeedReporter::roundStarts (seed);
    ++counts.rounds;
    ++counts.libraryLoads;

    PluginLibrary library (builtPluginPath());
    std::optional<std::string> broken;

    {
        FuzzRound round (seed, library, counts, settings.displayAbsent, settings.traceSteps);
        broken = round.run (deadline);
    }

    library.unload();
    CrashSeedReporter::roundEnded();

    if (broken)
        findings.push_back ({ seed, *broken });
}

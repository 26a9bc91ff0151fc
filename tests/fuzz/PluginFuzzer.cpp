#include "tests/fuzz/PluginFuzzer.h"

#include "tests/fuzz/CrashSeedReporter.h"
#include "tests/fuzz/FuzzRound.h"

#include <chrono>

void PluginFuzzer::run()
{
    const auto start = std::chrono::steady_clock::now();
    const auto elapsedSeconds = [start]
    { return std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count(); };

    uint64_t seed = settings.firstSeed;

    // Each round is whole, whatever the time: a seed always repeats the same round.
    do
    {
        runRound (seed);
        seed = FuzzRandom::nextSeed (seed);
    }
    while (elapsedSeconds() < settings.seconds);
}

void PluginFuzzer::runRound (uint64_t seed)
{
    CrashSeedReporter::roundStarts (seed);
    ++counts.rounds;
    ++counts.libraryLoads;

    PluginLibrary library;
    std::optional<std::string> broken;

    {
        FuzzRound round (seed, library, counts, settings.displayAbsent, settings.traceSteps);
        broken = round.run();
    }

    library.unload();
    CrashSeedReporter::roundEnded();

    if (broken)
        findings.push_back ({ seed, *broken });
}

// Random hosts against the built plug-in: seeded, time-bounded rounds of state chunks, event
// lists, blocks, dispatcher calls, editors, instances and reloads, with the rules every step must
// keep checked as it goes (see FuzzRound, StateModel, PedalModel and NoteLedger).

#include "tests/fuzz/CrashSeedReporter.h"
#include "tests/fuzz/PluginFuzzer.h"

#include <gtest/gtest.h>

#include <iostream>

namespace
{
constexpr size_t findingsShown = 20;

void printFindings (const std::vector<FuzzFinding>& findings)
{
    for (size_t i = 0; i < std::min (findings.size(), findingsShown); ++i)
        std::cout << "  seed " << findings[i].roundSeed << ": " << findings[i].what << "\n";

    if (findings.size() > findingsShown)
        std::cout << "  ... and " << findings.size() - findingsShown << " more\n";

    if (! findings.empty())
        std::cout << "  run one round alone with CORVADEL_FUZZ_SEED=<seed> CORVADEL_FUZZ_SECONDS=0\n";
}
}

TEST (PluginFuzz, RandomHostsNeitherCrashNorBreakTheRules)
{
    const auto settings = FuzzSettings::fromEnvironment();
    CrashSeedReporter::install();

    std::cout << "plugin fuzz: first seed " << settings.firstSeed << " (repeat with CORVADEL_FUZZ_SEED="
              << settings.firstSeed << "), " << settings.seconds << " s (CORVADEL_FUZZ_SECONDS), "
              << (settings.displayAbsent ? "no display" : "display present: no made-up editor windows") << std::endl;

    PluginFuzzer fuzzer (settings);
    fuzzer.run();

    const auto& counts = fuzzer.getCounts();
    std::cout << "plugin fuzz: done\n";
    counts.print (std::cout);
    printFindings (fuzzer.getFindings());
    std::cout.flush();

    EXPECT_TRUE (fuzzer.getFindings().empty()) << fuzzer.getFindings().size() << " rounds broke a rule";

    // The rules were put to the test: chords changed and chunks went both ways. (A single round
    // may be too short for some of these; the default run is many rounds.)
    if (settings.seconds > 0)
    {
        EXPECT_GT (counts.noteOns, 0);
        EXPECT_GT (counts.noteOffs, 0);
        EXPECT_GT (counts.chunksAccepted, 0);
        EXPECT_GT (counts.chunksRefused, 0);
        EXPECT_GT (counts.editorSizeQueries, 0);
        EXPECT_GT (counts.libraryLoads, 1);
    }
}

TEST (PluginFuzz, AHostMayExitWithTheLibraryStillLoaded)
{
    // Some hosts never unload their plug-ins: the process ends with the library mapped, and the
    // library's unload hook runs while the process exits. Never unloaded on purpose.
    static auto* neverUnloaded = new PluginLibrary (builtPluginPath());
    PluginHost host (*neverUnloaded);
    auto* effect = host.createInstance();
    ASSERT_NE (effect, nullptr);
    host.startPlaying (effect);
    host.setChunk (effect, makeGridChunk ({ { { { 60, 100 } } } }));
    host.dispatch (effect, effEditGetRect, 0, 0, nullptr);
    EXPECT_EQ (host.processBlock (effect, { { 0, 0xB0, 64, 127 } }).size(), 1u);
    host.close (effect);
}

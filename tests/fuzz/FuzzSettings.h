#pragma once

#include <cstdint>

// How long to fuzz and from which seed, from the environment:
//   CORVADEL_FUZZ_SECONDS  how long to fuzz (default 15; 0 runs one whole round)
//   CORVADEL_FUZZ_SEED     the first round's seed (default: fixedSeed, so that a run in CI can
//                          be repeated; "random" picks a new one)
//   CORVADEL_FUZZ_TRACE    when set, every step is written to standard error
struct FuzzSettings
{
    static constexpr uint64_t fixedSeed = 20261209;

    uint64_t firstSeed = fixedSeed;
    double seconds = 15.0;
    // Without an X display the editor cannot open in a window, and a made-up window is safe to
    // hand over; with one, the fuzzer does not hand over windows that do not exist.
    bool displayAbsent = true;
    bool traceSteps = false;

    static FuzzSettings fromEnvironment();
};

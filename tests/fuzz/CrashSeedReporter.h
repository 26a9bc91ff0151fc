#pragma once

#include <cstdint>

// When the process dies inside a round (a crash, or a sanitizer's report), the last words on
// standard error name that round's seed, so that it can be run again alone.
class CrashSeedReporter
{
public:
    static void install();
    static void roundStarts (uint64_t seed);
    static void roundEnded();
};

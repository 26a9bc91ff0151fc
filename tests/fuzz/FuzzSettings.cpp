#include "tests/fuzz/FuzzSettings.h"

#include <cstdlib>
#include <random>
#include <string>

FuzzSettings FuzzSettings::fromEnvironment()
{
    FuzzSettings settings;

    if (const char* seconds = std::getenv ("CORVADEL_FUZZ_SECONDS"); seconds != nullptr && *seconds != 0)
        settings.seconds = std::strtod (seconds, nullptr);

    if (const char* seed = std::getenv ("CORVADEL_FUZZ_SEED"); seed != nullptr && *seed != 0)
    {
        if (std::string (seed) == "random")
        {
            std::random_device device;
            settings.firstSeed = ((uint64_t) device() << 32) ^ device();
        }
        else
        {
            settings.firstSeed = std::strtoull (seed, nullptr, 0);
        }
    }

    const char* trace = std::getenv ("CORVADEL_FUZZ_TRACE");
    settings.traceSteps = trace != nullptr && *trace != 0;

    const char* display = std::getenv ("DISPLAY");
    settings.displayAbsent = display == nullptr || *display == 0;
    return settings;
}

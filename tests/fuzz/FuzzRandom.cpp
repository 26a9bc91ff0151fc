#include "tests/fuzz/FuzzRandom.h"

#include <climits>

uint64_t FuzzRandom::nextSeed (uint64_t seed)
{
    // splitmix64: consecutive seeds give unrelated rounds.
    uint64_t z = seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int64_t FuzzRandom::between (int64_t lowest, int64_t highest)
{
    if (highest <= lowest)
        return lowest;

    const auto span = (uint64_t) (highest - lowest) + 1;
    return lowest + (int64_t) (bits() % span);
}

int32_t FuzzRandom::oddInt32()
{
    if (percent (25))
        return (int32_t) bits();

    return pick<int32_t> ({ 0, 1, -1, 2, 7, 8, 127, 128, 129, 255, 256, 1023, 1024, 1025, 4095, 4096, 4097,
                            65535, 65536, 0x3FFFFFFF, 0x40000000, INT_MAX, INT_MAX - 1, INT_MIN, INT_MIN + 1,
                            -128, -4096, -65536 });
}

#pragma once

#include <cstdint>
#include <initializer_list>
#include <random>

// The fuzzer's only source of chance: everything a round does follows from its seed.
class FuzzRandom
{
public:
    explicit FuzzRandom (uint64_t seed) : engine (seed) {}

    // The seed of the round after the one with this seed.
    static uint64_t nextSeed (uint64_t seed);

    uint64_t bits() { return engine(); }
    // Any value from lowest to highest, both included.
    int64_t between (int64_t lowest, int64_t highest);
    bool percent (int chance) { return between (0, 99) < chance; }
    uint8_t byte() { return (uint8_t) bits(); }
    // A value hosts get wrong: 0, ±1, the ends of the range, the plug-in's bounds and their
    // neighbours, or any value at all.
    int32_t oddInt32();

    template <typename T>
    T pick (std::initializer_list<T> values)
    {
        return values.begin()[between (0, (int64_t) values.size() - 1)];
    }

private:
    std::mt19937_64 engine;
};

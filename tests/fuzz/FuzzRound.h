#pragma once

#include "tests/fuzz/ChunkGenerator.h"
#include "tests/fuzz/DispatcherFuzzer.h"
#include "tests/fuzz/EventListGenerator.h"
#include "tests/fuzz/FuzzCounts.h"
#include "tests/fuzz/NoteLedger.h"
#include "tests/fuzz/PedalModel.h"
#include "tests/fuzz/StateModel.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One round: a few instances of a freshly loaded plug-in, driven by a few hundred random steps
// that all follow from the round's seed, each step's outcome checked against the rules the
// instance must keep. The round ends at the first broken rule.
class FuzzRound
{
public:
    FuzzRound (uint64_t seed, PluginLibrary& library, FuzzCounts& counts, bool displayAbsent, bool traceSteps);
    ~FuzzRound();

    // The broken rule, with the step at which it broke; nothing when every step kept the rules.
    // Past the deadline no further random steps are taken: the round ends with its closing
    // press, and its seed still repeats every step it took.
    std::optional<std::string> run (std::chrono::steady_clock::time_point deadline);

private:
    struct Instance
    {
        AEffect* effect = nullptr;
        StateModel state;
        PedalModel pedal;
        NoteLedger ledger;
    };

    std::string takeStep();
    std::string endEveryChord();

    std::string openInstance();
    std::string closeInstance();
    std::string deliverEvents (Instance& instance);
    std::string runBlock (Instance& instance);
    std::string runBlockOf (Instance& instance, int numFrames, bool replacing);
    std::string giveChunk (Instance& instance);
    std::string giveChunkBytes (Instance& instance, const Bytes& chunk);
    std::string handOwnChunkBack (Instance& instance);
    std::string compareSavedState (Instance& instance, const char* after);
    std::string askEditorSize (Instance& instance);
    std::string requestEditorWindow (Instance& instance);
    std::string closeEditor (Instance& instance);
    std::string idleEditor (Instance& instance);
    std::string switchMains (Instance& instance);
    std::string touchParameters (Instance& instance);
    std::string callDispatcher (Instance& instance);

    int randomBlockSize();
    Instance& randomInstance();
    void trace (const char* step, const Instance& instance);
    Bytes savedState (Instance& instance);

    FuzzRandom random;
    FuzzCounts& counts;
    bool displayAbsent;
    bool traceSteps;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    PluginHost host;
    ChunkGenerator chunks { random };
    EventListGenerator eventLists { random };
    DispatcherFuzzer dispatcher { random };
    std::vector<std::unique_ptr<Instance>> instances;
};

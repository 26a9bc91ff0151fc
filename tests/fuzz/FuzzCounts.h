#pragma once

#include <cstdint>
#include <ostream>

// What a fuzzing run did, to print and to show that it did something.
struct FuzzCounts
{
    int64_t rounds = 0;
    int64_t libraryLoads = 0;
    int64_t instances = 0;
    int64_t chunksGiven = 0;
    int64_t chunksAccepted = 0;
    int64_t chunksRefused = 0;
    int64_t ownChunksHandedBack = 0;
    int64_t savedStatesCompared = 0;
    int64_t eventLists = 0;
    int64_t eventRecords = 0;
    int64_t blocks = 0;
    int64_t emptyBlocks = 0;
    int64_t oneFrameBlocks = 0;
    int64_t longBlocks = 0;
    int64_t presses = 0;
    int64_t noteOns = 0;
    int64_t noteOffs = 0;
    int64_t dispatcherCalls = 0;
    int64_t editorSizeQueries = 0;
    int64_t editorOpenRequests = 0;
    int64_t editorCloses = 0;

    void print (std::ostream& out) const;
};

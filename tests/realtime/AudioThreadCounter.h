#pragma once

#include <cstddef>

// Counts what the calling thread does while counting is on: heap allocations, write system calls
// and mutex locks. The test program replaces the C library's entry points for these, so what the
// loaded plug-in does counts too.
namespace AudioThreadCounter
{
struct Counts
{
    size_t allocations = 0;
    size_t writes = 0;
    // Locks of any mutex but the ones allowed at start.
    size_t otherLocks = 0;
    // The first mutex counted among otherLocks; nullptr when there was none.
    const void* firstOtherMutex = nullptr;
};

void start (const void* allowedMutex = nullptr, const void* alsoAllowedMutex = nullptr);
Counts stop();

// While set, an event counts only when this answers true for it. It runs on the counting thread
// inside the counted call; whatever it does itself is not counted. nullptr (the default): every
// event counts.
using Filter = bool (*)();
void setFilter (Filter filter);
}

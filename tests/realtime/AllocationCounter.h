#pragma once

#include <cstddef>

// Counts the heap allocations the calling thread makes while counting is on. The test program
// replaces the C allocator's entry points, so allocations inside the loaded plug-in count too.
namespace AllocationCounter
{
void start();
size_t stop();
}

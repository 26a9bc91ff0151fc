#include "tests/realtime/AllocationCounter.h"

#include <cstdlib>
#include <malloc.h>

extern "C"
{
void* __libc_malloc (size_t);
void* __libc_calloc (size_t, size_t);
void* __libc_realloc (void*, size_t);
void* __libc_memalign (size_t, size_t);
}

namespace
{
thread_local bool counting = false;
thread_local size_t allocations = 0;

void noteAllocation()
{
    if (counting)
        ++allocations;
}
}

void AllocationCounter::start()
{
    allocations = 0;
    counting = true;
}

size_t AllocationCounter::stop()
{
    counting = false;
    return allocations;
}

extern "C"
{
void* malloc (size_t size)
{
    noteAllocation();
    return __libc_malloc (size);
}

void* calloc (size_t count, size_t size)
{
    noteAllocation();
    return __libc_calloc (count, size);
}

void* realloc (void* block, size_t size)
{
    noteAllocation();
    return __libc_realloc (block, size);
}

void* memalign (size_t alignment, size_t size)
{
    noteAllocation();
    return __libc_memalign (alignment, size);
}

void* aligned_alloc (size_t alignment, size_t size)
{
    noteAllocation();
    return __libc_memalign (alignment, size);
}

int posix_memalign (void** result, size_t alignment, size_t size)
{
    noteAllocation();
    *result = __libc_memalign (alignment, size);
    return *result != nullptr ? 0 : 12;  // ENOMEM
}
}

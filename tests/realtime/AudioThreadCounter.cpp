#include "tests/realtime/AudioThreadCounter.h"

#include <cstdlib>
#include <malloc.h>
#include <pthread.h>
#include <unistd.h>

// The C library's own entry points, which the replacements below hand over to.
extern "C"
{
void* __libc_malloc (size_t);
void* __libc_calloc (size_t, size_t);
void* __libc_realloc (void*, size_t);
void* __libc_memalign (size_t, size_t);
ssize_t __write (int, const void*, size_t);

// The C library keeps its own names of the mutex calls only as versioned symbols.
int realMutexLock (pthread_mutex_t*);
int realMutexTrylock (pthread_mutex_t*);
__asm__ (".symver realMutexLock, __pthread_mutex_lock@GLIBC_2.2.5");
__asm__ (".symver realMutexTrylock, __pthread_mutex_trylock@GLIBC_2.2.5");
}

namespace
{
thread_local bool counting = false;
thread_local const void* allowed = nullptr;
thread_local const void* alsoAllowed = nullptr;
thread_local AudioThreadCounter::Counts counts;
thread_local bool filtering = false;
AudioThreadCounter::Filter filter = nullptr;

// Whether the event now happening counts; what the filter does is never counted.
bool eventCounts()
{
    if (! counting || filtering)
        return false;

    if (filter == nullptr)
        return true;

    filtering = true;
    const bool answer = filter();
    filtering = false;
    return answer;
}

void noteAllocation()
{
    if (eventCounts())
        ++counts.allocations;
}

void noteLock (const void* mutex)
{
    if (! counting || mutex == allowed || mutex == alsoAllowed || ! eventCounts())
        return;

    if (counts.otherLocks++ == 0)
        counts.firstOtherMutex = mutex;
}
}

void AudioThreadCounter::start (const void* allowedMutex, const void* alsoAllowedMutex)
{
    counts = {};
    allowed = allowedMutex;
    alsoAllowed = alsoAllowedMutex;
    counting = true;
}

void AudioThreadCounter::setFilter (Filter newFilter)
{
    filter = newFilter;
}

AudioThreadCounter::Counts AudioThreadCounter::stop()
{
    counting = false;
    return counts;
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

int pthread_mutex_lock (pthread_mutex_t* mutex)
{
    noteLock (mutex);
    return realMutexLock (mutex);
}

int pthread_mutex_trylock (pthread_mutex_t* mutex)
{
    noteLock (mutex);
    return realMutexTrylock (mutex);
}

ssize_t write (int fd, const void* data, size_t size)
{
    if (eventCounts())
        ++counts.writes;

    return __write (fd, data, size);
}
}

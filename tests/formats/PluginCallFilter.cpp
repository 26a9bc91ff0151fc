#include "tests/formats/PluginCallFilter.h"

#include "tests/realtime/AudioThreadCounter.h"

#include <cstring>
#include <iterator>
#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>

namespace
{
char pluginPath[4096] = {};
const void* programBase = nullptr;

// The C library entries this program replaces to count (AudioThreadCounter.cpp).
bool isCountingEntry (const char* name)
{
    static const char* const entries[] = { "malloc", "calloc", "realloc", "memalign", "aligned_alloc",
                                           "posix_memalign", "pthread_mutex_lock", "pthread_mutex_trylock", "write" };

    for (const char* entry : entries)
        if (name != nullptr && std::strcmp (name, entry) == 0)
            return true;

    return false;
}

enum class Owner { plugin, program, other, countingEntry };

// The same few call sites come back millions of times: their owners are kept, with no allocation,
// in a table of fixed size (a full table just stops keeping).
struct KnownSite
{
    void* address = nullptr;
    Owner owner = Owner::other;
};
KnownSite knownSites[8192];

Owner lookUpOwner (void* returnAddress)
{
    Dl_info info {};

    // The return address may lie just past its function's end; the call itself is before it.
    if (dladdr (static_cast<char*> (returnAddress) - 1, &info) == 0)
        return Owner::other;

    if (info.dli_fbase == programBase)
        return isCountingEntry (info.dli_sname) ? Owner::countingEntry : Owner::program;

    if (info.dli_fname != nullptr && std::strcmp (info.dli_fname, pluginPath) == 0)
        return Owner::plugin;

    return Owner::other;
}

Owner ownerOf (void* returnAddress)
{
    const size_t first = ((size_t) returnAddress >> 2) % std::size (knownSites);

    for (size_t probe = 0; probe < 16; ++probe)
    {
        auto& site = knownSites[(first + probe) % std::size (knownSites)];

        if (site.address == returnAddress)
            return site.owner;

        if (site.address == nullptr)
        {
            site.owner = lookUpOwner (returnAddress);
            site.address = returnAddress;
            return site.owner;
        }
    }

    return lookUpOwner (returnAddress);
}

bool causedByPlugin()
{
    void* frames[96];
    const int count = backtrace (frames, 96);
    int i = 0;

    // Past the replaced entry that is counting now.
    for (; i < count; ++i)
    {
        if (ownerOf (frames[i]) == Owner::countingEntry)
        {
            ++i;
            break;
        }
    }

    for (; i < count; ++i)
    {
        switch (ownerOf (frames[i]))
        {
            case Owner::plugin:        return true;
            case Owner::program:       return false;
            case Owner::countingEntry: return false;
            case Owner::other:         break;
        }
    }

    return false;
}

int findLibrary (dl_phdr_info* info, size_t, void* pathPart)
{
    if (info->dlpi_name == nullptr || std::strstr (info->dlpi_name, static_cast<const char*> (pathPart)) == nullptr)
        return 0;

    std::strncpy (pluginPath, info->dlpi_name, sizeof (pluginPath) - 1);
    return 1;
}
}

bool PluginCallFilter::countOnlyLibrary (const std::string& pathPart)
{
    pluginPath[0] = 0;
    dl_iterate_phdr (findLibrary, const_cast<char*> (pathPart.c_str()));

    if (pluginPath[0] == 0)
        return false;

    for (auto& site : knownSites)
        site = {};

    Dl_info self {};
    dladdr (reinterpret_cast<void*> (&causedByPlugin), &self);
    programBase = self.dli_fbase;

    // The first stack walk loads the unwinder; it happens here, not inside a counted block.
    void* frames[4];
    backtrace (frames, 4);

    AudioThreadCounter::setFilter (causedByPlugin);
    return true;
}

void PluginCallFilter::countEverything()
{
    AudioThreadCounter::setFilter (nullptr);
}

#include "bridge/LibraryLifetime.h"

#include "bridge/FrameworkReference.h"

#include <juce_events/juce_events.h>

void LibraryLifetime::onLoad (void* moduleHandle)
{
   #if JUCE_WINDOWS
    juce::Process::setCurrentModuleInstanceHandle (moduleHandle);
   #else
    juce::ignoreUnused (moduleHandle);
   #endif
}

void LibraryLifetime::onUnload (bool processIsExiting)
{
    if (! processIsExiting)
        FrameworkReference::shutDownForUnload();
}

#if JUCE_WINDOWS
extern "C" int __stdcall DllMain (void* instance, unsigned long reason, void* reserved)
{
    if (reason == 1)  // process attach
        LibraryLifetime::onLoad (instance);
    else if (reason == 0)  // process detach: reserved is set when the process is ending
        LibraryLifetime::onUnload (reserved != nullptr);

    return 1;
}
#else
namespace
{
// At a normal exit the runtime destroys the library's static objects, the framework's among
// them, before it runs the library's unload hook; when the host unloads the library, the hook
// runs first. This object's destruction tells the two apart.
bool staticObjectsDestroyed = false;

struct StaticObjectsSentinel
{
    ~StaticObjectsSentinel() { staticObjectsDestroyed = true; }
} sentinel;
}

__attribute__ ((constructor)) static void corvadelLibraryLoaded()
{
    LibraryLifetime::onLoad (nullptr);
}

__attribute__ ((destructor)) static void corvadelLibraryUnloaded()
{
    LibraryLifetime::onUnload (staticObjectsDestroyed);
}
#endif

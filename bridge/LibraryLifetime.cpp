#include "bridge/LibraryLifetime.h"

#include <juce_events/juce_events.h>

void LibraryLifetime::onLoad (void* moduleHandle)
{
   #if JUCE_WINDOWS
    juce::Process::setCurrentModuleInstanceHandle (moduleHandle);
   #else
    juce::ignoreUnused (moduleHandle);
   #endif
    juce::initialiseJuce_GUI();
}

void LibraryLifetime::onUnload()
{
    juce::shutdownJuce_GUI();
}

#if JUCE_WINDOWS
extern "C" int __stdcall DllMain (void* instance, unsigned long reason, void*)
{
    if (reason == 1)  // process attach
        LibraryLifetime::onLoad (instance);
    else if (reason == 0)  // process detach
        LibraryLifetime::onUnload();

    return 1;
}
#else
// This file is linked after the framework, so the framework's static objects exist before the
// load hook runs and still exist when the unload hook runs.
__attribute__ ((constructor)) static void corvadelLibraryLoaded()
{
    LibraryLifetime::onLoad (nullptr);
}

__attribute__ ((destructor)) static void corvadelLibraryUnloaded()
{
    LibraryLifetime::onUnload();
}
#endif

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

void LibraryLifetime::onUnload (bool processIsExiting)
{
    if (processIsExiting)
        return;

    juce::shutdownJuce_GUI();
}

#if ! JUCE_WINDOWS
// This file is linked after the framework, so the framework's static objects exist before the
// load hook runs and still exist when the unload hook runs.
__attribute__ ((constructor)) static void corvadelLibraryLoaded()
{
    LibraryLifetime::onLoad (nullptr);
}

__attribute__ ((destructor)) static void corvadelLibraryUnloaded()
{
    LibraryLifetime::onUnload (false);
}
#endif

#include "bridge/FrameworkReference.h"

#include <juce_events/juce_events.h>

#include <mutex>

namespace
{
std::mutex& startStopLock()
{
    static std::mutex lock;
    return lock;
}

int references = 0;
}

FrameworkReference::FrameworkReference()
{
    const std::lock_guard<std::mutex> sl (startStopLock());

    if (references++ == 0)
        juce::initialiseJuce_GUI();
}

FrameworkReference::~FrameworkReference()
{
    const std::lock_guard<std::mutex> sl (startStopLock());

    if (references > 0 && --references == 0)
        juce::shutdownJuce_GUI();
}

void FrameworkReference::shutDownForUnload()
{
    const std::lock_guard<std::mutex> sl (startStopLock());

    if (references > 0)
    {
        // The instances are gone from the host's view; their references now mean nothing.
        references = 0;
        juce::shutdownJuce_GUI();
    }
}

int FrameworkReference::count()
{
    const std::lock_guard<std::mutex> sl (startStopLock());
    return references;
}

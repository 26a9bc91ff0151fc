#include "bridge/FrameworkEventPump.h"

#include <juce_events/juce_events.h>

namespace juce
{
// The framework's own dispatcher; it has no public declaration.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

void FrameworkEventPump::dispatchPendingWork()
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) maxMillisecondsPerCall;

    for (int i = 0; i < maxDispatchesPerCall && juce::Time::getMillisecondCounter() < deadline; ++i)
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            break;
}

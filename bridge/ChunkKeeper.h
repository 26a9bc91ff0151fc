#pragma once

#include "bridge/AudioFilterBase.h"

#include <juce_core/juce_core.h>

// Keeps the state chunk the host was handed alive for it: until the next chunk request, until
// it has been left alone longer than keepAliveMs, or until the bridge goes.
//
// Threads: the chunk requests come on any of the host's non-audio threads, the release from the
// bridge's timer on the message thread; the two meet only under this keeper's own lock, which is
// never held while the audio thread waits for anything.
class ChunkKeeper
{
public:
    // A chunk handed out stays readable at least this long.
    static constexpr juce::uint32 keepAliveMs = 2000;

    // The host asks for the state: the filter's saveState fills the kept block, whose address
    // goes to *data (nullptr when the state is empty). Answers the chunk's size.
    int handOut (AudioFilterBase& filter, void** data);

    // The host hands a state over: the filter reads it before the kept block is released, since
    // hosts hand back the very chunk they were given (undo, A/B comparison, duplicating an
    // instance).
    void restore (AudioFilterBase& filter, const void* data, int sizeInBytes);

    // Releases the kept chunk once it is older than keepAliveMs at the millisecond count now.
    void releaseIfOlderThanKeepAlive (juce::uint32 now);

    bool isPending() const;

private:
    juce::CriticalSection lock;
    juce::MemoryBlock chunkMemory;
    juce::uint32 chunkHandedOutAt = 0;  // 0: nothing handed out
};

#include "bridge/ChunkKeeper.h"

#include <algorithm>

int ChunkKeeper::handOut (AudioFilterBase& filter, void** data)
{
    const juce::ScopedLock sl (lock);
    chunkMemory.reset();
    filter.saveState (chunkMemory);
    *data = chunkMemory.getSize() > 0 ? chunkMemory.getData() : nullptr;
    chunkHandedOutAt = std::max<juce::uint32> (1, juce::Time::getMillisecondCounter());
    return (int) chunkMemory.getSize();
}

void ChunkKeeper::restore (AudioFilterBase& filter, const void* data, int sizeInBytes)
{
    const juce::ScopedLock sl (lock);

    if (sizeInBytes > 0 && data != nullptr)
        filter.restoreState (data, sizeInBytes);

    chunkMemory.reset();
    chunkHandedOutAt = 0;
}

void ChunkKeeper::releaseIfOlderThanKeepAlive (juce::uint32 now)
{
    const juce::ScopedLock sl (lock);

    if (chunkHandedOutAt != 0 && now > chunkHandedOutAt + keepAliveMs)
    {
        chunkHandedOutAt = 0;
        chunkMemory.reset();
    }
}

bool ChunkKeeper::isPending() const
{
    const juce::ScopedLock sl (lock);
    return chunkMemory.getSize() > 0;
}

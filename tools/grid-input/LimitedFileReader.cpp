#include "LimitedFileReader.h"

#include <algorithm>

namespace
{
// The room starts at the announced size (a device announces none) and doubles: a stream's own
// growth, a megabyte at a time, would copy a device's 32 MiB over and over.
juce::MemoryBlock readAtMost (juce::InputStream& in, int64_t limit, int64_t announcedSize)
{
    const int64_t firstRoom = std::max<int64_t> (announcedSize + 1, 64 * 1024);
    juce::MemoryBlock bytes ((size_t) std::min (firstRoom, limit));
    int64_t used = 0;

    for (;;)
    {
        if (used == (int64_t) bytes.getSize())
        {
            if (used == limit)
                break;

            bytes.setSize ((size_t) std::min (used * 2, limit));
        }

        const int64_t wanted = std::min<int64_t> ((int64_t) bytes.getSize() - used, 1 << 20);
        const int got = in.read (static_cast<char*> (bytes.getData()) + used, (int) wanted);

        if (got <= 0)
            break;

        used += got;
    }

    bytes.setSize ((size_t) used);
    return bytes;
}
}

juce::MemoryBlock LimitedFileReader::read (const juce::File& file, int64_t maxBytes, const juce::String& limitName,
                                           const ProblemReport& problem)
{
    const auto tooLarge = [&] {
        return problem ("it holds more than " + juce::String (maxBytes) + " bytes, " + limitName);
    };

    if (file.isDirectory())
        throw problem ("it is a folder");

    if (! file.existsAsFile())
        throw problem ("no such file");

    if (file.getSize() > maxBytes)
        throw tooLarge();

    juce::FileInputStream in (file);

    if (in.failedToOpen())
        throw problem ("it cannot be opened");

    auto bytes = readAtMost (in, maxBytes + 1, file.getSize());

    // One byte more than the limit was asked for, so that a file that keeps going is seen to.
    if ((int64_t) bytes.getSize() > maxBytes)
        throw tooLarge();

    return bytes;
}

#include "LimitedFileReader.h"

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

    juce::MemoryBlock bytes;
    in.readIntoMemoryBlock (bytes, (ssize_t) (maxBytes + 1));

    if ((int64_t) bytes.getSize() > maxBytes)
        throw tooLarge();

    return bytes;
}

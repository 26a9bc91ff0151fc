#pragma once

#include "InputError.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <functional>

// Reads a whole file named on the command line, but never more than the caller's limit: a file
// whose size is known to be larger is refused before it is opened, and one that keeps going past
// its announced size (a device such as /dev/zero, a pipe) is refused once the limit is passed.
class LimitedFileReader
{
public:
    using ProblemReport = std::function<InputError (const juce::String& why)>;

    // Main thread; waits on the file system. Throws the report's error when the file is missing,
    // a folder, unreadable or holds more than maxBytes; limitName says what the limit is, for
    // the message ("the largest state the plug-in takes").
    static juce::MemoryBlock read (const juce::File& file, int64_t maxBytes, const juce::String& limitName,
                                   const ProblemReport& problem);
};

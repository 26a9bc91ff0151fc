#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <string>
#include <vector>

// The files a run writes. Each is first written under a hidden temporary name in its
// destination's folder, and all are moved into place together once the whole run has
// succeeded: a run that fails part way leaves none of them, and no temporary file either.
class OutputFiles
{
public:
    // Going away without a commit deletes the temporary files.
    OutputFiles() = default;

    // Main thread; waits on the file system. Throws InputError naming the file as `what` ("the
    // MIDI file") when the destination is a folder or its temporary file cannot be written.
    void stage (const juce::File& destination, const juce::MemoryBlock& bytes, const std::string& what);
    // Main thread; waits on the file system. Moves every staged file into place. Throws
    // InputError when one cannot be moved; the ones before it are in place by then.
    void commit();

private:
    struct Staged
    {
        std::unique_ptr<juce::TemporaryFile> file;
        std::string what;
    };

    std::vector<Staged> staged;

    JUCE_DECLARE_NON_COPYABLE (OutputFiles)
};

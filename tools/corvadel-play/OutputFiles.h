#pragma once

#include "OutputTarget.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <string>
#include <vector>

// The files a run writes, checked before the run and written after it.
//
// A path naming a symbolic link writes the file the link leads to. A regular file (or a new one)
// is first written under a hidden temporary name in its folder and moved into place once the
// whole run has succeeded, taking over the permissions (and, where the system lets it, the owner)
// of the file it replaces: a run that fails part way leaves none of them, and no temporary file.
// A FIFO, device or socket cannot be put in place that way: it is opened and written directly,
// without waiting for a reader (a FIFO nobody reads is an error, not a hang), before any file is
// moved into place.
class OutputFiles
{
public:
    struct Destination
    {
        std::string option;  // "--out", which stage() names it by
        juce::File file;
        std::string what;    // "the MIDI file", for messages
    };

    // Main thread; waits on the file system. Throws UsageError when two destinations name the
    // same file (the same file after links and ".." are followed) or one names the file standard
    // output is (/dev/stdout, or the file the shell sends it to; /dev/null excepted), InputError when one cannot be
    // written (see OutputTarget::whyNotWritable).
    explicit OutputFiles (const std::vector<Destination>& destinations);
    // Going away without a commit deletes the temporary files.
    ~OutputFiles();

    // Main thread; waits on the file system. The bytes for the destination given with option: a
    // file's go to its temporary file now, a FIFO's or device's are kept for commit(). Throws
    // InputError when the temporary file cannot be written.
    void stage (const std::string& option, const juce::MemoryBlock& bytes);
    // Main thread; waits on the file system (and on a FIFO's reader, once it has opened it).
    // Writes the FIFOs and devices, then moves every temporary file into place. Throws
    // InputError when a write fails (no file has been replaced then) or a move fails (the ones
    // before it are in place by then).
    void commit();

private:
    struct Output
    {
        Destination destination;
        OutputTarget target;
        std::unique_ptr<juce::TemporaryFile> temporary;
        juce::MemoryBlock directBytes;
        bool staged = false;
    };

    Output& find (const std::string& option);
    static void writeTemporary (Output& output, const juce::MemoryBlock& bytes);
    static void writeDirectly (const Output& output);
    static void moveIntoPlace (const Output& output);

    std::vector<Output> outputs;

    JUCE_DECLARE_NON_COPYABLE (OutputFiles)
};

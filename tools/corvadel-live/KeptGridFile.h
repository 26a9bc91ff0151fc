#pragma once

#include <juce_core/juce_core.h>

// The file that keeps the grid (the player's state bytes, settings included) from one run to the
// next. One program at a time: a lock on FILE.lock beside it is held for the program's life, and
// a second program on the same file is refused. Writes never leave half a file: the bytes go
// under a temporary name in the same folder, are flushed to disk and renamed over the file, and
// the folder is flushed too, so a power cut leaves either the old grid or the new one.
//
// Threads: the main thread, which is the framework's message thread; every call waits on the
// file system.
class KeptGridFile
{
public:
    // Creates the folder if needed and takes the lock. Throws InputError when the folder cannot
    // be made or another program holds the lock.
    explicit KeptGridFile (const juce::File& file);
    ~KeptGridFile();

    const juce::File& getFile() const noexcept { return file; }
    bool exists() const { return file.existsAsFile(); }

    // Renames the file to its name with suffix added (".prev", ".bad"), replacing an older one.
    // false, with the reason, when it cannot.
    bool moveAside (const char* suffix, juce::String& problem);
    // false, with the reason, when the bytes could not be written whole; the old file then stays.
    bool write (const juce::MemoryBlock& bytes, juce::String& problem);

    juce::File withSuffix (const char* suffix) const;

private:
    juce::File file;
    int lockDescriptor = -1;

    JUCE_DECLARE_NON_COPYABLE (KeptGridFile)
};

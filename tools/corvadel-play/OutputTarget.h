#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <sys/stat.h>
#include <sys/types.h>

// What an output path leads to, looked at before anything is written: symbolic links followed
// (a link to nothing yet leads to the file it would create) and "." and ".." resolved, so that
// two paths to one file are seen to be one.
class OutputTarget
{
public:
    enum class Kind
    {
        newFile,      // nothing there yet: created
        regularFile,  // replaced
        folder,       // refused
        special,      // a FIFO, a device or a socket: written directly
        unusable      // the path cannot be followed (a loop of links, a folder that cannot be read)
    };

    // Main thread; waits on the file system.
    static OutputTarget of (const juce::File& path);
    // What this program's standard output is (a terminal, a pipe, a file the shell opened), to
    // be compared with isSameFileAs; unusable when it is closed.
    static OutputTarget ofStandardOutput();

    Kind getKind() const noexcept { return kind; }
    // The resolved path: the file to write, or to replace with one of the same name.
    const std::string& getPath() const noexcept { return path; }
    // The permission bits of the file there, for the file that replaces it.
    mode_t getMode() const noexcept { return mode; }
    uid_t getOwner() const noexcept { return owner; }
    gid_t getGroup() const noexcept { return group; }

    bool isSameFileAs (const OutputTarget& other) const noexcept;
    // /dev/null (by any path): what is written there is lost, so it never clashes.
    bool isNullDevice() const noexcept;

    // Main thread; waits on the file system. Empty when the program may write here, otherwise
    // why not: a folder; a file the user may not write, or one nobody may write (its mode has
    // no write bit: refused to root as well, who the system would let through); a folder that
    // does not exist or in which the user may not create files.
    std::string whyNotWritable() const;

private:
    OutputTarget() = default;
    void take (const struct stat& info);
    static std::string followLinks (const std::string& path, std::string& problem);

    Kind kind = Kind::unusable;
    std::string path;
    std::string problem;
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    dev_t specialDevice = 0;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

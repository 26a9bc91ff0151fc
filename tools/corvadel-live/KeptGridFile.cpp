#include "KeptGridFile.h"

#include "InputError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
juce::String systemError()
{
    return std::strerror (errno);
}

bool writeAll (int descriptor, const char* data, size_t size)
{
    while (size > 0)
    {
        const auto written = ::write (descriptor, data, size);

        if (written < 0 && errno == EINTR)
            continue;

        if (written <= 0)
            return false;

        data += written;
        size -= (size_t) written;
    }

    return true;
}

// A rename is on disk only once the folder that holds the name is.
void flushFolder (const juce::File& folder)
{
    const int descriptor = ::open (folder.getFullPathName().toRawUTF8(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);

    if (descriptor >= 0)
    {
        ::fsync (descriptor);
        ::close (descriptor);
    }
}
}

KeptGridFile::KeptGridFile (const juce::File& keptFile) : file (keptFile)
{
    const auto folder = file.getParentDirectory();

    if (! folder.createDirectory())
        throw InputError ("cannot make the folder " + folder.getFullPathName().toStdString() + " for the kept grid");

    const auto lockName = withSuffix (".lock").getFullPathName();
    lockDescriptor = ::open (lockName.toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);

    if (lockDescriptor < 0)
        throw InputError ("cannot open " + lockName.toStdString() + ": " + systemError().toStdString());

    if (::flock (lockDescriptor, LOCK_EX | LOCK_NB) != 0)
    {
        ::close (lockDescriptor);
        throw InputError ("the grid " + file.getFullPathName().toStdString()
                          + " is in use by another corvadel-live (it is locked); give another with --grid");
    }
}

KeptGridFile::~KeptGridFile()
{
    // Closing releases the lock. The lock file stays: removing it would let a program that
    // opened it just before lock a file no one else sees.
    ::close (lockDescriptor);
}

juce::File KeptGridFile::withSuffix (const char* suffix) const
{
    return juce::File (file.getFullPathName() + suffix);
}

bool KeptGridFile::moveAside (const char* suffix, juce::String& problem)
{
    const auto aside = withSuffix (suffix);

    if (::rename (file.getFullPathName().toRawUTF8(), aside.getFullPathName().toRawUTF8()) != 0)
    {
        problem = "cannot rename " + file.getFullPathName() + " to " + aside.getFileName() + ": " + systemError();
        return false;
    }

    flushFolder (file.getParentDirectory());
    return true;
}

bool KeptGridFile::write (const juce::MemoryBlock& bytes, juce::String& problem)
{
    const auto folder = file.getParentDirectory();
    auto temporaryName = folder.getChildFile ("." + file.getFileName() + ".XXXXXX").getFullPathName().toStdString();
    const int descriptor = ::mkostemp (temporaryName.data(), O_CLOEXEC);

    if (descriptor < 0)
    {
        problem = "cannot write in " + folder.getFullPathName() + ": " + systemError();
        return false;
    }

    const bool written = writeAll (descriptor, static_cast<const char*> (bytes.getData()), bytes.getSize())
                         && ::fchmod (descriptor, 0644) == 0 && ::fsync (descriptor) == 0;
    const auto writeError = systemError();
    const bool closed = ::close (descriptor) == 0;

    if (! written || ! closed || ::rename (temporaryName.c_str(), file.getFullPathName().toRawUTF8()) != 0)
    {
        problem = "cannot write " + file.getFullPathName() + ": " + (written ? systemError() : writeError);
        ::unlink (temporaryName.c_str());
        return false;
    }

    flushFolder (folder);
    return true;
}

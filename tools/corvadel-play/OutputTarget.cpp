#include "OutputTarget.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// As many links as the system itself follows in one path before it calls it a loop.
constexpr int maxLinks = 40;

std::string folderOf (const std::string& path)
{
    return std::filesystem::path (path).parent_path().string();
}

// Empty when the user may create (and rename) files in the folder.
std::string whyNoFilesIn (const std::string& folder)
{
    struct stat info {};

    if (::stat (folder.c_str(), &info) != 0 || ! S_ISDIR (info.st_mode))
        return "its folder " + folder + " does not exist";

    if (::access (folder.c_str(), W_OK | X_OK) != 0)
        return "you may not create files in its folder " + folder;

    return {};
}
}

OutputTarget OutputTarget::of (const juce::File& file)
{
    OutputTarget target;
    const auto given = file.getFullPathName().toStdString();
    struct stat info {};

    if (::stat (given.c_str(), &info) != 0)
    {
        if (errno != ENOENT)
        {
            target.problem = std::strerror (errno);
            return target;
        }

        // Nothing there, or a link to a file not made yet: the file is made where the links lead.
        target.path = followLinks (given, target.problem);
        target.kind = target.problem.empty() ? Kind::newFile : Kind::unusable;
        return target;
    }

    target.take (info);
    target.path = given;

    if (S_ISDIR (info.st_mode))
    {
        target.kind = Kind::folder;
    }
    else if (S_ISREG (info.st_mode))
    {
        // The file is replaced in its own folder, not in the folder of a link to it.
        std::error_code error;
        target.path = std::filesystem::canonical (given, error).string();
        target.kind = error ? Kind::unusable : Kind::regularFile;
        target.problem = error ? error.message() : "";
    }
    else
    {
        // Opened by the path given: a link such as /dev/stdout may lead to no path at all.
        target.kind = Kind::special;
    }

    return target;
}

OutputTarget OutputTarget::ofStandardOutput()
{
    OutputTarget target;
    struct stat info {};

    if (::fstat (STDOUT_FILENO, &info) == 0)
    {
        target.take (info);
        target.kind = S_ISREG (info.st_mode) ? Kind::regularFile : Kind::special;
    }

    return target;
}

void OutputTarget::take (const struct stat& info)
{
    exists = true;
    device = info.st_dev;
    inode = info.st_ino;
    specialDevice = S_ISCHR (info.st_mode) ? info.st_rdev : 0;
    mode = info.st_mode & 07777;
    owner = info.st_uid;
    group = info.st_gid;
}

bool OutputTarget::isNullDevice() const noexcept
{
    struct stat null {};
    return exists && specialDevice != 0 && ::stat ("/dev/null", &null) == 0 && S_ISCHR (null.st_mode)
        && null.st_rdev == specialDevice;
}

std::string OutputTarget::followLinks (const std::string& start, std::string& problem)
{
    namespace fs = std::filesystem;
    fs::path path (start);
    std::error_code error;

    for (int links = 0; links < maxLinks; ++links)
    {
        if (! fs::is_symlink (fs::symlink_status (path, error)))
        {
            // The folders on the way may be links too, and ".." steps out of where they lead.
            const auto resolved = fs::weakly_canonical (path, error);
            problem = error ? error.message() : "";
            return resolved.string();
        }

        const auto target = fs::read_symlink (path, error);

        if (error)
        {
            problem = error.message();
            return {};
        }

        path = target.is_absolute() ? target : path.parent_path() / target;
    }

    problem = "it leads through more than " + std::to_string (maxLinks) + " symbolic links";
    return {};
}

bool OutputTarget::isSameFileAs (const OutputTarget& other) const noexcept
{
    if (exists && other.exists)
        return device == other.device && inode == other.inode;

    return ! exists && ! other.exists && ! path.empty() && path == other.path;
}

std::string OutputTarget::whyNotWritable() const
{
    switch (kind)
    {
        case Kind::unusable:
            return problem;

        case Kind::folder:
            return "it is a folder";

        case Kind::newFile:
            return whyNoFilesIn (folderOf (path));

        case Kind::regularFile:
        case Kind::special:
            // Root passes access() for any file: a mode without a single write bit is the
            // owner's word that the file is not to be overwritten, and refused to everyone.
            if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
                return "it is read-only";

            if (::access (path.c_str(), W_OK) != 0)
                return "you may not write it";

            // A regular file is replaced by a file made beside it.
            return kind == Kind::regularFile ? whyNoFilesIn (folderOf (path)) : std::string();
    }

    return problem;
}

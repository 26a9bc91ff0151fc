#include "OutputFiles.h"

#include "InputError.h"
#include "UsageError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::string describe (const OutputFiles::Destination& destination)
{
    return destination.what + " " + destination.file.getFullPathName().toStdString();
}

InputError cannotWrite (const OutputFiles::Destination& destination, const std::string& why)
{
    return InputError ("cannot write " + describe (destination) + (why.empty() ? "" : ": " + why));
}

// Writes all of bytes, going on after a signal or a partial write.
bool writeAll (int fd, const juce::MemoryBlock& bytes)
{
    const auto* data = static_cast<const char*> (bytes.getData());
    size_t left = bytes.getSize();

    while (left > 0)
    {
        const auto written = ::write (fd, data, left);

        if (written < 0 && errno == EINTR)
            continue;

        if (written <= 0)
            return false;

        data += written;
        left -= (size_t) written;
    }

    return true;
}
}

OutputFiles::OutputFiles (const std::vector<Destination>& destinations)
{
    const auto standardOutput = OutputTarget::ofStandardOutput();

    for (const auto& destination : destinations)
    {
        auto target = OutputTarget::of (destination.file);

        for (const auto& earlier : outputs)
            if (earlier.target.isSameFileAs (target))
                throw UsageError (earlier.destination.option + " and " + destination.option + " name the same file, "
                                  + destination.file.getFullPathName().toStdString()
                                  + ": each output needs a file of its own");

        if (target.isSameFileAs (standardOutput) && ! target.isNullDevice())
            throw UsageError (destination.option + " names standard output, "
                              + destination.file.getFullPathName().toStdString()
                              + ", where this program prints its listing (or its chart): give it a file of its own");

        outputs.push_back ({ destination, std::move (target), nullptr, {}, false });
    }

    // Only once no two name the same file: that is the command line's mistake, not the files'.
    for (const auto& output : outputs)
    {
        const auto why = output.target.whyNotWritable();

        if (! why.empty())
            throw cannotWrite (output.destination, why);
    }
}

OutputFiles::~OutputFiles() = default;

OutputFiles::Output& OutputFiles::find (const std::string& option)
{
    for (auto& output : outputs)
        if (output.destination.option == option)
            return output;

    throw std::logic_error ("no output was given for " + option);
}

void OutputFiles::stage (const std::string& option, const juce::MemoryBlock& bytes)
{
    auto& output = find (option);

    if (output.target.getKind() == OutputTarget::Kind::special)
        output.directBytes = bytes;
    else
        writeTemporary (output, bytes);

    output.staged = true;
}

void OutputFiles::writeTemporary (Output& output, const juce::MemoryBlock& bytes)
{
    const juce::File destination (output.target.getPath());
    auto temporary = std::make_unique<juce::TemporaryFile> (destination, juce::TemporaryFile::useHiddenFile);

    {
        juce::FileOutputStream out (temporary->getFile());

        if (out.failedToOpen() || ! out.write (bytes.getData(), bytes.getSize()))
            throw cannotWrite (output.destination, out.getStatus().getErrorMessage().toStdString());

        out.flush();

        if (out.getStatus().failed())
            throw cannotWrite (output.destination, out.getStatus().getErrorMessage().toStdString());
    }

    output.temporary = std::move (temporary);
}

void OutputFiles::commit()
{
    for (const auto& output : outputs)
        if (output.staged && output.target.getKind() == OutputTarget::Kind::special)
            writeDirectly (output);

    for (const auto& output : outputs)
        if (output.staged && output.temporary != nullptr)
            moveIntoPlace (output);

    for (auto& output : outputs)
    {
        output.temporary.reset();
        output.staged = false;
    }
}

void OutputFiles::writeDirectly (const Output& output)
{
    // Without O_NONBLOCK, opening a FIFO that nobody reads would wait for ever.
    const int fd = ::open (output.target.getPath().c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);

    if (fd < 0)
        throw cannotWrite (output.destination, errno == ENXIO ? "no program is reading it" : std::strerror (errno));

    // Once open, wait for a slow reader as any writer does.
    const int flags = ::fcntl (fd, F_GETFL);
    ::fcntl (fd, F_SETFL, flags & ~O_NONBLOCK);

    const bool written = writeAll (fd, output.directBytes);
    const int writeError = errno;
    const bool closed = ::close (fd) == 0;

    if (! written || ! closed)
        throw cannotWrite (output.destination, std::strerror (written ? errno : writeError));
}

void OutputFiles::moveIntoPlace (const Output& output)
{
    const auto temporary = output.temporary->getFile().getFullPathName().toStdString();
    const auto& target = output.target;

    if (target.getKind() == OutputTarget::Kind::regularFile)
    {
        ::chmod (temporary.c_str(), target.getMode());

        // Only root may give a file away; anyone else's own file keeps its owner anyway.
        [[maybe_unused]] const int ignored = ::chown (temporary.c_str(), target.getOwner(), target.getGroup());
    }

    // Renaming replaces the file in one step: the path never names a half-written file.
    if (std::rename (temporary.c_str(), target.getPath().c_str()) != 0)
        throw InputError ("cannot move " + describe (output.destination) + " into place: " + std::strerror (errno));
}

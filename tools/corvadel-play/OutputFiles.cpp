#include "OutputFiles.h"

#include "InputError.h"

void OutputFiles::stage (const juce::File& destination, const juce::MemoryBlock& bytes, const std::string& what)
{
    const auto cannotWrite = [&] {
        return InputError ("cannot write " + what + " " + destination.getFullPathName().toStdString());
    };

    if (destination.isDirectory())
        throw cannotWrite();

    auto temporary = std::make_unique<juce::TemporaryFile> (destination, juce::TemporaryFile::useHiddenFile);

    {
        juce::FileOutputStream out (temporary->getFile());

        if (out.failedToOpen() || ! out.write (bytes.getData(), bytes.getSize()))
            throw cannotWrite();

        out.flush();

        if (out.getStatus().failed())
            throw cannotWrite();
    }

    staged.push_back ({ std::move (temporary), what });
}

void OutputFiles::commit()
{
    for (const auto& file : staged)
        if (! file.file->overwriteTargetFileWithTemporary())
            throw InputError ("cannot move " + file.what + " into place at "
                              + file.file->getTargetFile().getFullPathName().toStdString());

    staged.clear();
}

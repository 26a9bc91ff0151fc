#include "engine/ProgramList.h"

#include "engine/PluginParameterManager.h"

#include <cstdlib>
#include <climits>
#include <cwchar>

namespace
{
// Names cross as the C library's multibyte text, as the format has always stored them.
std::string toStoredName (const juce::String& name)
{
    const std::wstring wide = name.toWideCharPointer();
    std::string stored;
    std::mbstate_t state {};
    char buffer[MB_LEN_MAX];

    for (wchar_t c : wide)
    {
        if ((int) stored.size() >= ProgramList::maxStoredNameLength)
            break;

        const size_t n = std::wcrtomb (buffer, c, &state);

        if (n == (size_t) -1 || stored.size() + n > (size_t) ProgramList::maxStoredNameLength)
            break;

        stored.append (buffer, n);
    }

    return stored;
}

juce::String fromStoredName (const char* text, size_t length)
{
    std::wstring wide;
    std::mbstate_t state {};
    size_t pos = 0;

    while (pos < length)
    {
        wchar_t c;
        const size_t n = std::mbrtowc (&c, text + pos, length - pos, &state);

        if (n == 0 || n == (size_t) -1 || n == (size_t) -2)
            break;

        wide.push_back (c);
        pos += n;
    }

    return juce::String (wide.c_str());
}

void appendInt32 (juce::MemoryBlock& destination, int32_t value)
{
    const auto littleEndian = juce::ByteOrder::swapIfBigEndian ((uint32_t) value);
    destination.append (&littleEndian, sizeof (littleEndian));
}
}

ProgramList::~ProgramList()
{
    clear();
}

int ProgramList::size() const
{
    return programs.size();
}

void ProgramList::addProgram (const juce::String& name, const juce::MemoryBlock& values)
{
    auto* program = programs.add (new ProgramRecord());
    program->name = name;
    program->data = values;
}

ProgramRecord* ProgramList::find (int index) const
{
    return index >= 0 && index < programs.size() ? programs.getUnchecked (index) : nullptr;
}

void ProgramList::storeCurrentValues (int index, const PluginParameterManager& registry)
{
    if (auto* program = find (index))
    {
        program->data.reset();
        registry.appendValues (program->data);
    }
}

const juce::MemoryBlock* ProgramList::dataOfProgram (int index) const
{
    if (auto* program = find (index))
        return &program->data;

    return nullptr;
}

juce::String ProgramList::nameOfProgram (int index) const
{
    if (auto* program = find (index))
        return program->name;

    return "Unknown Program";
}

void ProgramList::setNameOfProgram (int index, const juce::String& name)
{
    if (auto* program = find (index))
        program->name = name;
}

void ProgramList::writePrograms (juce::MemoryBlock& destination) const
{
    appendInt32 (destination, programs.size());

    for (auto* program : programs)
    {
        const std::string name = toStoredName (program->name);
        destination.append (name.c_str(), name.size() + 1);
        appendInt32 (destination, (int32_t) program->data.getSize());
        destination.append (program->data.getData(), program->data.getSize());
    }
}

void ProgramList::readPrograms (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes < 4)
        return;

    const auto* bytes = static_cast<const char*> (data);
    const int32_t count = (int32_t) juce::ByteOrder::littleEndianInt (bytes);
    const int64_t size = sizeInBytes;
    int64_t pos = 4;

    for (int32_t i = 0; i < count; ++i)
    {
        const void* terminator = pos < size ? std::memchr (bytes + pos, 0, (size_t) (size - pos)) : nullptr;

        if (terminator == nullptr)
            return;

        const int64_t nameLength = static_cast<const char*> (terminator) - (bytes + pos);
        const int64_t sizeField = pos + nameLength + 1;

        if (sizeField + 4 > size)
            return;

        const int32_t dataSize = (int32_t) juce::ByteOrder::littleEndianInt (bytes + sizeField);

        if (dataSize < 0 || sizeField + 4 + dataSize > size)
            return;

        auto* program = programs.add (new ProgramRecord());
        program->name = fromStoredName (bytes + pos, (size_t) nameLength);
        program->data.append (bytes + sizeField + 4, (size_t) dataSize);
        pos = sizeField + 4 + dataSize;
    }
}

void ProgramList::clear()
{
    for (int i = programs.size(); --i >= 0;)
        programs.remove (i);

    programs.clear();
}

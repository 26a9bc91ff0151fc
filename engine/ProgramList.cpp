#include "engine/ProgramList.h"

#include "engine/LittleEndian.h"
#include "engine/PluginParameterManager.h"

#include <string>

namespace
{
// Names are stored as UTF-8, whatever the host process's locale: a name written on one machine
// reads back the same on another. Plain ASCII names give the same bytes as any 8-bit encoding.
// A name longer than the room is cut before the first character that does not fit whole.
std::string toStoredName (const juce::String& name)
{
    std::string stored;

    for (auto text = name.getCharPointer(); ! text.isEmpty();)
    {
        const auto* start = text.getAddress();
        text.getAndAdvance();
        const auto length = (size_t) (text.getAddress() - start);

        if (stored.size() + length > (size_t) ProgramList::maxStoredNameLength)
            break;

        stored.append (start, length);
    }

    return stored;
}

juce::String fromStoredName (const char* text, size_t length)
{
    if (juce::CharPointer_UTF8::isValidString (text, (int) length))
        return juce::String (juce::CharPointer_UTF8 (text), length);

    // Not UTF-8: each byte is read as the character of that code, so that nothing is lost.
    std::wstring wide;

    for (size_t i = 0; i < length; ++i)
        wide.push_back ((wchar_t) (unsigned char) text[i]);

    return juce::String (wide.c_str());
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
    LittleEndian::appendInt32 (destination, programs.size());

    for (auto* program : programs)
    {
        const std::string name = toStoredName (program->name);
        destination.append (name.c_str(), name.size() + 1);
        LittleEndian::appendInt32 (destination, (int32_t) program->data.getSize());
        destination.append (program->data.getData(), program->data.getSize());
    }
}

void ProgramList::readPrograms (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes < 4)
        return;

    const auto* bytes = static_cast<const char*> (data);
    const int32_t count = LittleEndian::readInt32 (bytes);
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

        const int32_t dataSize = LittleEndian::readInt32 (bytes + sizeField);

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

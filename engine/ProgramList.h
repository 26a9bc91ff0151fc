#pragma once

#include "engine/ProgramRecord.h"

class PluginParameterManager;

// The filter's programs, and the state format that saves them.
class ProgramList
{
public:
    ProgramList() = default;
    ~ProgramList();

    int size() const;
    void addProgram (const juce::String& name, const juce::MemoryBlock& values);

    void storeCurrentValues (int index, const PluginParameterManager& registry);
    const juce::MemoryBlock* dataOfProgram (int index) const;
    juce::String nameOfProgram (int index) const;
    void setNameOfProgram (int index, const juce::String& name);

    void writePrograms (juce::MemoryBlock& destination) const;
    void readPrograms (const void* data, int sizeInBytes);
    void clear();

    // Names are written as at most this many 8-bit characters and a terminating zero.
    static constexpr int maxStoredNameLength = 31;

private:
    ProgramRecord* find (int index) const;

    juce::OwnedArray<ProgramRecord> programs;

    JUCE_DECLARE_NON_COPYABLE (ProgramList)
};

#pragma once

#include <juce_core/juce_core.h>

// One program: its name and a snapshot of every parameter's plain value, as consecutive
// little-endian floats in registry order.
struct ProgramRecord
{
    juce::String name;
    juce::MemoryBlock data;
};

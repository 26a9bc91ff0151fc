#pragma once

#include "engine/ParameterRecord.h"

#include <juce_events/juce_events.h>

class QuorFilterBase;

// Maps parameter indices to plain float values with a range and a name. Every lookup is
// checked: an index that names nothing gives a neutral answer and changes nothing.
class PluginParameterManager : public juce::ChangeBroadcaster
{
public:
    explicit PluginParameterManager (QuorFilterBase* owner);
    ~PluginParameterManager() override;

    // Registers a parameter at the next index; the value stays where the caller keeps it.
    int addParameter (float* valuePtr, const juce::String& name, float minimum, float maximum);

    int parameterCount() const;
    ParameterRecord* findParameter (int index) const;

    float getPlainValue (int index) const;
    float getNormalisedValue (int index) const;
    void setNormalisedValue (int index, float normalisedValue);
    void setPlainValue (int index, float plainValue);

    juce::String getName (int index) const;
    juce::String getValueText (int index) const;

    void appendValues (juce::MemoryBlock& destination) const;
    void loadValues (const void* data, int sizeInBytes);

private:
    QuorFilterBase* const owner;
    juce::OwnedArray<ParameterRecord> parameters;

    JUCE_DECLARE_NON_COPYABLE (PluginParameterManager)
};

#include "engine/PluginParameterManager.h"

#include "engine/QuorFilterBase.h"

namespace
{
const char* const unknownParameterText = "Unknown Parameter";

float normalise (const ParameterRecord& p, float plainValue)
{
    return (plainValue - p.minimum) / (p.maximum - p.minimum);
}
}

PluginParameterManager::PluginParameterManager (QuorFilterBase* ownerFilter) : owner (ownerFilter)
{
}

PluginParameterManager::~PluginParameterManager()
{
    // Last to first, as they were added; the values themselves belong to their registrants.
    for (int i = parameters.size(); --i >= 0;)
        parameters.remove (i);
}

int PluginParameterManager::addParameter (float* valuePtr, const juce::String& name, float minimum, float maximum)
{
    auto* record = new ParameterRecord();
    record->valuePtr = valuePtr;
    record->name = name;
    record->minimum = minimum;
    record->maximum = maximum;
    parameters.add (record);
    return parameters.size() - 1;
}

int PluginParameterManager::parameterCount() const
{
    return parameters.size();
}

ParameterRecord* PluginParameterManager::findParameter (int index) const
{
    if (index < 0 || index >= parameters.size())
        return nullptr;

    auto* record = parameters.getUnchecked (index);
    return record->valuePtr != nullptr ? record : nullptr;
}

float PluginParameterManager::getPlainValue (int index) const
{
    if (auto* p = findParameter (index))
        return *p->valuePtr;

    return 0.0f;
}

float PluginParameterManager::getNormalisedValue (int index) const
{
    if (auto* p = findParameter (index))
        return normalise (*p, *p->valuePtr);

    return 0.0f;
}

void PluginParameterManager::setNormalisedValue (int index, float normalisedValue)
{
    if (auto* p = findParameter (index))
    {
        *p->valuePtr = p->minimum + (p->maximum - p->minimum) * normalisedValue;
        sendChangeMessage();
    }
}

void PluginParameterManager::setPlainValue (int index, float plainValue)
{
    if (auto* p = findParameter (index))
    {
        *p->valuePtr = plainValue;
        sendChangeMessage();

        if (owner != nullptr)
            owner->setParameterViaHost (index, normalise (*p, plainValue));
    }
}

juce::String PluginParameterManager::getName (int index) const
{
    if (auto* p = findParameter (index))
        return p->name;

    return unknownParameterText;
}

juce::String PluginParameterManager::getValueText (int index) const
{
    if (auto* p = findParameter (index))
    {
        char text[32];
        std::snprintf (text, sizeof (text), "%.9g", (double) *p->valuePtr);
        return text;
    }

    return unknownParameterText;
}

void PluginParameterManager::appendValues (juce::MemoryBlock& destination) const
{
    for (int i = 0; i < parameters.size(); ++i)
    {
        const float value = getPlainValue (i);
        uint32_t bits;
        std::memcpy (&bits, &value, sizeof (bits));
        const uint32_t littleEndian = juce::ByteOrder::swapIfBigEndian (bits);
        destination.append (&littleEndian, sizeof (littleEndian));
    }
}

void PluginParameterManager::loadValues (const void* data, int sizeInBytes)
{
    const auto* bytes = static_cast<const uint8_t*> (data);

    for (int i = 0; data != nullptr && i < parameters.size() && (int64_t) i * 4 + 4 <= (int64_t) sizeInBytes; ++i)
    {
        const uint32_t bits = juce::ByteOrder::littleEndianInt (bytes + i * 4);
        float value;
        std::memcpy (&value, &bits, sizeof (value));
        setPlainValue (i, value);
    }

    sendChangeMessage();
}

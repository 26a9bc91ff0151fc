#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class AudioFilterBase;

// Base of a filter's user interface: a component that knows the filter it belongs to. It does
// not tell the filter when it goes away; whoever deletes it calls the filter's forgetEditor first.
class AudioFilterEditor : public juce::Component
{
public:
    explicit AudioFilterEditor (AudioFilterBase* owner) : ownerFilter (owner) {}
    ~AudioFilterEditor() override = default;

protected:
    AudioFilterBase* const ownerFilter;

private:
    JUCE_DECLARE_NON_COPYABLE (AudioFilterEditor)
};

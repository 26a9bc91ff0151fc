#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

class AudioFilterEditor;
class FilterProcessor;

// The filter's own editor, as the framework's plug-in clients put an editor into the host's
// window: this holds it as its only child, at its size. Building it tells the filter it is the
// active editor; deleting it tells the filter first, as the VST 2 bridge does.
//
// Threads: the host's user-interface thread, which the clients make the framework's message
// thread; building and deleting wait on filterLock.
class FilterProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit FilterProcessorEditor (FilterProcessor& processor);
    ~FilterProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void childBoundsChanged (juce::Component* child) override;

private:
    FilterProcessor& owner;
    std::unique_ptr<AudioFilterEditor> editor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilterProcessorEditor)
};

#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

class AudioFilterEditor;
class FilterProcessor;

// The filter's own editor, as the framework's plug-in clients put an editor into the host's
// window: this holds it as its only child, at its size. Building it tells the filter it is the
// active editor; deleting it tells the filter first, as the VST 2 bridge does.
//
// On Windows the framework paints a changed editor at the next screen refresh, which it learns of
// from the graphics driver; where the driver never reports one (a remote session, a virtual
// machine, wine), nothing changed would ever be painted. A timer here paints what is pending, as
// the VST 2 bridge does on the host's idle calls.
//
// Threads: the host's user-interface thread, which the clients make the framework's message
// thread; building and deleting wait on filterLock.
class FilterProcessorEditor : public juce::AudioProcessorEditor
#if JUCE_WINDOWS
    , private juce::Timer
#endif
{
public:
    explicit FilterProcessorEditor (FilterProcessor& processor);
    ~FilterProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void childBoundsChanged (juce::Component* child) override;

private:
#if JUCE_WINDOWS
    void timerCallback() override;
#endif

    FilterProcessor& owner;
    std::unique_ptr<AudioFilterEditor> editor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilterProcessorEditor)
};

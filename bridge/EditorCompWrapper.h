#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class JuceVSTWrapper;

// Holds the filter's editor as its only child and lives as a native child window inside the
// host's window: it keeps its own size, and the host's window, in step with the editor's size,
// raises the host's frame when brought to the front, and keeps the host idling while the user
// drags in the editor.
class EditorCompWrapper : public juce::Component, private juce::AsyncUpdater
{
public:
    explicit EditorCompWrapper (JuceVSTWrapper& owner);
    ~EditorCompWrapper() override;

    // Makes this a native child window of the host's window (an X11 window id on Linux, a window
    // handle on Windows) and shows it; false when no native window could be made.
    bool embedInHostWindow (void* hostWindow);

    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;
    void childBoundsChanged (juce::Component* child) override;
    void broughtToFront() override;

private:
    void handleAsyncUpdate() override;

    JuceVSTWrapper& ownerBridge;

    JUCE_DECLARE_NON_COPYABLE (EditorCompWrapper)
};

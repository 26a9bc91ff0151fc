#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class AudioFilterEditor;
class Corvadel;

// The filter's editor in a desktop window of its own, titled "Corvadel Live", as a host shows it:
// edits play at once. Closing the window ends the program: the main loop looks at wasClosed.
//
// Threads: the message thread; building and deleting wait on filterLock.
class LiveWindow : public juce::DocumentWindow
{
public:
    explicit LiveWindow (Corvadel& filter);
    // Tells the filter the editor goes before deleting it.
    ~LiveWindow() override;

    void closeButtonPressed() override;
    bool wasClosed() const noexcept { return closed; }

private:
    Corvadel& filter;
    std::unique_ptr<AudioFilterEditor> editor;
    bool closed = false;

    JUCE_DECLARE_NON_COPYABLE (LiveWindow)
};

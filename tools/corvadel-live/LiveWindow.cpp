#include "LiveWindow.h"

#include "bridge/AudioFilterEditor.h"
#include "engine/Corvadel.h"

LiveWindow::LiveWindow (Corvadel& filterToShow)
    : juce::DocumentWindow ("Corvadel Live", juce::Colours::black,
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton),
      filter (filterToShow),
      editor (filterToShow.createAndTrackEditor())
{
    setUsingNativeTitleBar (true);
    // The editor decides its size; the window follows it.
    setContentNonOwned (editor.get(), true);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);
}

LiveWindow::~LiveWindow()
{
    clearContentComponent();
    filter.forgetEditor (editor.get());
    editor.reset();
}

void LiveWindow::closeButtonPressed()
{
    closed = true;
}

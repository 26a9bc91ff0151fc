#include "formats/FilterProcessorEditor.h"

#include "bridge/AudioFilterEditor.h"
#include "formats/FilterProcessor.h"

FilterProcessorEditor::FilterProcessorEditor (FilterProcessor& processor)
    : juce::AudioProcessorEditor (processor),
      owner (processor),
      editor (processor.getFilter().createAndTrackEditor())
{
    setOpaque (true);

    if (editor == nullptr)
    {
        setSize (1, 1);
        return;
    }

    editor->setOpaque (true);
    addAndMakeVisible (*editor);
    setSize (editor->getWidth(), editor->getHeight());
    editor->setTopLeftPosition (0, 0);

   #if JUCE_WINDOWS
    startTimerHz (30);
   #endif
}

FilterProcessorEditor::~FilterProcessorEditor()
{
    if (editor != nullptr)
    {
        owner.getFilter().forgetEditor (editor.get());
        editor.reset();
    }
}

#if JUCE_WINDOWS
void FilterProcessorEditor::timerCallback()
{
    if (auto* peer = getPeer())
        peer->performAnyPendingRepaintsNow();
}
#endif

void FilterProcessorEditor::paint (juce::Graphics&)
{
    // The editor covers all of this; nothing of its own is drawn.
}

void FilterProcessorEditor::resized()
{
    if (editor != nullptr)
        editor->setBounds (getLocalBounds());
}

void FilterProcessorEditor::childBoundsChanged (juce::Component* child)
{
    // The editor decides its size; the host's window follows through the client.
    if (child == nullptr || child != editor.get())
        return;

    child->setTopLeftPosition (0, 0);
    setSize (child->getWidth(), child->getHeight());
}

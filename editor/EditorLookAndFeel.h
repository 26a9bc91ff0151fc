#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The editor's look: the framework's classic look, with button words that fit the editor's
// narrow buttons. The Add bar is 30 pixels wide and the Stop button 30 by 45, where the classic
// look's margins leave 12 pixels and every word ends up as an ellipsis.
class EditorLookAndFeel : public juce::LookAndFeel_V2
{
public:
    // Message thread.
    void drawButtonText (juce::Graphics& g, juce::TextButton& button, bool isHighlighted, bool isDown) override;

private:
    static bool isTallBar (const juce::Component& button);
    static void drawStackedLetters (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area);
    static void drawWordFitted (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area);
};

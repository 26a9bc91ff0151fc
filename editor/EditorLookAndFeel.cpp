#include "editor/EditorLookAndFeel.h"

namespace
{
constexpr float largestFontHeight = 15.0f;
constexpr float smallestFontHeight = 8.0f;
constexpr int margin = 2;
}

void EditorLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    const auto colourId = button.getToggleState() ? juce::TextButton::textColourOnId : juce::TextButton::textColourOffId;
    g.setColour (button.findColour (colourId).withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));

    const auto area = button.getLocalBounds().reduced (margin);

    if (isTallBar (button))
        drawStackedLetters (g, button.getButtonText(), area);
    else
        drawWordFitted (g, button.getButtonText(), area);
}

bool EditorLookAndFeel::isTallBar (const juce::Component& button)
{
    return button.getHeight() >= 3 * button.getWidth();
}

void EditorLookAndFeel::drawStackedLetters (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area)
{
    // One letter under the other, the column centred in the bar, so the word reads downwards.
    const juce::Font font (largestFontHeight);
    const int lineHeight = juce::roundToInt (font.getHeight());
    const int numLetters = text.length();
    g.setFont (font);

    auto lines = area.withSizeKeepingCentre (area.getWidth(), juce::jmin (area.getHeight(), numLetters * lineHeight));

    for (int i = 0; i < numLetters; ++i)
        g.drawText (juce::String::charToString (text[i]), lines.removeFromTop (lineHeight),
                    juce::Justification::centred, false);
}

void EditorLookAndFeel::drawWordFitted (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area)
{
    // The largest font up to the classic size in which the whole word fits the button's width.
    juce::Font font (juce::jmin (largestFontHeight, (float) area.getHeight()));

    while (font.getHeight() > smallestFontHeight && font.getStringWidthFloat (text) > (float) area.getWidth())
        font.setHeight (font.getHeight() - 0.5f);

    g.setFont (font);
    g.drawText (text, area, juce::Justification::centred, false);
}

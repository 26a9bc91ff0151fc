#include "editor/VirtualPiano.h"

#include <cmath>

namespace
{
    const juce::Colour freshImageColour (0xFF7FFFD4);
    const juce::Colour whiteKeyColour (0xFFFFFFF0);
    const juce::Colour separatorColour (0xFFA52A2A);
    const juce::Colour edgeColour (0xFF000000);
    const juce::Colour blackKeyHighlightColour (0xFFA0A0A0);

    constexpr float blackKeyDepthFraction = 0.65f;
    constexpr float highlightDepthFraction = 0.55f;

    // No black key lies between E and F or between B and C.
    bool isFollowedByGap (int keyIndex) noexcept
    {
        return keyIndex % 12 == 3 || keyIndex % 12 == 10;
    }
}

VirtualPiano::VirtualPiano (int numKeysToShow, int lowestOctaveToShow)
    : juce::Component ("VirtualPiano"),
      numKeys (numKeysToShow),
      lowestOctave (lowestOctaveToShow)
{
    if (numKeys >= 1)
        keyStates = std::make_unique<KeyState[]> ((size_t) numKeys);

    setOpaque (true);
    setBufferedToImage (true);
}

VirtualPiano::~VirtualPiano() = default;

bool VirtualPiano::isWhiteKey (int keyIndex) noexcept
{
    switch (keyIndex % 12)
    {
        case 0: case 2: case 4: case 5: case 7: case 9: case 11: return true;
        default: return false;
    }
}

int VirtualPiano::getNumWhiteKeys() const noexcept
{
    // Seven white keys to the octave; a partial octave still gets a slot for every white key it
    // could hold, so 128 keys give 75.
    const float whiteKeys = (float) numKeys / 12.0f * 7.0f;
    return (int) std::ceil (whiteKeys);
}

float VirtualPiano::getAlongLength() const noexcept
{
    return (float) (isVertical ? getHeight() : getWidth());
}

float VirtualPiano::getAcrossLength() const noexcept
{
    return (float) (isVertical ? getWidth() : getHeight());
}

juce::Rectangle<float> VirtualPiano::keyRect (float alongStart, float acrossStart,
                                              float alongLength, float acrossLength) const noexcept
{
    if (isVertical)
        return { acrossStart, alongStart, acrossLength, alongLength };

    return { alongStart, acrossStart, alongLength, acrossLength };
}

//==============================================================================
void VirtualPiano::resized()
{
    keyboardImage.reset();
    keysDirty = true;
    markAllKeysForRedraw();
}

void VirtualPiano::markAllKeysForRedraw() noexcept
{
    for (int i = 0; i < numKeys; ++i)
        keyStates[(size_t) i].needsRedraw = true;
}

void VirtualPiano::handleCommandMessage (int commandId)
{
    if (commandId == 0)
        repaint();
}

void VirtualPiano::paint (juce::Graphics& g)
{
    if (getWidth() <= 0 || getHeight() <= 0)
        return;

    createImageIfNeeded();

    if (keysDirty)
        redrawDirtyKeys();

    g.drawImageAt (*keyboardImage, 0, 0);
}

void VirtualPiano::createImageIfNeeded()
{
    if (keyboardImage != nullptr)
        return;

    keyboardImage = std::make_unique<juce::Image> (juce::Image::RGB, getWidth(), getHeight(), false);
    keyboardImage->clear (keyboardImage->getBounds(), freshImageColour);
}

void VirtualPiano::redrawDirtyKeys()
{
    const juce::ScopedLock sl (stateLock);

    const int numWhite = getNumWhiteKeys();

    if (numKeys >= 1 && numWhite >= 1)
    {
        const float whiteKeyLength = getAlongLength() / (float) numWhite;
        const float depth = getAcrossLength();

        juce::Graphics g (*keyboardImage);
        drawWhiteKeys (g, whiteKeyLength, depth);
        drawBlackKeys (g, whiteKeyLength, depth);
    }

    keysDirty = false;
}

void VirtualPiano::drawWhiteKeys (juce::Graphics& g, float whiteKeyLength, float depth)
{
    const float step = isVertical ? -whiteKeyLength : whiteKeyLength;
    float position = isVertical ? getAlongLength() - whiteKeyLength : 0.0f;

    for (int i = 0; i < numKeys; ++i)
    {
        if (! isWhiteKey (i))
            continue;

        if (keyStates[(size_t) i].needsRedraw)
        {
            drawWhiteKey (g, i, position, whiteKeyLength, depth);
            keyStates[(size_t) i].needsRedraw = false;
        }

        position += step;
    }
}

void VirtualPiano::drawWhiteKey (juce::Graphics& g, int keyIndex, float position,
                                 float whiteKeyLength, float depth)
{
    const float strip = depth / 20.0f;

    g.setColour (whiteKeyColour);
    g.fillRect (keyRect (position, 0.0f, whiteKeyLength, depth));
    g.setColour (separatorColour);
    g.fillRect (keyRect (position, 0.0f, 1.0f, depth));
    g.setColour (edgeColour);
    g.fillRect (keyRect (position, depth - strip, whiteKeyLength, strip));
    g.fillRect (keyRect (position, 0.0f, whiteKeyLength, strip));

    // The closing edges sit at the same along-positions whichever way the keys run.
    if (keyIndex == numKeys - 1)
        g.fillRect (keyRect (getAlongLength() - 1.0f, 0.0f, 2.0f, depth));

    if (keyIndex == 0)
        g.fillRect (keyRect (0.0f, 0.0f, 1.0f, depth));
}

void VirtualPiano::drawBlackKeys (juce::Graphics& g, float whiteKeyLength, float depth)
{
    const float step = isVertical ? -whiteKeyLength : whiteKeyLength;
    float boundary = isVertical ? getAlongLength() : 0.0f;

    for (int i = 0; i < numKeys; ++i)
    {
        // A black last key has no white key above it to sit against.
        if (isWhiteKey (i) || i == numKeys - 1)
            continue;

        boundary += step;

        if (keyStates[(size_t) i].needsRedraw)
        {
            drawBlackKey (g, boundary, whiteKeyLength, depth);
            keyStates[(size_t) i].needsRedraw = false;
        }

        if (isFollowedByGap (i))
            boundary += step;
    }
}

void VirtualPiano::drawBlackKey (juce::Graphics& g, float boundary, float whiteKeyLength, float depth)
{
    const float start = boundary - whiteKeyLength / 4.0f;
    const float back = whiteKeyLength / 12.0f;

    g.setColour (edgeColour);
    g.fillRect (keyRect (start, back, whiteKeyLength / 2.0f + 1.0f, blackKeyDepthFraction * depth));
    g.setColour (blackKeyHighlightColour);
    g.fillRect (keyRect (start + whiteKeyLength / 8.0f, back, whiteKeyLength / 4.0f,
                         highlightDepthFraction * depth));
}

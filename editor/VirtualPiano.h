#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// An on-screen piano keyboard that labels the grid's note rows. It only shows the keys, always
// in their released look, and takes no part in playing.
class VirtualPiano : public juce::Component
{
public:
    VirtualPiano (int numKeys, int lowestOctave);
    ~VirtualPiano() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void handleCommandMessage (int commandId) override;

    int getNumKeys() const noexcept { return numKeys; }
    int getLowestNote() const noexcept { return 12 * lowestOctave; }
    int getNumWhiteKeys() const noexcept;
    static bool isWhiteKey (int keyIndex) noexcept;

    // Keys run bottom to top instead of left to right; set by the owner before the first paint.
    bool isVertical = false;

private:
    struct KeyState
    {
        bool needsRedraw = true;
    };

    // Positions along the keys and across them, turned into a rectangle for the orientation.
    juce::Rectangle<float> keyRect (float alongStart, float acrossStart,
                                    float alongLength, float acrossLength) const noexcept;
    float getAlongLength() const noexcept;
    float getAcrossLength() const noexcept;

    void createImageIfNeeded();
    void redrawDirtyKeys();
    void drawWhiteKeys (juce::Graphics& g, float whiteKeyLength, float depth);
    void drawWhiteKey (juce::Graphics& g, int keyIndex, float position, float whiteKeyLength, float depth);
    void drawBlackKeys (juce::Graphics& g, float whiteKeyLength, float depth);
    void drawBlackKey (juce::Graphics& g, float boundary, float whiteKeyLength, float depth);
    void markAllKeysForRedraw() noexcept;

    const int numKeys;
    const int lowestOctave;
    std::unique_ptr<KeyState[]> keyStates;
    std::unique_ptr<juce::Image> keyboardImage;
    bool keysDirty = true;
    juce::CriticalSection stateLock;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VirtualPiano)
};

#include "editor/VirtualPiano.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace editortest;

namespace
{
    constexpr juce::uint32 keyboardBackground = 0xFF7FFFD4;
    constexpr juce::uint32 whiteKey = 0xFFFFFFF0;
    constexpr juce::uint32 black = 0xFF000000;
    constexpr juce::uint32 highlight = 0xFFA0A0A0;

    // Black stretches along a horizontal line, not counting the keyboard's two end edges.
    int countBlackRunsAlong (const juce::Image& image, int y)
    {
        int runs = 0;
        bool inside = false;

        for (int x = 2; x < image.getWidth() - 2; ++x)
        {
            const bool isBlack = argbAt (image, x, y) == black;
            runs += (isBlack && ! inside) ? 1 : 0;
            inside = isBlack;
        }

        return runs;
    }

    // The editor's keyboard: 128 keys from note 0, bottom to top, 35 × 769.
    class EditorKeyboardTest : public testing::Test
    {
    protected:
        EditorKeyboardTest()
        {
            keyboard.isVertical = true;
            keyboard.setSize (35, 769);
            image = render (keyboard);
        }

        VirtualPiano keyboard { 128, 0 };
        juce::Image image;
    };
}

//==============================================================================
TEST (VirtualPianoKeys, WhiteKeyCountIsTheCeilingOfSevenTwelfths)
{
    EXPECT_EQ (VirtualPiano (128, 0).getNumWhiteKeys(), 75);
    EXPECT_EQ (VirtualPiano (12, 0).getNumWhiteKeys(), 7);
    EXPECT_EQ (VirtualPiano (13, 0).getNumWhiteKeys(), 8);
    EXPECT_EQ (VirtualPiano (11, 0).getNumWhiteKeys(), 7);
    EXPECT_EQ (VirtualPiano (24, 2).getNumWhiteKeys(), 14);
}

TEST (VirtualPianoKeys, IsANamedOpaqueComponentStartingAtItsOctave)
{
    VirtualPiano keyboard (24, 3);

    EXPECT_EQ (keyboard.getName(), "VirtualPiano");
    EXPECT_TRUE (keyboard.isOpaque());
    EXPECT_EQ (keyboard.getLowestNote(), 36);
    EXPECT_FALSE (keyboard.isVertical);
}

//==============================================================================
TEST_F (EditorKeyboardTest, LowestWhiteKeyIsAtTheBottom)
{
    // W = 769 / 75: note 0 spans y 758.75 to 769, its black neighbour reaches 23.6 pixels across.
    EXPECT_EQ (argbAt (image, 28, 764), whiteKey);
    EXPECT_EQ (argbAt (image, 28, 768), black);  // the closing edge
}

TEST_F (EditorKeyboardTest, HighestKeyIsAWhiteKeyAtTheTop)
{
    EXPECT_EQ (argbAt (image, 28, 5), whiteKey);
    // The top key is drawn last: its separator covers the edge line drawn for note 0.
    EXPECT_EQ (argbAt (image, 28, 0), 0xFFA52A2Au);
}

TEST_F (EditorKeyboardTest, BlackKeyLiesOnTheBoundaryOfItsWhiteNeighbours)
{
    // C sharp of octave 0: body y 756.2 to 762.3 and x 0.85 to 23.6; highlight y 757.5 to 760.
    EXPECT_EQ (argbAt (image, 10, 761), black);
    EXPECT_EQ (argbAt (image, 22, 759), black);
    EXPECT_EQ (argbAt (image, 10, 758), highlight);
    EXPECT_EQ (argbAt (image, 28, 761), whiteKey);
}

TEST_F (EditorKeyboardTest, FrontStripRunsAlongTheRightEdge)
{
    EXPECT_EQ (argbAt (image, 34, 764), black);
    EXPECT_EQ (argbAt (image, 34, 400), black);
}

TEST_F (EditorKeyboardTest, NoSlotShowsTheBackground)
{
    for (int y = 0; y < image.getHeight(); ++y)
        ASSERT_NE (argbAt (image, 30, y), keyboardBackground) << "y " << y;
}

//==============================================================================
TEST (VirtualPianoDrawing, TwelveKeysShowFiveBlackKeys)
{
    VirtualPiano keyboard (12, 0);
    keyboard.setSize (140, 40);  // W = 20

    auto image = render (keyboard);

    EXPECT_EQ (countBlackRunsAlong (image, 25), 5);
    EXPECT_EQ (argbAt (image, 10, 30), whiteKey);
    EXPECT_EQ (argbAt (image, 130, 30), whiteKey);
}

TEST (VirtualPianoDrawing, SeparatorMarksTheStartOfEachWhiteKey)
{
    VirtualPiano keyboard (12, 0);
    keyboard.setSize (140, 40);

    auto image = render (keyboard);

    EXPECT_EQ (argbAt (image, 60, 32), 0xFFA52A2Au);
    EXPECT_EQ (argbAt (image, 61, 32), whiteKey);
}

TEST (VirtualPianoDrawing, LastBlackKeyIsLeftOutAndItsSlotKeepsTheBackground)
{
    VirtualPiano keyboard (11, 0);
    keyboard.setSize (70, 40);  // 7 slots of 10 pixels, 6 white keys

    auto image = render (keyboard);

    EXPECT_EQ (argbAt (image, 65, 20), keyboardBackground);
    EXPECT_EQ (argbAt (image, 61, 10), keyboardBackground);  // no A sharp at the boundary at 60
    EXPECT_EQ (argbAt (image, 57, 30), whiteKey);
    EXPECT_EQ (countBlackRunsAlong (image, 25), 4);
}

TEST (VirtualPianoDrawing, HorizontalKeyboardRunsLeftToRight)
{
    VirtualPiano keyboard (128, 0);
    keyboard.setSize (750, 40);  // W = 10

    auto image = render (keyboard);

    // C sharp sits over the boundary at x 10, reaching 0.65 of the depth from the top.
    EXPECT_EQ (argbAt (image, 12, 20), black);
    EXPECT_EQ (argbAt (image, 12, 30), whiteKey);
    EXPECT_EQ (argbAt (image, 5, 20), whiteKey);
}

TEST (VirtualPianoDrawing, ResizeDrawsEveryKeyAgainAtTheNewSize)
{
    VirtualPiano keyboard (12, 0);
    keyboard.setSize (70, 40);
    render (keyboard);

    keyboard.setSize (140, 40);
    auto image = render (keyboard);

    EXPECT_EQ (image.getWidth(), 140);
    EXPECT_EQ (argbAt (image, 130, 30), whiteKey);
    EXPECT_EQ (countBlackRunsAlong (image, 25), 5);
}

TEST (VirtualPianoDrawing, EmptyKeyboardShowsOnlyTheBackground)
{
    VirtualPiano keyboard (0, 0);
    keyboard.setSize (50, 20);

    auto image = render (keyboard);

    EXPECT_EQ (argbAt (image, 25, 10), keyboardBackground);
}

#include "editor/PianoGridColumn.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

using namespace editortest;

namespace
{
    constexpr int columnHeight = 768;  // 6-pixel rows, as in the editor
    constexpr float rowHeight = 6.0f;

    float yOfNote (int note)
    {
        return (127.0f - (float) note) * rowHeight + rowHeight / 2.0f;
    }

    int pixelYOfNote (int note)
    {
        return (int) yOfNote (note);
    }

    // Stands in for the grid: remembers what the column passes on.
    struct RecordingParent : public juce::Component
    {
        void mouseDown (const juce::MouseEvent& event) override
        {
            ++pressesReceived;
            lastPosition = event.position;
            lastWasRightButton = event.mods.isRightButtonDown();
        }

        int pressesReceived = 0;
        juce::Point<float> lastPosition;
        bool lastWasRightButton = false;
    };

    class PianoGridColumnTest : public testing::Test
    {
    protected:
        PianoGridColumnTest()
        {
            parent.setBounds (0, 0, 300, columnHeight);
            parent.addAndMakeVisible (column);
            column.setBounds (130, 0, 64, columnHeight);
        }

        int countCellsOn() const
        {
            int count = 0;
            for (int i = 0; i < column.cells.size(); ++i)
                count += column.cells.getCell (i)->isOn != 0 ? 1 : 0;
            return count;
        }

        juce::uint32 shownArgb (int note)
        {
            auto image = render (parent);
            return argbAt (image, column.getX() + 30, pixelYOfNote (note));
        }

        // A press and its release where nothing moved in between.
        void click (PianoGridColumn& target, float x, float y)
        {
            const auto event = leftClickAt (target, x, y);
            target.mouseDown (event);
            target.mouseUp (event);
        }

        RecordingParent parent;
        PianoGridColumn column { 128 };
    };
}

//==============================================================================
TEST_F (PianoGridColumnTest, RowHeightIsHeightOverCellCount)
{
    EXPECT_FLOAT_EQ (column.getRowHeight(), 6.0f);

    column.setSize (64, 100);
    EXPECT_FLOAT_EQ (column.getRowHeight(), 100.0f / 128.0f);
}

TEST_F (PianoGridColumnTest, LeftClickInTopRowTogglesNote127)
{
    click (column, 10, 0);

    EXPECT_EQ (column.cells.getCell (127)->isOn, 1);
    EXPECT_EQ (countCellsOn(), 1);

    click (column, 10, 5);
    EXPECT_EQ (column.cells.getCell (127)->isOn, 0);
}

TEST_F (PianoGridColumnTest, LeftClickInBottomRowTogglesNote0)
{
    column.mouseDown (leftClickAt (column, 10, columnHeight - 1));

    EXPECT_EQ (column.cells.getCell (0)->isOn, 1);
    EXPECT_EQ (countCellsOn(), 1);
}

TEST_F (PianoGridColumnTest, RowBoundaryBelongsToTheLowerRow)
{
    column.mouseDown (leftClickAt (column, 10, 6));

    EXPECT_EQ (column.cells.getCell (126)->isOn, 1);
    EXPECT_EQ (column.cells.getCell (127)->isOn, 0);
}

TEST_F (PianoGridColumnTest, SwitchingOnSetsVelocity100)
{
    column.cells.setVelocity (64, 30);

    column.mouseDown (leftClickAt (column, 10, yOfNote (64)));

    EXPECT_EQ (column.cells.getCell (64)->isOn, 1);
    EXPECT_EQ (column.cells.getCell (64)->velocity, 100);
}

TEST_F (PianoGridColumnTest, SwitchingOffAlsoSetsVelocity100)
{
    column.cells.setOn (60, 1);
    column.cells.setVelocity (60, 64);

    click (column, 10, yOfNote (60));

    EXPECT_EQ (column.cells.getCell (60)->isOn, 0);
    EXPECT_EQ (column.cells.getCell (60)->velocity, 100);
}

TEST_F (PianoGridColumnTest, RestoredOnByteIsDrawnAsOnAndOneClickClearsIt)
{
    column.cells.setOn (72, 5);
    EXPECT_EQ (shownArgb (72), 0xFF7FFFD4u);

    click (column, 10, yOfNote (72));

    EXPECT_EQ (column.cells.getCell (72)->isOn, 0);
    EXPECT_EQ (shownArgb (72), 0xFFA0D2A0u);  // 72 is a C
}

TEST_F (PianoGridColumnTest, ClickOnAColumnOfFewerCellsAboveItsCellsChangesNothing)
{
    PianoGridColumn shortColumn (12);
    shortColumn.setBounds (0, 0, 64, 120);  // 10-pixel rows

    // Rows count down from note 127 whatever the cell count, so the top rows name no cell.
    shortColumn.mouseDown (leftClickAt (shortColumn, 5, 5));

    for (int i = 0; i < 12; ++i)
        EXPECT_EQ (shortColumn.cells.getCell (i)->isOn, 0) << "cell " << i;
}

//==============================================================================
TEST_F (PianoGridColumnTest, RightClickChangesNoCellAndReachesParentShifted)
{
    column.mouseDown (rightClickAt (column, 10, 20));

    EXPECT_EQ (countCellsOn(), 0);
    ASSERT_EQ (parent.pressesReceived, 1);
    EXPECT_TRUE (parent.lastWasRightButton);
    EXPECT_FLOAT_EQ (parent.lastPosition.x, 140.0f);
    EXPECT_FLOAT_EQ (parent.lastPosition.y, 20.0f);
}

TEST_F (PianoGridColumnTest, LeftClickReachesParentToo)
{
    column.mouseDown (leftClickAt (column, 3, 300));

    EXPECT_EQ (countCellsOn(), 1);
    ASSERT_EQ (parent.pressesReceived, 1);
    EXPECT_FALSE (parent.lastWasRightButton);
    EXPECT_FLOAT_EQ (parent.lastPosition.x, 133.0f);
}

//==============================================================================
TEST_F (PianoGridColumnTest, IdleRowsUseKeyColours)
{
    auto image = render (parent);
    const int x = column.getX() + 10;

    EXPECT_EQ (argbAt (image, x, pixelYOfNote (120)), 0xFFA0D2A0u);  // C
    EXPECT_EQ (argbAt (image, x, pixelYOfNote (115)), 0xFF96C896u);  // G
    EXPECT_EQ (argbAt (image, x, pixelYOfNote (114)), 0xFF78AA78u);  // F sharp
    EXPECT_EQ (argbAt (image, x, pixelYOfNote (0)), 0xFFA0D2A0u);
}

TEST_F (PianoGridColumnTest, PlayingRowsUseLighterColoursAndRedNotes)
{
    column.cells.setOn (62, 1);
    column.isPlaying = true;

    auto image = render (parent);
    const int x = column.getX() + 10;

    EXPECT_EQ (argbAt (image, x, pixelYOfNote (60)), 0xFFB4DCB4u);
    EXPECT_EQ (argbAt (image, x, pixelYOfNote (64)), 0xFFAAD2AAu);
    EXPECT_EQ (argbAt (image, x, pixelYOfNote (61)), 0xFF8CB98Cu);
    EXPECT_EQ (argbAt (image, x, pixelYOfNote (62)), 0xFFFF0000u);
}

TEST_F (PianoGridColumnTest, AnOnRowIsABarAsLongAsItsVelocityIsLoud)
{
    // velocity: the pixels of the 64-pixel row drawn in the note's full colour.
    for (const auto& [velocity, loudPixels] : { std::pair { 127, 64 }, { 100, 50 }, { 64, 32 }, { 1, 1 }, { 300, 64 }, { -5, 1 } })
    {
        column.cells.setOn (100, 1);
        column.cells.setVelocity (100, velocity);
        column.repaint();

        auto image = render (parent);
        const int top = (int) ((127 - 100) * rowHeight);
        int loud = 0;

        for (int x = column.getX(); x < column.getRight(); ++x)
        {
            const auto argb = argbAt (image, x, top + 3);
            loud += argb == 0xFF7FFFD4u ? 1 : 0;
            EXPECT_EQ (argbAt (image, x, top), argb) << "the whole row's height, x " << x;
            EXPECT_NE (argb, PianoGridColumn::getRowColour (100, false).getARGB()) << "still a note that is on, x " << x;
        }

        EXPECT_NEAR (loud, loudPixels, 1) << "velocity " << velocity;
        EXPECT_NE (argbAt (image, column.getX() + 1, top - 1), 0xFF7FFFD4u);
        EXPECT_NE (argbAt (image, column.getX() + 1, top + 6), 0xFF7FFFD4u);
    }
}

TEST_F (PianoGridColumnTest, DraggingOnANoteSetsItsVelocityAndAClickWithoutDragSwitchesItOff)
{
    std::vector<std::pair<int, int>> edits;
    column.onCellsEdited = [&] (PianoGridColumn& edited, int note) { edits.emplace_back (note, edited.cells.getCell (note)->velocity); };
    column.cells.setOn (60, 1);
    column.cells.setVelocity (60, 90);
    const float y = yOfNote (60);

    // Up raises it, down lowers it, and it stays within 1 to 127 however far the drag goes.
    const auto press = leftClickAt (column, 10, y);
    column.mouseDown (press);
    column.mouseDrag (press.withNewPosition (juce::Point<float> (10, y - 20)));
    EXPECT_EQ (column.cells.getCell (60)->velocity, 110);
    column.mouseDrag (press.withNewPosition (juce::Point<float> (10, y - 500)));
    EXPECT_EQ (column.cells.getCell (60)->velocity, 127);
    column.mouseDrag (press.withNewPosition (juce::Point<float> (10, y + 500)));
    EXPECT_EQ (column.cells.getCell (60)->velocity, 1);
    column.mouseUp (press.withNewPosition (juce::Point<float> (10, y + 500)));

    EXPECT_EQ (column.cells.getCell (60)->isOn, 1) << "a drag never switches the note off";
    ASSERT_FALSE (edits.empty());
    EXPECT_EQ (edits.back(), std::make_pair (60, 1)) << "every change reaches the grid";

    // A press that moves less than the threshold is a click.
    column.mouseDown (press);
    column.mouseDrag (press.withNewPosition (juce::Point<float> (11, y + 1)));
    column.mouseUp (press);
    EXPECT_EQ (column.cells.getCell (60)->isOn, 0);
    EXPECT_EQ (edits.back(), std::make_pair (60, 100));
}

TEST_F (PianoGridColumnTest, OnlyCommandZeroRepaints)
{
    render (parent);  // fills the column's cached image
    column.cells.setOn (64, 1);

    column.postCommandMessage (7);
    deliverPendingMessages();
    EXPECT_EQ (shownArgb (64), 0xFF96C896u);

    column.postCommandMessage (0);
    deliverPendingMessages();
    EXPECT_EQ (shownArgb (64), 0xFF7FFFD4u);
}

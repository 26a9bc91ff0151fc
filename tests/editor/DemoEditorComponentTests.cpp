#include "editor/DemoEditorComponent.h"
#include "editor/PianoGridMenu.h"
#include "editor/PlayerSettingsMenu.h"
#include "engine/Corvadel.h"
#include "engine/StateChunk.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

using namespace editortest;

namespace
{
    constexpr juce::uint32 background = 0xFF777777;
    constexpr juce::uint32 lightBorder = 0xFF999999;
    constexpr juce::uint32 darkBorder = 0xFF222222;

    // Grid column i, note n, in the editor's coordinates: the viewport sits at (40, 10) and the
    // grid's rows are 6 pixels high.
    juce::Point<int> editorPointOf (int column, int note)
    {
        return { 40 + column * 65 + 20, 10 + (127 - note) * 6 + 3 };
    }

    void clickButton (juce::Button& button)
    {
        button.triggerClick();
        deliverPendingMessages();
    }

    void switchOnInGrid (PianoGrid& grid, int column, int note)
    {
        auto& target = *grid.getColumn (column);
        target.mouseDown (leftClickAt (target, 20.0f, (float) ((127 - note) * 6 + 3)));
    }

    void pressPedal (Corvadel& filter)
    {
        juce::MidiBuffer midi;
        midi.addEvent (juce::MidiMessage::controllerEvent (1, 64, 127), 0);
        midi.addEvent (juce::MidiMessage::controllerEvent (1, 64, 0), 1);
        const juce::ScopedLock sl (filter.filterLock);
        filter.handlePedalMidi (midi);
    }

    juce::File outputFile (const char* name)
    {
        return juce::File (CORVADEL_TEST_OUTPUT_DIR).getChildFile (name);
    }

    bool saveAsPng (const juce::Image& image, const juce::File& file)
    {
        file.deleteFile();
        juce::FileOutputStream stream (file);
        juce::PNGImageFormat png;
        return stream.openedOk() && png.writeImageToStream (image, stream);
    }

    class DemoEditorComponentTest : public testing::Test
    {
    protected:
        // A pedal press as the audio thread plays it; the grid shows it at its next refresh.
        void advanceAsTheChordPlayerDoes()
        {
            pressPedal (filter);
            editor->getGrid()->refreshFromPlayer();
        }

        Corvadel filter;
        std::unique_ptr<DemoEditorComponent> editor = std::make_unique<DemoEditorComponent> (filter);
    };
}

//==============================================================================
TEST_F (DemoEditorComponentTest, ChildrenAreLaidOutAroundTheGrid)
{
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 700, 800));
    EXPECT_EQ (editor->getViewport()->getBounds(), juce::Rectangle<int> (40, 10, 620, 768));
    EXPECT_EQ (editor->getGrid()->getBounds(), juce::Rectangle<int> (0, 0, 130, 768));
    EXPECT_EQ (editor->getKeyboard()->getBounds(), juce::Rectangle<int> (5, 8, 35, 769));
    EXPECT_EQ (editor->getAddButton()->getBounds(), juce::Rectangle<int> (665, 8, 30, 718));
    EXPECT_EQ (editor->getStopButton()->getBounds(), juce::Rectangle<int> (665, 729, 30, 45));
    EXPECT_EQ (editor->getTitleLabel()->getBounds(), juce::Rectangle<int> (5, 782, 690, 12));
    EXPECT_EQ (editor->getWebLink()->getBounds(), juce::Rectangle<int> (500, 782, 200, 12));
}

TEST_F (DemoEditorComponentTest, ChildrenAreVisibleAndTheLinkLiesOverTheTitle)
{
    const std::vector<juce::Component*> children { editor->getViewport(), editor->getKeyboard(),
                                                   editor->getAddButton(), editor->getStopButton(),
                                                   editor->getTitleLabel(), editor->getWebLink() };

    // All in the one component that the zoom scales.
    auto* content = editor->getViewport()->getParentComponent();
    ASSERT_NE (content, nullptr);
    EXPECT_EQ (content->getParentComponent(), editor.get());

    for (auto* child : children)
    {
        EXPECT_TRUE (child->isVisible());
        EXPECT_EQ (child->getParentComponent(), content);
    }

    EXPECT_GT (content->getIndexOfChildComponent (editor->getWebLink()),
               content->getIndexOfChildComponent (editor->getTitleLabel()));
}

TEST_F (DemoEditorComponentTest, FreshEditorShowsTwoEmptyColumnsAndNoPlayPosition)
{
    auto* grid = editor->getGrid();

    EXPECT_EQ (editor->getViewport()->getViewedComponent(), grid);
    EXPECT_TRUE (grid->isVisible());
    EXPECT_EQ (grid->getNumColumns(), 2);
    EXPECT_EQ (grid->getPlayPosition(), -1);

    std::vector<NoteCell> cells (notesPerChord);
    for (int column = 0; column < 2; ++column)
    {
        grid->getColumnCells (cells.data(), column);
        for (const auto& cell : cells)
            ASSERT_EQ (cell.isOn, 0);
    }
}

TEST_F (DemoEditorComponentTest, ViewportScrollsSidewaysOnly)
{
    EXPECT_TRUE (editor->getViewport()->isHorizontalScrollBarShown());
    EXPECT_FALSE (editor->getViewport()->isVerticalScrollBarShown());
}

TEST_F (DemoEditorComponentTest, ButtonsStayOnAndShowTheirOnColours)
{
    auto* add = editor->getAddButton();
    auto* stop = editor->getStopButton();

    EXPECT_EQ (add->getButtonText(), "Add");
    EXPECT_EQ (add->getTooltip(), "Add");
    EXPECT_EQ (stop->getButtonText(), "Stop");
    EXPECT_EQ (stop->getTooltip(), "Stop");

    EXPECT_EQ (add->findColour (juce::TextButton::buttonColourId).getARGB(), 0xFF97EEFBu);
    EXPECT_EQ (add->findColour (juce::TextButton::buttonOnColourId).getARGB(), 0xFF11FF33u);
    EXPECT_EQ (stop->findColour (juce::TextButton::buttonColourId).getARGB(), 0xFFEE97FBu);
    EXPECT_EQ (stop->findColour (juce::TextButton::buttonOnColourId).getARGB(), 0xFFFF1133u);

    clickButton (*add);
    clickButton (*stop);

    EXPECT_TRUE (add->getToggleState());
    EXPECT_TRUE (stop->getToggleState());
}

TEST_F (DemoEditorComponentTest, TitleAndLinkReadInGreyOverNothing)
{
    auto* title = editor->getTitleLabel();
    auto* link = editor->getWebLink();

    EXPECT_EQ (title->getText(), "Corvadel 1.0 by Vantrelle");
    EXPECT_FLOAT_EQ (title->getFont().getHeight(), 12.0f);
    EXPECT_EQ (title->findColour (juce::Label::textColourId).getARGB(), 0xFFBBBBBBu);

    for (auto id : { juce::Label::backgroundColourId, juce::Label::outlineColourId,
                     juce::Label::backgroundWhenEditingColourId, juce::Label::textWhenEditingColourId,
                     juce::Label::outlineWhenEditingColourId })
        EXPECT_EQ (title->findColour (id).getARGB(), 0x00000000u) << std::hex << id;

    EXPECT_EQ (link->getButtonText(), "vantrelle.com/corvadel");
    EXPECT_EQ (link->getURL().toString (false), "https://vantrelle.com/corvadel");
    EXPECT_EQ (link->findColour (juce::HyperlinkButton::textColourId).getARGB(), 0xFFBBBBBBu);
}

//==============================================================================
TEST_F (DemoEditorComponentTest, AddAppendsAnEmptyColumnAtTheRight)
{
    auto* grid = editor->getGrid();
    switchOnInGrid (*grid, 1, 50);

    clickButton (*editor->getAddButton());

    ASSERT_EQ (grid->getNumColumns(), 3);
    EXPECT_EQ (grid->getWidth(), 195);
    EXPECT_EQ (grid->getColumn (1)->cells.getCell (50)->isOn, 1);
    EXPECT_EQ (grid->getColumn (2)->cells.getCell (50)->isOn, 0);
}

TEST_F (DemoEditorComponentTest, TenthColumnMakesTheGridScroll)
{
    auto& scrollBar = editor->getViewport()->getHorizontalScrollBar();

    for (int i = 0; i < 7; ++i)
        clickButton (*editor->getAddButton());

    EXPECT_EQ (editor->getGrid()->getWidth(), 585);
    EXPECT_FALSE (scrollBar.isVisible());

    clickButton (*editor->getAddButton());

    EXPECT_EQ (editor->getGrid()->getWidth(), 650);
    EXPECT_TRUE (scrollBar.isVisible());
}

TEST_F (DemoEditorComponentTest, AddAndStopWaitForTheFilterLock)
{
    EXPECT_TRUE (actionWaitsForLock (filter.filterLock, [&] { clickButton (*editor->getAddButton()); }));
    EXPECT_TRUE (actionWaitsForLock (filter.filterLock, [&] { clickButton (*editor->getStopButton()); }));
    EXPECT_EQ (editor->getGrid()->getNumColumns(), 3);
}

TEST (DemoEditorStop, EndsTheSoundingChordAtTheStartOfTheNextBlock)
{
    Corvadel filter;
    std::unique_ptr<AudioFilterEditor> opened (filter.createAndTrackEditor());
    auto& editor = dynamic_cast<DemoEditorComponent&> (*opened);
    switchOnInGrid (*editor.getGrid(), 0, 60);

    juce::AudioBuffer<float> input (2, 64), output (2, 64);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::controllerEvent (1, 64, 127), 10);
    {
        const juce::ScopedLock sl (filter.filterLock);
        filter.processNextBlock (input, output, false, midi);
    }
    ASSERT_EQ (midi.getNumEvents(), 1);

    clickButton (*editor.getStopButton());
    midi.clear();
    {
        const juce::ScopedLock sl (filter.filterLock);
        filter.processNextBlock (input, output, false, midi);
    }

    ASSERT_EQ (midi.getNumEvents(), 1);
    const auto noteOff = *midi.begin();
    EXPECT_EQ (noteOff.samplePosition, 0);
    EXPECT_TRUE (noteOff.getMessage().isNoteOff());
    EXPECT_EQ (noteOff.getMessage().getNoteNumber(), 60);

    filter.forgetEditor (opened.get());
}

TEST_F (DemoEditorComponentTest, StopChangesNothingOnScreen)
{
    switchOnInGrid (*editor->getGrid(), 0, 60);
    advanceAsTheChordPlayerDoes();
    deliverPendingMessages();
    const auto before = render (*editor);

    clickButton (*editor->getStopButton());
    deliverPendingMessages();
    const auto after = render (*editor);

    // The button itself flashes its pressed look for a moment after the click.
    const auto stopArea = editor->getStopButton()->getBounds();
    int differingPixels = 0;

    for (int y = 0; y < before.getHeight(); ++y)
        for (int x = 0; x < before.getWidth(); ++x)
            if (! stopArea.contains (x, y))
                differingPixels += before.getPixelAt (x, y) != after.getPixelAt (x, y) ? 1 : 0;

    EXPECT_EQ (differingPixels, 0);
}

TEST_F (DemoEditorComponentTest, AfterAResizeEveryColumnCanBeScrolledTo)
{
    for (int i = 0; i < 18; ++i)
        clickButton (*editor->getAddButton());

    for (const auto& [width, height] : { std::pair { 640, 480 }, { 800, 900 }, { 300, 200 } })
    {
        editor->setSize (width, height);
        auto* viewport = editor->getViewport();
        auto* grid = editor->getGrid();

        EXPECT_EQ (viewport->getBounds(), juce::Rectangle<int> (40, 10, width - 80, height - 32));
        EXPECT_EQ (grid->getWidth(), 20 * 65) << "the grid keeps all its columns";
        EXPECT_EQ (grid->getHeight(), height - 32);
        EXPECT_EQ (editor->getStopButton()->getBounds(), juce::Rectangle<int> (width - 35, height - 71, 30, 45));

        viewport->setViewPosition (grid->getWidth(), 0);
        auto* last = grid->getColumn (19);
        ASSERT_NE (last, nullptr) << width << " x " << height;
        const auto onScreen = editor->getLocalArea (last, last->getLocalBounds());
        EXPECT_TRUE (viewport->getBounds().contains (onScreen.getCentre())) << width << " x " << height;
    }
}

TEST_F (DemoEditorComponentTest, RestoredStateReplacesTheFreshColumns)
{
    juce::MemoryOutputStream chunk;
    chunk.writeInt (3);
    chunk.writeInt (notesPerChord);
    for (int column = 0; column < 3; ++column)
    {
        for (int note = 0; note < notesPerChord; ++note)
        {
            const bool on = note == 40 + column;
            chunk.writeByte ((char) (on ? 1 : 0));
            chunk.writeByte (0);
            chunk.writeByte (0);
            chunk.writeByte (0);
            chunk.writeInt (on ? 64 : 100);
        }
    }
    filter.restoreState (chunk.getData(), (int) chunk.getDataSize());

    DemoEditorComponent restored (filter);
    auto* grid = restored.getGrid();

    ASSERT_EQ (grid->getNumColumns(), 3);
    EXPECT_EQ (grid->getWidth(), 195);
    EXPECT_EQ (grid->getColumn (2)->cells.getCell (42)->isOn, 1);
    EXPECT_EQ (grid->getColumn (2)->cells.getCell (42)->velocity, 64);
    EXPECT_EQ (grid->getColumn (2)->cells.getCell (40)->isOn, 0);

    // A restored grid starts like a fresh one: the first press plays column 0.
    EXPECT_EQ (grid->getPlayPosition(), -1);
    pressPedal (filter);
    grid->refreshFromPlayer();
    EXPECT_EQ (grid->getPlayPosition(), 0);

    // A state restored while an editor is open is shown by it at once (its next refresh).
    auto* openGrid = editor->getGrid();
    openGrid->refreshFromPlayer();
    EXPECT_EQ (openGrid->getNumColumns(), 3);
    EXPECT_EQ (openGrid->getColumn (1)->cells.getCell (41)->isOn, 1);
}

//==============================================================================
TEST_F (DemoEditorComponentTest, BackgroundAndBorderStripsAreDrawn)
{
    const auto image = render (*editor);

    EXPECT_EQ (argbAt (image, 3, 400), background);
    EXPECT_EQ (argbAt (image, 300, 778), background);
    EXPECT_EQ (argbAt (image, 697, 400), background);
    EXPECT_EQ (argbAt (image, 20, 6), background);

    EXPECT_EQ (argbAt (image, 1, 400), lightBorder);    // left
    EXPECT_EQ (argbAt (image, 300, 2), lightBorder);    // top
    EXPECT_EQ (argbAt (image, 300, 779), lightBorder);  // above the title line
    EXPECT_EQ (argbAt (image, 300, 780), lightBorder);
    EXPECT_EQ (argbAt (image, 300, 781), background);

    EXPECT_EQ (argbAt (image, 300, 797), darkBorder);   // bottom
    EXPECT_EQ (argbAt (image, 1, 797), darkBorder);     // over the left strip
    EXPECT_EQ (argbAt (image, 699, 400), darkBorder);   // right
    EXPECT_EQ (argbAt (image, 699, 2), darkBorder);     // over the top strip
}

TEST_F (DemoEditorComponentTest, KeyboardShowsWhiteAndBlackKeys)
{
    const auto image = render (*editor);

    EXPECT_EQ (argbAt (image, 5 + 28, 8 + 764), 0xFFFFFFF0u);  // note 0
    EXPECT_EQ (argbAt (image, 5 + 10, 8 + 761), 0xFF000000u);  // note 1
}

TEST_F (DemoEditorComponentTest, GridShowsIdleRowsOnNotesAndThePlayingColumn)
{
    auto* grid = editor->getGrid();
    switchOnInGrid (*grid, 0, 60);
    switchOnInGrid (*grid, 1, 64);

    auto image = render (*editor);
    EXPECT_EQ (argbAt (image, editorPointOf (0, 120).x, editorPointOf (0, 120).y), 0xFFA0D2A0u);
    EXPECT_EQ (argbAt (image, editorPointOf (1, 64).x, editorPointOf (1, 64).y), 0xFF7FFFD4u);
    EXPECT_EQ (argbAt (image, editorPointOf (0, 60).x, editorPointOf (0, 60).y), 0xFF7FFFD4u);

    advanceAsTheChordPlayerDoes();
    deliverPendingMessages();
    image = render (*editor);

    EXPECT_EQ (argbAt (image, editorPointOf (0, 60).x, editorPointOf (0, 60).y), 0xFFFF0000u);
    EXPECT_EQ (argbAt (image, editorPointOf (0, 120).x, editorPointOf (0, 120).y), 0xFFB4DCB4u);
    EXPECT_EQ (argbAt (image, editorPointOf (1, 64).x, editorPointOf (1, 64).y), 0xFF7FFFD4u);
}

TEST_F (DemoEditorComponentTest, ButtonsShowTheirOnColours)
{
    const auto image = render (*editor);

    // The look-and-feel's lozenge shows its plain colour, slightly desaturated, at 0.4 of
    // the height, above the text; elsewhere it blends into highlights and shadows.
    const auto add = image.getPixelAt (680, 8 + (int) (0.4 * 718));
    const auto stop = image.getPixelAt (680, 729 + (int) (0.4 * 45));

    EXPECT_TRUE (isCloseTo (add, juce::Colour (0xFF11FF33), 30)) << add.toDisplayString (true);
    EXPECT_FALSE (isCloseTo (add, juce::Colour (0xFF97EEFB), 30));
    EXPECT_TRUE (isCloseTo (stop, juce::Colour (0xFFFF1133), 30)) << stop.toDisplayString (true);
    EXPECT_FALSE (isCloseTo (stop, juce::Colour (0xFFEE97FB), 30));
}

namespace
{
    // Where a button's text is drawn: the pixels that change when its text is taken away, as
    // rows of ink separated by blank rows (one run per line of text) and the width they span.
    struct Ink
    {
        int lineCount = 0;
        int width = 0;
    };

    Ink inkOf (juce::TextButton& button, juce::LookAndFeel& look)
    {
        const auto text = button.getButtonText();
        button.setLookAndFeel (&look);
        const auto withText = button.createComponentSnapshot (button.getLocalBounds());
        button.setButtonText ({});
        const auto withoutText = button.createComponentSnapshot (button.getLocalBounds());
        button.setButtonText (text);
        button.setLookAndFeel (nullptr);

        Ink ink;
        int left = withText.getWidth(), right = -1;
        bool previousRowInked = false;

        for (int y = 0; y < withText.getHeight(); ++y)
        {
            bool rowInked = false;

            for (int x = 0; x < withText.getWidth(); ++x)
            {
                const auto a = withText.getPixelAt (x, y), b = withoutText.getPixelAt (x, y);

                if (std::abs (a.getPerceivedBrightness() - b.getPerceivedBrightness()) > 0.1f)
                {
                    rowInked = true;
                    left = std::min (left, x);
                    right = std::max (right, x);
                }
            }

            if (rowInked && ! previousRowInked)
                ++ink.lineCount;

            previousRowInked = rowInked;
        }

        ink.width = right - left + 1;
        return ink;
    }
}

TEST_F (DemoEditorComponentTest, ButtonsShowTheirWordsWhole)
{
    EditorLookAndFeel editorLook;
    juce::LookAndFeel_V2 classicLook;

    // "Add" reads downwards in its tall bar, a letter to a line.
    auto& add = *editor->getAddButton();
    EXPECT_EQ (inkOf (add, editorLook).lineCount, 3);

    // "Stop" fits on one line: four letters are far wider than an ellipsis.
    auto& stop = *editor->getStopButton();
    const auto stopInk = inkOf (stop, editorLook);
    EXPECT_EQ (stopInk.lineCount, 1);
    EXPECT_GE (stopInk.width, 16);
    EXPECT_LE (stopInk.width, stop.getWidth() - 4);

    // The measure tells the difference: the classic look squeezes both words into ellipses.
    EXPECT_EQ (inkOf (add, classicLook).lineCount, 1);
    EXPECT_LT (inkOf (stop, classicLook).width, 12);
}

//==============================================================================
TEST_F (DemoEditorComponentTest, SavesFreshAndPlayedEditorsAsPng)
{
    const auto fresh = outputFile ("editor-fresh.png");
    ASSERT_TRUE (saveAsPng (render (*editor), fresh));

    auto* grid = editor->getGrid();
    // Added directly: a clicked button would still show its pressed look in the picture.
    grid->addColumn();
    grid->addColumn();

    for (auto [column, note] : { std::pair { 0, 60 }, { 0, 64 }, { 0, 67 }, { 1, 62 }, { 1, 65 }, { 1, 69 },
                                 { 2, 64 }, { 2, 67 }, { 2, 71 }, { 3, 60 }, { 3, 72 } })
        switchOnInGrid (*grid, column, note);

    advanceAsTheChordPlayerDoes();
    advanceAsTheChordPlayerDoes();
    deliverPendingMessages();

    const auto played = outputFile ("editor-played.png");
    ASSERT_TRUE (saveAsPng (render (*editor), played));

    const auto reloaded = juce::ImageFileFormat::loadFrom (played);
    ASSERT_TRUE (reloaded.isValid());
    EXPECT_EQ (reloaded.getWidth(), 700);
    EXPECT_EQ (reloaded.getHeight(), 800);
    const auto red = editorPointOf (1, 62);
    EXPECT_EQ (reloaded.getPixelAt (red.x, red.y).getARGB(), 0xFFFF0000u);
    EXPECT_TRUE (juce::ImageFileFormat::loadFrom (fresh).isValid());
}

// The zoom is kept for the next window and the size a host asks for, and never reaches the state
// (the format tests check what it scales, and where clicks land).
TEST_F (DemoEditorComponentTest, ZoomIsAPreferenceOutsideTheState)
{
    juce::MemoryBlock stateBefore, stateAfter;
    filter.saveState (stateBefore);
    PianoGridMenu::perform (*editor->getGrid(), PianoGridMenu::zoomItem + 150, -1);
    EXPECT_EQ (editor->getWidth(), 1050);
    filter.saveState (stateAfter);
    EXPECT_EQ (stateAfter, stateBefore);

    DemoEditorComponent next (filter);
    int width = 0, height = 0;
    EXPECT_TRUE (filter.getEditorSize (width, height));
    EXPECT_EQ (juce::Point<int> (width, height), juce::Point<int> (1050, 1200));
    EXPECT_EQ (next.getZoom(), 150);
    next.setZoom (100);
    EXPECT_EQ (next.getWidth(), 700) << "the control";
    EXPECT_EQ (EditorZoom::load(), 100);
}

//==============================================================================
namespace
{
    // The plug-in with its editor, edited the way a player edits: clicks and drags on the
    // columns, the buttons, the menu's commands and the keys.
    struct HistoryBench
    {
        Corvadel filter;
        std::unique_ptr<DemoEditorComponent> editor = std::make_unique<DemoEditorComponent> (filter);

        PianoGrid& grid() { return *editor->getGrid(); }
        EditHistory& history() { return filter.getPlayer().getHistory(); }
        PlayPosition position() { return filter.getPlayer().getPlayPosition(); }

        juce::MemoryBlock saved() { juce::MemoryBlock bytes; filter.saveState (bytes); return bytes; }

        // A grid whose column i has note 30 + i % 90 on at velocity 1 + i % 127, restored as a
        // host restores it.
        void restoreColumns (int count)
        {
            GridState state (count, notesPerChord);
            for (int i = 0; i < count; ++i)
                state.column (i)[30 + i % 90] = { 1, {}, 1 + i % 127 };
            juce::MemoryBlock bytes;
            StateChunk::write (state, filter.getPlayer().getSettings(), bytes);
            filter.restoreState (bytes.getData(), (int) bytes.getSize());
            grid().refreshFromPlayer();
        }

        void menu (int item, int column, int note = -1) { PianoGridMenu::perform (grid(), item, column, note); }

        bool key (juce::juce_wchar letter, bool shift)
        {
            const int mods = juce::ModifierKeys::commandModifier | (shift ? juce::ModifierKeys::shiftModifier : 0);
            return editor->keyPressed (juce::KeyPress ((int) letter, juce::ModifierKeys (mods), 0));
        }

        static float yOf (int note) { return (float) ((127 - note) * 6 + 3); }

        void click (int column, int note)
        {
            auto& target = *grid().getColumn (column);
            const auto down = leftClickAt (target, 20, yOf (note));
            target.mouseDown (down);
            target.mouseUp (down);
        }

        // A drag slow enough that it publishes at every move.
        void drag (int column, int note, int rise)
        {
            auto& target = *grid().getColumn (column);
            const auto down = leftClickAt (target, 20, yOf (note));
            target.mouseDown (down);
            for (int step = 1; step <= 3; ++step)
            {
                juce::Thread::sleep ((int) PianoGridColumn::dragEditIntervalMs + 5);
                target.mouseDrag (down.withNewPosition (juce::Point<float> (20, yOf (note) - (float) (rise * step / 3))));
            }
            target.mouseUp (down.withNewPosition (juce::Point<float> (20, yOf (note) - (float) rise)));
        }

        void shiftClickName (int column)
        {
            auto& target = *grid().getColumn (column);
            target.mouseDown (mouseDownAt (target, 20, 5, (juce::ModifierKeys::Flags) (juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::shiftModifier)));
        }

        // The name of column dragged sideways to the gap before column gap.
        void dragName (int column, int gap)
        {
            auto& target = *grid().getColumn (column);
            const auto down = leftClickAt (target, 20, 5);
            const juce::Point<float> there ((float) (grid().getColumnX (gap) - target.getX()), 5);
            target.mouseDown (down);
            target.mouseDrag (down.withNewPosition (there));
            EXPECT_EQ (grid().getDropGap(), gap) << "the gap is shown while dragging";
            target.mouseUp (down.withNewPosition (there));
        }
    };

    struct HistoryRow
    {
        const char* what;
        int columns;  // restored first; 0 keeps the fresh editor's two empty columns
        int presses;  // pedal presses before the edit
        std::function<void (HistoryBench&)> prepare, edit, between;
        juce::String stepName;
        bool undoable = true;
        std::function<void (HistoryBench&)> check = nullptr;
    };

    void none (HistoryBench&) {}

    juce::String copiedChart;
}

// Each row's edit is undone with Ctrl+Z and done again with Ctrl+Y (Ctrl+Shift+Z every other
// row): the undo gives back the saved state, the grid and the play position from before the edit,
// and the redo those from after it, each with the columns then selected; the editor shows what
// plays all along.
TEST (EditHistory, EveryEditIsOneStepThatUndoAndRedoTakeThroughTheEditor)
{
    PianoGridMenu::Clipboard chartText { [] (const juce::String& text) { copiedChart = text; }, [] { return juce::String ("C Am | F G"); } };
    const HistoryRow rows[] = {
        { "a note switched on by a click", 0, 0, none, [] (HistoryBench& b) { b.click (0, 60); }, none, "edit column 1" },
        { "a velocity drag", 0, 0, [] (HistoryBench& b) { b.click (1, 60); }, [] (HistoryBench& b) { b.drag (1, 60, 21); },
          none, "edit column 2" },
        { "the Add button", 0, 0, none, [] (HistoryBench& b) { b.editor->getAddButton()->triggerClick(); deliverPendingMessages(); },
          none, "add column 3" },
        { "a column inserted before the sounding one", 4, 2, none,
          [] (HistoryBench& b) { b.menu (PianoGridMenu::insertNewItem, 1); }, none, "insert column 2" },
        { "the sounding column deleted, then restored with its mark", 4, 2, none,
          [] (HistoryBench& b) { b.menu (PianoGridMenu::deleteItem, 1); }, none, "delete column 2" },
        { "a copy pasted", 3, 0, [] (HistoryBench& b) { b.menu (PianoGridMenu::copyItem, 0); },
          [] (HistoryBench& b) { b.menu (PianoGridMenu::pasteItem, 2); }, none, "paste into column 3" },
        { "a velocity from the menu", 3, 0, none,
          [] (HistoryBench& b) { b.menu (PianoGridMenu::firstVelocityItem + 40, 0, 30); }, none, "velocity in column 1" },
        { "a chart pasted before the sounding column", 3, 2, none,
          [] (HistoryBench& b) { b.menu (PianoGridMenu::pasteChartItem, 1); }, none, "paste chord chart" },
        { "a playing setting", 3, 1, none,
          [] (HistoryBench& b) { b.menu (PlayerSettingsMenu::transposeItem (5), -1); }, none, "change transpose" },
        { "undone after the window closed and opened again", 3, 1, none,
          [] (HistoryBench& b) { b.menu (PianoGridMenu::deleteItem, 2); },
          [] (HistoryBench& b) { b.editor.reset(); b.editor = std::make_unique<DemoEditorComponent> (b.filter); },
          "delete column 3" },
        { "a restore of the bytes the plug-in saves now keeps the history", 3, 1, none,
          [] (HistoryBench& b) { b.menu (PianoGridMenu::deleteItem, 0); },
          [] (HistoryBench& b) { const auto own = b.saved(); b.filter.restoreState (own.getData(), (int) own.getSize()); },
          "delete column 1" },
        { "a restore of other bytes clears it", 3, 0, none,
          [] (HistoryBench& b) { b.menu (PianoGridMenu::deleteItem, 0); },
          [] (HistoryBench& b) { b.restoreColumns (4); }, "delete column 1", false },
        { "a block of columns moved while one of them plays", 6, 3,
          [] (HistoryBench& b) { b.shiftClickName (1); b.shiftClickName (3); },
          [] (HistoryBench& b) {
              b.dragName (2, 6);
              EXPECT_EQ (b.grid().getSelection(), juce::Range<int> (3, 6)) << "the block stays selected";
          },
          none, "move columns 2 to 4", true,
          [] (HistoryBench& b) {
              EXPECT_EQ (b.position().sounding, 4) << "the sounding column moved with its block";
              EXPECT_EQ (b.position().next, 5);
              const int expectedOrder[] = { 0, 4, 5, 1, 2, 3 };
              for (int i = 0; i < 6; ++i)
                  EXPECT_EQ (b.grid().getShownSequence()->column (i)[30 + expectedOrder[i]].velocity, 1 + expectedOrder[i]) << i;
          } },
        { "a block cut: its chart goes to the clipboard", 5, 0,
          [] (HistoryBench& b) { b.shiftClickName (1); b.shiftClickName (2); },
          [] (HistoryBench& b) { b.menu (PianoGridMenu::cutItem, 2); }, none, "delete columns 2 to 3", true,
          [] (HistoryBench& b) { EXPECT_EQ (copiedChart.upToFirstOccurrenceOf ("|", false, false).trim(), "[G1] [G#1]"); } },
        { "a copied block pasted before a column, exactly", 4, 1,
          [] (HistoryBench& b) { b.shiftClickName (0); b.shiftClickName (1); b.menu (PianoGridMenu::copyItem, 0); },
          [] (HistoryBench& b) { b.menu (PianoGridMenu::pasteItem, 3); }, none, "paste 2 columns", true,
          [] (HistoryBench& b) {
              const auto& grid = *b.grid().getShownSequence();
              EXPECT_TRUE (grid.columnEquals (3, grid, 0) && grid.columnEquals (4, grid, 1)) << "cells and velocities";
              EXPECT_FALSE (grid.columnEquals (2, grid, 0)) << "the control";
          } },
        { "moves of a whole 4096-column grid stay within the bound, oldest dropped", GridState::maxColumns, 0,
          [] (HistoryBench& b) { for (int i = 0; i < 12; ++i) b.dragName (0, GridState::maxColumns); b.grid().selectColumns ({ 0, 1 }); },
          [] (HistoryBench& b) { b.dragName (0, GridState::maxColumns); }, none, "move column 1", true,
          [] (HistoryBench& b) {
              EXPECT_LE (b.history().getBytesHeld(), EditHistory::maxBytes);
              EXPECT_GT (b.history().getBytesHeld(), EditHistory::maxBytes / 2) << "it counts what it holds";
              EXPECT_LT (b.history().getNumUndoSteps(), 13);
          } },
        { "a 4096-column grid keeps a hundred steps in little memory", GridState::maxColumns, 1,
          [] (HistoryBench& b) { for (int i = 0; i < 120; ++i) b.menu (PianoGridMenu::deleteItem, 0); },
          [] (HistoryBench& b) { b.menu (PianoGridMenu::deleteItem, 0); }, none, "delete column 1", true,
          [] (HistoryBench& b) {
              EXPECT_EQ (b.history().getNumUndoSteps(), 121);
              EXPECT_LT (b.history().getBytesHeld(), 1024 * 1024) << "only the deleted columns are kept";
          } },
    };

    for (size_t r = 0; r < std::size (rows); ++r)
    {
        const auto& row = rows[r];
        SCOPED_TRACE (row.what);
        PianoGridMenu::Clipboard systemClipboard = std::exchange (PianoGridMenu::clipboard(), chartText);
        HistoryBench bench;

        if (row.columns > 0)
            bench.restoreColumns (row.columns);
        for (int i = 0; i < row.presses; ++i)
            pressPedal (bench.filter);

        row.prepare (bench);
        const auto stateBefore = bench.saved();
        const auto positionBefore = bench.position();
        const auto selectedBefore = bench.grid().getSelection();
        row.edit (bench);
        const auto stateAfter = bench.saved();
        const auto positionAfter = bench.position();
        const auto selectedAfter = bench.grid().getSelection();
        EXPECT_NE (stateAfter, stateBefore) << "the edit changed the state";
        row.between (bench);
        const auto stateBetween = bench.saved();

        juce::String undoText;  // as the menu offers it
        auto menu = PianoGridMenu::create (bench.grid(), 0, -1);
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            if (it.getItem().itemID == PianoGridMenu::undoItem)
                undoText = it.getItem().text;
        EXPECT_TRUE (bench.key ('z', false));
        bench.grid().refreshFromPlayer();

        if (! row.undoable)
        {
            EXPECT_EQ (bench.saved(), stateBetween) << "nothing left to undo";
            EXPECT_EQ (undoText, "Undo");
            PianoGridMenu::clipboard() = systemClipboard;
            continue;
        }

        EXPECT_EQ (undoText, "Undo " + row.stepName);
        EXPECT_EQ (bench.saved(), stateBefore) << "undone";
        EXPECT_EQ (bench.grid().getShownSequence(), bench.filter.getPlayer().getSequence()) << "shown as it plays";
        EXPECT_EQ (bench.position(), positionBefore) << "sounding " << bench.position().sounding << ", next " << bench.position().next;
        EXPECT_EQ (bench.grid().getSelection(), selectedBefore) << "the columns selected before the edit";

        EXPECT_TRUE (r % 2 == 0 ? bench.key ('y', false) : bench.key ('z', true));
        bench.grid().refreshFromPlayer();
        EXPECT_EQ (bench.saved(), stateAfter) << "redone";
        EXPECT_EQ (bench.grid().getShownSequence(), bench.filter.getPlayer().getSequence());
        EXPECT_EQ (bench.position(), positionAfter) << "sounding " << bench.position().sounding << ", next " << bench.position().next;
        EXPECT_EQ (bench.grid().getSelection(), selectedAfter) << "the columns selected after it";

        if (row.check)
            row.check (bench);

        PianoGridMenu::clipboard() = systemClipboard;
    }
}

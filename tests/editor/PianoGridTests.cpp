#include "editor/PianoGrid.h"
#include "editor/PianoGridMenu.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <utility>
#include <vector>

using namespace editortest;

namespace
{
    constexpr int gridHeight = 768;

    std::vector<int> playingColumns (const PianoGrid& grid)
    {
        std::vector<int> playing;
        for (int i = 0; i < grid.getNumColumns(); ++i)
            if (grid.getColumn (i)->isPlaying)
                playing.push_back (i);
        return playing;
    }

    std::vector<NoteCell> cellsOf (const PianoGrid& grid, int index)
    {
        std::vector<NoteCell> cells ((size_t) grid.getNumRows());
        grid.getColumnCells (cells.data(), index);
        return cells;
    }

    std::vector<NoteCell> sentinelCells()
    {
        NoteCell sentinel;
        sentinel.isOn = 9;
        sentinel.velocity = -7;
        return std::vector<NoteCell> (notesPerChord, sentinel);
    }

    std::vector<NoteCell> patternedCells()
    {
        std::vector<NoteCell> cells (notesPerChord);
        for (int i = 0; i < notesPerChord; ++i)
        {
            cells[(size_t) i].isOn = (uint8_t) (i % 3 == 0 ? 1 : 0);
            cells[(size_t) i].velocity = 1 + i;
        }
        return cells;
    }

    void expectSameCells (const std::vector<NoteCell>& actual, const std::vector<NoteCell>& expected)
    {
        ASSERT_EQ (actual.size(), expected.size());
        for (size_t i = 0; i < actual.size(); ++i)
        {
            EXPECT_EQ (actual[i].isOn, expected[i].isOn) << "cell " << i;
            EXPECT_EQ (actual[i].velocity, expected[i].velocity) << "cell " << i;
        }
    }

    void expectDefaultCells (const std::vector<NoteCell>& cells)
    {
        ASSERT_EQ (cells.size(), (size_t) notesPerChord);
        for (size_t i = 0; i < cells.size(); ++i)
        {
            EXPECT_EQ (cells[i].isOn, 0) << "cell " << i;
            EXPECT_EQ (cells[i].velocity, 100) << "cell " << i;
        }
    }

    std::vector<NoteCell> currentCells (const PianoGrid& grid)
    {
        auto cells = sentinelCells();
        grid.getCurrentColumnCells (cells.data());
        return cells;
    }

    void advanceTimes (PianoGrid& grid, int times)
    {
        for (int i = 0; i < times; ++i)
            grid.advancePlayPosition();
    }

    // A grid whose menu never opens: it answers with a preset choice and remembers the menu.
    class GridWithScriptedMenu : public PianoGrid
    {
    public:
        using PianoGrid::PianoGrid;

        int choice = 0;
        int menusShown = 0;
        std::vector<std::pair<int, juce::String>> shownItems;
        std::function<void()> whileMenuIsOpen;

    protected:
        int chooseFromMenu (juce::PopupMenu& menu) override
        {
            ++menusShown;
            shownItems.clear();

            for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
                shownItems.emplace_back (it.getItem().isSeparator ? -1 : it.getItem().itemID, it.getItem().text);

            // The action may delete this grid: nothing of it is touched afterwards.
            const int chosen = choice;

            if (auto action = std::exchange (whileMenuIsOpen, nullptr))
                action();

            return chosen;
        }
    };

    class PianoGridTest : public testing::Test
    {
    protected:
        static std::unique_ptr<PianoGrid> makeGrid (int columns)
        {
            auto grid = std::make_unique<PianoGrid> (columns);
            grid->setSize (grid->getWidth(), gridHeight);
            grid->setVisible (true);
            return grid;
        }

        std::unique_ptr<PianoGrid> grid = makeGrid (2);
    };
}

//==============================================================================
TEST_F (PianoGridTest, FreshGridHasNoPlayPosition)
{
    EXPECT_EQ (grid->getNumColumns(), 2);
    EXPECT_EQ (grid->getNumRows(), 128);
    EXPECT_EQ (grid->getPlayPosition(), -1);
    EXPECT_TRUE (playingColumns (*grid).empty());
    expectDefaultCells (currentCells (*grid));
}

TEST_F (PianoGridTest, AdvanceAlternatesOverTwoColumns)
{
    for (int expected : { 0, 1, 0, 1, 0 })
    {
        grid->advancePlayPosition();
        EXPECT_EQ (grid->getPlayPosition(), expected);
        EXPECT_EQ (playingColumns (*grid), std::vector<int> { expected });
    }
}

TEST_F (PianoGridTest, AdvanceWrapsFromLastColumn)
{
    grid = makeGrid (3);

    advanceTimes (*grid, 3);
    EXPECT_EQ (grid->getPlayPosition(), 2);

    grid->advancePlayPosition();
    EXPECT_EQ (grid->getPlayPosition(), 0);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 0 });
}

TEST_F (PianoGridTest, CurrentColumnCellsAreThoseOfThePlayedColumn)
{
    const auto pattern = patternedCells();
    grid->setColumnCells (pattern.data(), 1);

    grid->advancePlayPosition();
    expectDefaultCells (currentCells (*grid));

    grid->advancePlayPosition();
    expectSameCells (currentCells (*grid), pattern);
}

TEST_F (PianoGridTest, ClearThenReaddStartsAgainAtColumnZero)
{
    advanceTimes (*grid, 2);

    grid->clearColumns();
    EXPECT_EQ (grid->getNumColumns(), 0);
    EXPECT_EQ (grid->getPlayPosition(), -1);

    for (int i = 0; i < 3; ++i)
        grid->addColumn();

    EXPECT_TRUE (playingColumns (*grid).empty());

    for (int expected : { 0, 1, 2, 0 })
    {
        grid->advancePlayPosition();
        EXPECT_EQ (grid->getPlayPosition(), expected);
        EXPECT_EQ (playingColumns (*grid), std::vector<int> { expected });
    }
}

TEST_F (PianoGridTest, EmptyGridNeverFails)
{
    grid->clearColumns();

    grid->advancePlayPosition();
    EXPECT_EQ (grid->getPlayPosition(), -1);
    expectDefaultCells (currentCells (*grid));

    grid->deleteColumn (0);
    grid->insertColumnBefore (grid.get());
    EXPECT_EQ (grid->getNumColumns(), 0);
}

TEST_F (PianoGridTest, AddColumnLeavesPlayPositionAlone)
{
    grid->advancePlayPosition();
    grid->addColumn();

    EXPECT_EQ (grid->getPlayPosition(), 0);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 0 });
}

//==============================================================================
TEST_F (PianoGridTest, InsertBeforePlayPositionKeepsTheSameColumnCurrent)
{
    grid = makeGrid (3);
    advanceTimes (*grid, 2);
    auto* current = grid->getColumn (1);

    grid->insertColumn (0);

    EXPECT_EQ (grid->getPlayPosition(), 2);
    EXPECT_EQ (grid->getColumn (2), current);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 2 });
}

TEST_F (PianoGridTest, InsertAtPlayPositionPutsNewColumnInItsPlace)
{
    grid = makeGrid (3);
    advanceTimes (*grid, 2);
    auto* current = grid->getColumn (1);

    grid->insertColumn (1);

    EXPECT_EQ (grid->getNumColumns(), 4);
    EXPECT_NE (grid->getColumn (1), current);
    EXPECT_EQ (grid->getColumn (2), current);
    EXPECT_EQ (grid->getPlayPosition(), 2);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 2 });

    grid->advancePlayPosition();
    EXPECT_EQ (grid->getPlayPosition(), 3);
}

TEST_F (PianoGridTest, InsertAfterPlayPositionLeavesIt)
{
    grid = makeGrid (3);
    advanceTimes (*grid, 2);

    grid->insertColumn (2);

    EXPECT_EQ (grid->getPlayPosition(), 1);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 1 });
}

TEST_F (PianoGridTest, InsertWithoutPlayPositionLeavesNone)
{
    grid->insertColumn (0);

    EXPECT_EQ (grid->getPlayPosition(), -1);
    EXPECT_TRUE (playingColumns (*grid).empty());
}

TEST_F (PianoGridTest, InsertOutsideTheListAppends)
{
    auto* first = grid->getColumn (0);
    auto* second = grid->getColumn (1);

    grid->insertColumn (-1);
    grid->insertColumn (99);

    ASSERT_EQ (grid->getNumColumns(), 4);
    EXPECT_EQ (grid->getColumn (0), first);
    EXPECT_EQ (grid->getColumn (1), second);
}

TEST_F (PianoGridTest, InsertedColumnIsEmpty)
{
    const auto pattern = patternedCells();
    grid->setColumnCells (pattern.data(), 0);

    grid->insertColumn (0);

    expectDefaultCells (cellsOf (*grid, 0));
    expectSameCells (cellsOf (*grid, 1), pattern);
}

//==============================================================================
TEST_F (PianoGridTest, DeleteBeforePlayPositionKeepsTheSameColumnCurrent)
{
    grid = makeGrid (4);
    advanceTimes (*grid, 3);
    auto* current = grid->getColumn (2);

    grid->deleteColumn (0);

    EXPECT_EQ (grid->getPlayPosition(), 1);
    EXPECT_EQ (grid->getColumn (1), current);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 1 });
}

TEST_F (PianoGridTest, DeleteAfterPlayPositionLeavesIt)
{
    grid = makeGrid (4);
    advanceTimes (*grid, 2);

    grid->deleteColumn (3);

    EXPECT_EQ (grid->getPlayPosition(), 1);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 1 });
}

TEST_F (PianoGridTest, DeleteCurrentMarksTheColumnThatFollowed)
{
    grid = makeGrid (3);
    advanceTimes (*grid, 2);
    auto* follower = grid->getColumn (2);

    grid->deleteColumn (1);

    EXPECT_EQ (grid->getPlayPosition(), 1);
    EXPECT_EQ (grid->getColumn (1), follower);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 1 });
}

TEST_F (PianoGridTest, DeleteCurrentLastColumnWrapsToFirst)
{
    grid = makeGrid (3);
    advanceTimes (*grid, 3);

    grid->deleteColumn (2);

    EXPECT_EQ (grid->getPlayPosition(), 0);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 0 });
}

TEST_F (PianoGridTest, DeleteLastRemainingColumnLeavesNoPlayPosition)
{
    grid = makeGrid (1);
    grid->advancePlayPosition();

    grid->deleteColumn (0);

    EXPECT_EQ (grid->getNumColumns(), 0);
    EXPECT_EQ (grid->getPlayPosition(), -1);
    EXPECT_EQ (grid->getWidth(), 0);

    grid->advancePlayPosition();
    EXPECT_EQ (grid->getPlayPosition(), -1);
    expectDefaultCells (currentCells (*grid));
}

TEST_F (PianoGridTest, DeleteOfABadIndexChangesNothing)
{
    for (int index : { -1, 2, 50 })
    {
        grid->deleteColumn (index);

        EXPECT_EQ (grid->getNumColumns(), 2);
        EXPECT_EQ (grid->getPlayPosition(), -1);
        EXPECT_TRUE (playingColumns (*grid).empty());
    }
}

TEST_F (PianoGridTest, ComponentsThatAreNoColumnsAreIgnored)
{
    juce::Component stranger;
    PianoGridColumn foreignColumn (128);

    const std::vector<juce::Component*> notColumnsOfTheGrid { &stranger, &foreignColumn, grid.get(), nullptr };

    for (auto* c : notColumnsOfTheGrid)
    {
        grid->insertColumnBefore (c);
        grid->deleteColumnComponent (c);
    }

    EXPECT_EQ (grid->getNumColumns(), 2);
}

TEST_F (PianoGridTest, ColumnComponentsAreFoundByIdentity)
{
    grid = makeGrid (3);
    auto* middle = grid->getColumn (1);
    auto* last = grid->getColumn (2);

    grid->deleteColumnComponent (middle);

    ASSERT_EQ (grid->getNumColumns(), 2);
    EXPECT_EQ (grid->getColumn (1), last);

    grid->insertColumnBefore (last);
    EXPECT_EQ (grid->getColumn (2), last);
}

//==============================================================================
TEST_F (PianoGridTest, GetColumnCellsLeavesOutputUntouchedForBadIndexes)
{
    for (int index : { -1, grid->getNumColumns() })
    {
        auto out = sentinelCells();
        grid->getColumnCells (out.data(), index);
        expectSameCells (out, sentinelCells());
    }

    EXPECT_EQ (grid->getColumn (-1), nullptr);
    EXPECT_EQ (grid->getColumn (2), nullptr);
}

TEST_F (PianoGridTest, SetColumnCellsStoresBytesAndVelocitiesUnchanged)
{
    std::vector<NoteCell> in (notesPerChord);
    in[10].isOn = 5;
    in[10].velocity = 300;
    in[11].velocity = -4;

    grid->setColumnCells (in.data(), 1);

    const auto out = cellsOf (*grid, 1);
    EXPECT_EQ (out[10].isOn, 5);
    EXPECT_EQ (out[10].velocity, 300);
    EXPECT_EQ (out[11].velocity, -4);
    expectDefaultCells (cellsOf (*grid, 0));
}

TEST_F (PianoGridTest, SetColumnCellsIgnoresBadIndexes)
{
    const auto pattern = patternedCells();

    grid->setColumnCells (pattern.data(), -1);
    grid->setColumnCells (pattern.data(), 2);

    expectDefaultCells (cellsOf (*grid, 0));
    expectDefaultCells (cellsOf (*grid, 1));
}

//==============================================================================
TEST_F (PianoGridTest, CopyThenPasteCarriesAll128Cells)
{
    grid = makeGrid (3);
    const auto pattern = patternedCells();
    grid->setColumnCells (pattern.data(), 0);

    PianoGridMenu::perform (*grid, PianoGridMenu::copyItem, grid->getColumn (0));
    PianoGridMenu::perform (*grid, PianoGridMenu::pasteItem, grid->getColumn (2));

    expectSameCells (cellsOf (*grid, 2), pattern);
    expectDefaultCells (cellsOf (*grid, 1));
}

TEST_F (PianoGridTest, PasteKeepsVelocity64)
{
    std::vector<NoteCell> in (notesPerChord);
    in[60].isOn = 1;
    in[60].velocity = 64;
    grid->setColumnCells (in.data(), 0);

    PianoGridMenu::perform (*grid, PianoGridMenu::copyItem, grid->getColumn (0));
    PianoGridMenu::perform (*grid, PianoGridMenu::pasteItem, grid->getColumn (1));

    const auto out = cellsOf (*grid, 1);
    EXPECT_EQ (out[60].isOn, 1);
    EXPECT_EQ (out[60].velocity, 64);
}

TEST_F (PianoGridTest, PasteOverwritesNotesThatWereOn)
{
    const auto pattern = patternedCells();
    grid->setColumnCells (pattern.data(), 1);

    PianoGridMenu::perform (*grid, PianoGridMenu::copyItem, grid->getColumn (0));
    PianoGridMenu::perform (*grid, PianoGridMenu::pasteItem, grid->getColumn (1));

    expectDefaultCells (cellsOf (*grid, 1));
}

TEST_F (PianoGridTest, PastedCellsAreThoseAtTheTimeOfTheCopy)
{
    std::vector<NoteCell> in (notesPerChord);
    in[40].isOn = 1;
    grid->setColumnCells (in.data(), 0);
    PianoGridMenu::perform (*grid, PianoGridMenu::copyItem, grid->getColumn (0));

    in[40].isOn = 0;
    in[41].isOn = 1;
    grid->setColumnCells (in.data(), 0);
    PianoGridMenu::perform (*grid, PianoGridMenu::pasteItem, grid->getColumn (1));

    const auto out = cellsOf (*grid, 1);
    EXPECT_EQ (out[40].isOn, 1);
    EXPECT_EQ (out[41].isOn, 0);
}

TEST_F (PianoGridTest, PasteBeforeAnyCopyDoesNothing)
{
    const auto pattern = patternedCells();
    grid->setColumnCells (pattern.data(), 1);

    PianoGridMenu::perform (*grid, PianoGridMenu::pasteItem, grid->getColumn (1));

    EXPECT_EQ (grid->getCopyBuffer(), nullptr);
    expectSameCells (cellsOf (*grid, 1), pattern);
}

//==============================================================================
TEST_F (PianoGridTest, MenuDeleteRemovesTheColumnUnderTheClick)
{
    grid = makeGrid (3);
    auto* last = grid->getColumn (2);

    PianoGridMenu::perform (*grid, PianoGridMenu::deleteItem, grid->getColumn (1));

    ASSERT_EQ (grid->getNumColumns(), 2);
    EXPECT_EQ (grid->getColumn (1), last);
}

TEST_F (PianoGridTest, MenuInsertPutsAnEmptyColumnBeforeTheClickedOne)
{
    auto* clicked = grid->getColumn (1);

    PianoGridMenu::perform (*grid, PianoGridMenu::insertNewItem, clicked);

    ASSERT_EQ (grid->getNumColumns(), 3);
    EXPECT_EQ (grid->getColumn (2), clicked);
}

TEST_F (PianoGridTest, SetPlayPositionThenAdvancePlaysTheNextColumn)
{
    grid = makeGrid (4);

    PianoGridMenu::perform (*grid, PianoGridMenu::setPlayPositionItem, grid->getColumn (2));
    EXPECT_EQ (grid->getPlayPosition(), 2);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 2 });

    grid->advancePlayPosition();
    EXPECT_EQ (grid->getPlayPosition(), 3);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 3 });
}

TEST_F (PianoGridTest, SetPlayPositionMovesTheMark)
{
    grid = makeGrid (4);
    advanceTimes (*grid, 2);

    PianoGridMenu::perform (*grid, PianoGridMenu::setPlayPositionItem, grid->getColumn (3));

    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 3 });
}

TEST_F (PianoGridTest, MenuActionsOnNoColumnDoNothing)
{
    PianoGridMenu::perform (*grid, PianoGridMenu::copyItem, grid->getColumn (0));
    juce::Component stranger;
    const std::vector<juce::Component*> notColumns { grid.get(), &stranger, nullptr };

    for (auto* target : notColumns)
        for (int id = 1; id <= 5; ++id)
            PianoGridMenu::perform (*grid, id, target);

    EXPECT_EQ (grid->getNumColumns(), 2);
    EXPECT_EQ (grid->getPlayPosition(), -1);
}

TEST_F (PianoGridTest, UnknownMenuChoicesDoNothing)
{
    for (int id : { 0, 6, -1 })
        PianoGridMenu::perform (*grid, id, grid->getColumn (0));

    EXPECT_EQ (grid->getNumColumns(), 2);
    EXPECT_EQ (grid->getPlayPosition(), -1);
    EXPECT_EQ (grid->getCopyBuffer(), nullptr);
}

//==============================================================================
TEST (PianoGridMenu, OffersTheFiveEditsWithASeparatorBeforeSetPlayPosition)
{
    GridWithScriptedMenu grid (2);
    grid.setSize (grid.getWidth(), gridHeight);
    grid.setVisible (true);

    grid.mouseDown (rightClickAt (grid, 10, 10));

    const std::vector<std::pair<int, juce::String>> expected {
        { 1, "Delete" }, { 2, "Insert new" }, { 3, "Copy" }, { 4, "Paste" }, { -1, "" }, { 5, "Set play position" }
    };
    EXPECT_EQ (grid.shownItems, expected);
}

TEST (PianoGridMenu, RightClickOnAColumnActsOnThatColumn)
{
    GridWithScriptedMenu grid (3);
    grid.setSize (grid.getWidth(), gridHeight);
    grid.setVisible (true);
    grid.choice = PianoGridMenu::setPlayPositionItem;

    auto* column = grid.getColumn (2);
    column->mouseDown (rightClickAt (*column, 20, 100));

    EXPECT_EQ (grid.menusShown, 1);
    EXPECT_EQ (grid.getPlayPosition(), 2);
}

TEST (PianoGridMenu, LeftClickOpensNoMenu)
{
    GridWithScriptedMenu grid (2);
    grid.setSize (grid.getWidth(), gridHeight);
    grid.setVisible (true);
    grid.choice = PianoGridMenu::deleteItem;

    grid.getColumn (0)->mouseDown (leftClickAt (*grid.getColumn (0), 20, 100));
    grid.mouseDown (leftClickAt (grid, 20, 100));

    EXPECT_EQ (grid.menusShown, 0);
    EXPECT_EQ (grid.getNumColumns(), 2);
}

TEST (PianoGridMenu, RightClickOnTheGapShowsTheMenuButChangesNothing)
{
    GridWithScriptedMenu grid (2);
    grid.setSize (grid.getWidth(), gridHeight);
    grid.setVisible (true);
    grid.choice = PianoGridMenu::deleteItem;

    grid.mouseDown (rightClickAt (grid, 64, 100));  // the gap after column 0

    EXPECT_EQ (grid.menusShown, 1);
    EXPECT_EQ (grid.getNumColumns(), 2);
}

TEST (PianoGridMenu, GridDeletedWhileTheMenuIsOpenIsLeftAlone)
{
    auto* grid = new GridWithScriptedMenu (2);
    grid->setSize (grid->getWidth(), gridHeight);
    grid->setVisible (true);
    grid->choice = PianoGridMenu::deleteItem;
    juce::Component::SafePointer<PianoGrid> watcher (grid);
    grid->whileMenuIsOpen = [grid] { delete grid; };

    grid->mouseDown (rightClickAt (*grid, 10, 10));

    // Nothing may touch the grid once it is gone: a faulty grid crashes here, or trips a
    // sanitizer's use-after-free check.
    EXPECT_EQ (watcher.getComponent(), nullptr);
}

//==============================================================================
TEST_F (PianoGridTest, ColumnsLieSideBySideWithOnePixelGaps)
{
    grid = makeGrid (3);
    EXPECT_EQ (grid->getWidth(), 195);
    EXPECT_EQ (grid->getHeight(), gridHeight);

    grid->addColumn();
    EXPECT_EQ (grid->getWidth(), 260);

    for (int i = 0; i < 4; ++i)
        EXPECT_EQ (grid->getColumn (i)->getBounds(), juce::Rectangle<int> (i * 65, 0, 64, gridHeight)) << i;
}

TEST_F (PianoGridTest, InsertAndDeleteLayTheColumnsOutAgain)
{
    grid = makeGrid (3);
    auto* last = grid->getColumn (2);

    grid->insertColumn (0);
    EXPECT_EQ (grid->getWidth(), 260);
    EXPECT_EQ (last->getX(), 195);

    grid->deleteColumn (0);
    grid->deleteColumn (0);
    EXPECT_EQ (grid->getWidth(), 130);
    EXPECT_EQ (last->getX(), 65);
    EXPECT_EQ (grid->getHeight(), gridHeight);
}

TEST_F (PianoGridTest, NewHeightReachesTheColumns)
{
    grid->setSize (grid->getWidth(), 384);

    EXPECT_EQ (grid->getColumn (1)->getBounds(), juce::Rectangle<int> (65, 0, 64, 384));
    EXPECT_FLOAT_EQ (grid->getColumn (1)->getRowHeight(), 3.0f);
}

TEST_F (PianoGridTest, GapsShowWhatLiesBehindTheGrid)
{
    juce::Component backdrop;
    backdrop.setOpaque (false);
    backdrop.setSize (200, gridHeight);
    backdrop.addAndMakeVisible (grid.get());

    juce::Image image (juce::Image::ARGB, 200, gridHeight, false);
    image.clear (image.getBounds(), juce::Colour (0xFF123456));
    {
        juce::Graphics g (image);
        backdrop.paintEntireComponent (g, false);
    }

    EXPECT_EQ (argbAt (image, 64, 300), 0xFF123456u);
    EXPECT_EQ (argbAt (image, 129, 300), 0xFF123456u);
    EXPECT_NE (argbAt (image, 63, 300), 0xFF123456u);
    EXPECT_NE (argbAt (image, 65, 300), 0xFF123456u);
}

//==============================================================================
TEST (PianoGridRepaint, AdvanceRepaintsOnlyTheTwoColumnsItMarks)
{
    juce::CriticalSection filterLock;
    auto grid = std::make_unique<PianoGrid> (3, &filterLock);
    grid->setSize (grid->getWidth(), gridHeight);
    juce::Component window;
    window.setSize (grid->getWidth(), gridHeight);
    window.addAndMakeVisible (grid.get());
    grid->advancePlayPosition();
    deliverPendingMessages();
    render (window);  // every column now draws from its cached image

    // Cells changed without a repaint show only when their column is redrawn.
    std::vector<NoteCell> in (notesPerChord);
    in[127].isOn = 1;
    for (int i = 0; i < 3; ++i)
        grid->setColumnCells (in.data(), i);

    std::thread audioThread ([&] {
        const juce::ScopedLock sl (filterLock);
        grid->advancePlayPosition();
    });
    audioThread.join();

    deliverPendingMessages();
    auto image = render (window);

    EXPECT_EQ (argbAt (image, 10, 2), 0xFF7FFFD4u);          // column 0, no longer playing
    EXPECT_EQ (argbAt (image, 65 + 10, 2), 0xFFFF0000u);     // column 1, now playing
    EXPECT_EQ (argbAt (image, 130 + 10, 2), 0xFF96C896u);    // column 2, untouched
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE (grid->getColumn (i)->repaintPending) << i;
}

TEST_F (PianoGridTest, DeletingTheCurrentColumnRepaintsTheNewlyMarkedOne)
{
    grid = makeGrid (3);
    juce::Component window;
    window.setSize (grid->getWidth(), gridHeight);
    window.addAndMakeVisible (grid.get());
    advanceTimes (*grid, 3);
    deliverPendingMessages();
    render (window);

    // The mark wraps to column 0, which stays where it is: only a repaint can show the change.
    grid->deleteColumn (2);
    deliverPendingMessages();
    auto image = render (window);

    EXPECT_EQ (argbAt (image, 10, 2), 0xFFAAD2AAu);
    EXPECT_EQ (argbAt (image, 65 + 10, 2), 0xFF96C896u);
}

//==============================================================================
TEST (PianoGridLocking, EveryEditTakesTheEditLock)
{
    juce::CriticalSection filterLock;
    PianoGrid grid (3, &filterLock);
    grid.setSize (grid.getWidth(), gridHeight);
    grid.setVisible (true);
    const std::vector<NoteCell> cells (notesPerChord);
    grid.copyColumnToBuffer (grid.getColumn (0)->cells);

    const std::vector<std::pair<const char*, std::function<void()>>> edits {
        { "add", [&] { grid.addColumn(); } },
        { "insert", [&] { grid.insertColumn (1); } },
        { "delete", [&] { grid.deleteColumn (0); } },
        { "set cells", [&] { grid.setColumnCells (cells.data(), 0); } },
        { "paste", [&] { PianoGridMenu::perform (grid, PianoGridMenu::pasteItem, grid.getColumn (0)); } },
        { "set play position", [&] { PianoGridMenu::perform (grid, PianoGridMenu::setPlayPositionItem, grid.getColumn (1)); } },
        { "column click", [&] { grid.getColumn (0)->mouseDown (leftClickAt (*grid.getColumn (0), 5, 5)); } },
        { "clear", [&] { grid.clearColumns(); } },
    };

    for (const auto& [name, edit] : edits)
        EXPECT_TRUE (actionWaitsForLock (filterLock, edit)) << name;
}

#include "editor/PianoGrid.h"
#include "editor/PianoGridMenu.h"
#include "engine/SequencePlayer.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
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
            if (auto* column = grid.getColumn (i); column != nullptr && column->isPlaying)
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

    // A grid whose menu never opens: it answers with a preset choice and remembers the menu.
    class GridWithScriptedMenu : public PianoGrid
    {
    public:
        using PianoGrid::PianoGrid;

        int choice = 0;
        int menusShown = 0;
        std::vector<std::pair<int, juce::String>> shownItems;
        std::vector<std::pair<int, juce::String>> shownSubmenuItems;
        std::function<void()> whileMenuIsOpen;

    protected:
        int chooseFromMenu (juce::PopupMenu& menu) override
        {
            ++menusShown;
            shownItems.clear();
            shownSubmenuItems.clear();

            for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            {
                const auto& item = it.getItem();
                shownItems.emplace_back (item.isSeparator ? -1 : item.itemID, item.text);

                if (item.subMenu != nullptr)
                    for (juce::PopupMenu::MenuItemIterator sub (*item.subMenu); sub.next();)
                        shownSubmenuItems.emplace_back (sub.getItem().itemID, sub.getItem().text + (sub.getItem().isTicked ? "*" : ""));
            }

            // The action may delete this grid: nothing of it is touched afterwards.
            const int chosen = choice;

            if (auto action = std::exchange (whileMenuIsOpen, nullptr))
                action();

            return chosen;
        }
    };

    // The grid with the player it shows, as the editor has them: the pedal presses go through
    // the player as the audio thread plays them, and the grid takes them up at its refresh.
    class PianoGridTest : public testing::Test
    {
    protected:
        template <typename Grid = PianoGrid>
        std::unique_ptr<Grid> makeGrid (int columns)
        {
            player.publish (std::make_shared<GridState> (columns, notesPerChord), PlayPositionChange::restart());
            auto made = std::make_unique<Grid> (player);
            made->setSize (made->getWidth(), gridHeight);
            made->setVisible (true);
            return made;
        }

        // One pedal press and release in one block; the notes it started.
        std::vector<int> pressPedal()
        {
            juce::MidiBuffer midi;
            midi.addEvent (juce::MidiMessage::controllerEvent (1, 64, 127), 0);
            midi.addEvent (juce::MidiMessage::controllerEvent (1, 64, 0), 1);

            {
                const juce::ScopedLock sl (filterLock);
                player.handlePedalMidi (midi);
            }

            grid->refreshFromPlayer();
            std::vector<int> started;

            for (const auto event : midi)
                if (event.getMessage().isNoteOn())
                    started.push_back (event.getMessage().getNoteNumber());

            return started;
        }

        void advanceTimes (int times)
        {
            for (int i = 0; i < times; ++i)
                pressPedal();
        }

        // The cells of the column that sounds (all default before the first press).
        std::vector<NoteCell> currentCells()
        {
            std::vector<NoteCell> cells (notesPerChord);
            grid->getColumnCells (cells.data(), player.getPlayPosition().sounding);
            return cells;
        }

        // Column i holds note i alone, so a column is known by its notes wherever it moves.
        void tagColumns()
        {
            for (int i = 0; i < grid->getNumColumns(); ++i)
            {
                std::vector<NoteCell> cells (notesPerChord);
                cells[(size_t) i].isOn = 1;
                grid->setColumnCells (cells.data(), i);
            }
        }

        int tagOf (int index)
        {
            const auto cells = cellsOf (*grid, index);
            for (int i = 0; i < notesPerChord; ++i)
                if (cells[(size_t) i].isOn != 0)
                    return i;
            return -1;
        }

        juce::CriticalSection filterLock;
        SequencePlayer player { filterLock };
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
    expectDefaultCells (currentCells());
}

TEST_F (PianoGridTest, AdvanceAlternatesOverTwoColumns)
{
    for (int expected : { 0, 1, 0, 1, 0 })
    {
        pressPedal();
        EXPECT_EQ (grid->getPlayPosition(), expected);
        EXPECT_EQ (playingColumns (*grid), std::vector<int> { expected });
    }
}

TEST_F (PianoGridTest, AdvanceWrapsFromLastColumn)
{
    grid = makeGrid (3);

    advanceTimes (3);
    EXPECT_EQ (grid->getPlayPosition(), 2);

    pressPedal();
    EXPECT_EQ (grid->getPlayPosition(), 0);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 0 });
}

TEST_F (PianoGridTest, CurrentColumnCellsAreThoseOfThePlayedColumn)
{
    const auto pattern = patternedCells();
    grid->setColumnCells (pattern.data(), 1);

    pressPedal();
    expectDefaultCells (currentCells());

    pressPedal();
    expectSameCells (currentCells(), pattern);
}

TEST_F (PianoGridTest, AnEmptyGridPublishedElsewhereThenAddedToStartsAgainAtColumnZero)
{
    advanceTimes (2);

    // As a restored state arrives: the grid shows it at its next refresh.
    player.publish (std::make_shared<GridState> (0, notesPerChord), PlayPositionChange::restart());
    EXPECT_EQ (grid->getNumColumns(), 2);
    grid->refreshFromPlayer();
    EXPECT_EQ (grid->getNumColumns(), 0);
    EXPECT_EQ (grid->getPlayPosition(), -1);

    for (int i = 0; i < 3; ++i)
        grid->addColumn();

    EXPECT_TRUE (playingColumns (*grid).empty());

    for (int expected : { 0, 1, 2, 0 })
    {
        pressPedal();
        EXPECT_EQ (grid->getPlayPosition(), expected);
        EXPECT_EQ (playingColumns (*grid), std::vector<int> { expected });
    }
}

TEST_F (PianoGridTest, EmptyGridNeverFails)
{
    grid->deleteColumn (1);
    grid->deleteColumn (0);

    pressPedal();
    EXPECT_EQ (grid->getPlayPosition(), -1);
    expectDefaultCells (currentCells());

    grid->deleteColumn (0);
    grid->insertColumnBefore (grid.get());
    EXPECT_EQ (grid->getNumColumns(), 0);
}

TEST_F (PianoGridTest, AddColumnLeavesPlayPositionAlone)
{
    pressPedal();
    grid->addColumn();

    EXPECT_EQ (grid->getPlayPosition(), 0);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 0 });
}

//==============================================================================
TEST_F (PianoGridTest, InsertBeforePlayPositionKeepsTheSameColumnCurrent)
{
    grid = makeGrid (3);
    tagColumns();
    advanceTimes (2);

    grid->insertColumn (0);

    EXPECT_EQ (grid->getPlayPosition(), 2);
    EXPECT_EQ (tagOf (2), 1);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 2 });
}

TEST_F (PianoGridTest, InsertAtPlayPositionPutsNewColumnInItsPlace)
{
    grid = makeGrid (3);
    tagColumns();
    advanceTimes (2);

    grid->insertColumn (1);

    EXPECT_EQ (grid->getNumColumns(), 4);
    EXPECT_EQ (tagOf (1), -1);
    EXPECT_EQ (tagOf (2), 1);
    EXPECT_EQ (grid->getPlayPosition(), 2);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 2 });

    pressPedal();
    EXPECT_EQ (grid->getPlayPosition(), 3);
}

TEST_F (PianoGridTest, InsertAfterPlayPositionLeavesIt)
{
    grid = makeGrid (3);
    advanceTimes (2);

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
    tagColumns();

    grid->insertColumn (-1);
    grid->insertColumn (99);

    ASSERT_EQ (grid->getNumColumns(), 4);
    EXPECT_EQ (tagOf (0), 0);
    EXPECT_EQ (tagOf (1), 1);
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
    tagColumns();
    advanceTimes (3);

    grid->deleteColumn (0);

    EXPECT_EQ (grid->getPlayPosition(), 1);
    EXPECT_EQ (tagOf (1), 2);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 1 });
}

TEST_F (PianoGridTest, DeleteAfterPlayPositionLeavesIt)
{
    grid = makeGrid (4);
    advanceTimes (2);

    grid->deleteColumn (3);

    EXPECT_EQ (grid->getPlayPosition(), 1);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 1 });
}

TEST_F (PianoGridTest, DeleteCurrentCuesTheColumnThatFollowed)
{
    grid = makeGrid (3);
    tagColumns();
    advanceTimes (2);

    grid->deleteColumn (1);

    // Its chord sounds on, in no column; the next press plays the column that followed it.
    EXPECT_EQ (grid->getPlayPosition(), -1);
    EXPECT_EQ (tagOf (1), 2);
    EXPECT_EQ (grid->getCuedColumn(), 1);
    EXPECT_TRUE (playingColumns (*grid).empty());
    EXPECT_EQ (pressPedal(), std::vector<int> { 2 });
}

TEST_F (PianoGridTest, DeleteCurrentLastColumnWrapsToFirst)
{
    grid = makeGrid (3);
    advanceTimes (3);

    grid->deleteColumn (2);

    EXPECT_EQ (grid->getPlayPosition(), -1);
    EXPECT_EQ (grid->getCuedColumn(), 0);
    pressPedal();
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 0 });
}

TEST_F (PianoGridTest, DeleteLastRemainingColumnLeavesNoPlayPosition)
{
    grid = makeGrid (1);
    pressPedal();

    grid->deleteColumn (0);

    EXPECT_EQ (grid->getNumColumns(), 0);
    EXPECT_EQ (grid->getPlayPosition(), -1);
    EXPECT_EQ (grid->getWidth(), 0);

    pressPedal();
    EXPECT_EQ (grid->getPlayPosition(), -1);
    expectDefaultCells (currentCells());
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
    tagColumns();

    grid->deleteColumnComponent (grid->getColumn (1));

    ASSERT_EQ (grid->getNumColumns(), 2);
    EXPECT_EQ (tagOf (1), 2);

    grid->insertColumnBefore (grid->getColumn (1));
    EXPECT_EQ (tagOf (2), 2);
    EXPECT_EQ (tagOf (1), -1);
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
    tagColumns();

    PianoGridMenu::perform (*grid, PianoGridMenu::deleteItem, grid->getColumn (1));

    ASSERT_EQ (grid->getNumColumns(), 2);
    EXPECT_EQ (tagOf (1), 2);
}

TEST_F (PianoGridTest, MenuInsertPutsAnEmptyColumnBeforeTheClickedOne)
{
    tagColumns();

    PianoGridMenu::perform (*grid, PianoGridMenu::insertNewItem, grid->getColumn (1));

    ASSERT_EQ (grid->getNumColumns(), 3);
    EXPECT_EQ (tagOf (2), 1);
    EXPECT_EQ (tagOf (1), -1);
}

TEST_F (PianoGridTest, SetPlayPositionThenAdvancePlaysTheNextColumn)
{
    grid = makeGrid (4);

    PianoGridMenu::perform (*grid, PianoGridMenu::setPlayPositionItem, grid->getColumn (2));
    EXPECT_EQ (grid->getPlayPosition(), -1);
    EXPECT_EQ (grid->getCuedColumn(), 3);
    EXPECT_TRUE (playingColumns (*grid).empty());

    pressPedal();
    EXPECT_EQ (grid->getPlayPosition(), 3);
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 3 });
}

TEST_F (PianoGridTest, SetPlayPositionMovesTheMark)
{
    grid = makeGrid (4);
    advanceTimes (2);

    PianoGridMenu::perform (*grid, PianoGridMenu::setPlayPositionItem, grid->getColumn (2));

    // The chord that sounds keeps its mark; the next press plays the column after the one chosen.
    EXPECT_EQ (playingColumns (*grid), std::vector<int> { 1 });
    EXPECT_EQ (grid->getCuedColumn(), 3);
    EXPECT_TRUE (grid->getColumn (3)->isCued);
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
TEST_F (PianoGridTest, MenuOffersTheFiveEditsWithASeparatorBeforeSetPlayPosition)
{
    auto scripted = makeGrid<GridWithScriptedMenu> (2);

    scripted->mouseDown (rightClickAt (*scripted, 10, 10));

    const std::vector<std::pair<int, juce::String>> expected {
        { 8, "Undo" }, { 9, "Redo" }, { -1, "" }, { 1, "Delete" }, { 2, "Insert new" }, { 10, "Cut" }, { 3, "Copy" }, { 4, "Paste" }, { -1, "" }, { 5, "Set play position" },
        { -1, "" }, { 6, "Copy the grid as a chord chart" }, { 7, "Paste a chord chart before this column" }, { -1, "" }, { 0, "Playing" }
    };
    EXPECT_EQ (scripted->shownItems, expected) << "no velocity on a note that is off";
}

TEST_F (PianoGridTest, MenuOnANoteThatIsOnSetsItsVelocity)
{
    auto scripted = makeGrid<GridWithScriptedMenu> (2);
    std::vector<NoteCell> cells (notesPerChord);
    cells[60].isOn = 1;
    cells[60].velocity = 64;
    scripted->setColumnCells (cells.data(), 1);
    auto* column = scripted->getColumn (1);
    const float yOfNote60 = (127 - 60) * 6.0f + 3.0f;

    scripted->choice = PianoGridMenu::firstVelocityItem + 112;
    column->mouseDown (rightClickAt (*column, 20, yOfNote60));

    ASSERT_EQ (scripted->shownItems.size(), 17u);
    EXPECT_EQ (scripted->shownItems[0].second, "Undo edit column 2") << "the cells set before";
    EXPECT_EQ (scripted->shownItems[14].second, "Velocity of C4 (64)");
    EXPECT_NE (std::find (scripted->shownSubmenuItems.begin(), scripted->shownSubmenuItems.end(),
                          std::make_pair (PianoGridMenu::firstVelocityItem + 64, juce::String ("64*"))),
               scripted->shownSubmenuItems.end()) << "the note's velocity is ticked";
    EXPECT_EQ (cellsOf (*scripted, 1)[60].velocity, 112);
    EXPECT_EQ (player.getSequence()->column (1)[60].velocity, 112) << "and published";
}

TEST_F (PianoGridTest, RightClickOnAColumnActsOnThatColumn)
{
    auto scripted = makeGrid<GridWithScriptedMenu> (3);
    scripted->choice = PianoGridMenu::setPlayPositionItem;

    auto* column = scripted->getColumn (2);
    column->mouseDown (rightClickAt (*column, 20, 100));

    EXPECT_EQ (scripted->menusShown, 1);
    EXPECT_EQ (player.getPlayPosition().next, 3);
    EXPECT_EQ (scripted->getCuedColumn(), 0) << "past the last column: the first, as the grid wraps";
}

TEST_F (PianoGridTest, LeftClickOpensNoMenu)
{
    auto scripted = makeGrid<GridWithScriptedMenu> (2);
    scripted->choice = PianoGridMenu::deleteItem;

    scripted->getColumn (0)->mouseDown (leftClickAt (*scripted->getColumn (0), 20, 100));
    scripted->mouseDown (leftClickAt (*scripted, 20, 100));

    EXPECT_EQ (scripted->menusShown, 0);
    EXPECT_EQ (scripted->getNumColumns(), 2);
}

TEST_F (PianoGridTest, RightClickOnTheGapShowsTheMenuButChangesNothing)
{
    auto scripted = makeGrid<GridWithScriptedMenu> (2);
    scripted->choice = PianoGridMenu::deleteItem;

    scripted->mouseDown (rightClickAt (*scripted, 64, 100));  // the gap after column 0

    EXPECT_EQ (scripted->menusShown, 1);
    EXPECT_EQ (scripted->getNumColumns(), 2);
}

TEST_F (PianoGridTest, GridDeletedWhileTheMenuIsOpenIsLeftAlone)
{
    auto* scripted = makeGrid<GridWithScriptedMenu> (2).release();
    scripted->choice = PianoGridMenu::deleteItem;
    juce::Component::SafePointer<PianoGrid> watcher (scripted);
    scripted->whileMenuIsOpen = [scripted] { delete scripted; };

    scripted->mouseDown (rightClickAt (*scripted, 10, 10));

    // Nothing may touch the grid once it is gone: a faulty grid crashes here, or trips a
    // sanitizer's use-after-free check.
    EXPECT_EQ (watcher.getComponent(), nullptr);
    EXPECT_EQ (player.getSequence()->getNumColumns(), 2);
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

    grid->insertColumn (0);
    EXPECT_EQ (grid->getWidth(), 260);
    EXPECT_EQ (grid->getColumn (3)->getX(), 195);

    grid->deleteColumn (0);
    grid->deleteColumn (0);
    EXPECT_EQ (grid->getWidth(), 130);
    EXPECT_EQ (grid->getColumn (1)->getX(), 65);
    EXPECT_EQ (grid->getColumn (2), nullptr);
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
TEST_F (PianoGridTest, APressOnTheAudioThreadIsDrawnAtTheNextRefresh)
{
    grid = makeGrid (3);
    std::vector<NoteCell> in (notesPerChord);
    in[100].isOn = 1;
    for (int i = 0; i < 3; ++i)
        grid->setColumnCells (in.data(), i);
    juce::Component window;
    window.setSize (grid->getWidth(), gridHeight);
    window.addAndMakeVisible (grid.get());
    pressPedal();
    render (window);  // every column now draws from its cached image

    std::thread audioThread ([&] {
        juce::MidiBuffer midi;
        midi.addEvent (juce::MidiMessage::controllerEvent (1, 64, 0), 0);
        midi.addEvent (juce::MidiMessage::controllerEvent (1, 64, 127), 1);
        const juce::ScopedLock sl (filterLock);
        player.handlePedalMidi (midi);
    });
    audioThread.join();

    EXPECT_EQ (argbAt (render (window), 65 + 10, 165), 0xFF7FFFD4u) << "nothing is drawn from the audio thread";

    grid->refreshFromPlayer();
    auto image = render (window);

    EXPECT_EQ (argbAt (image, 10, 165), 0xFF7FFFD4u);          // column 0, no longer playing
    EXPECT_EQ (argbAt (image, 65 + 10, 165), 0xFFFF0000u);     // column 1, now playing
    EXPECT_EQ (argbAt (image, 130 + 10, 165), 0xFF7FFFD4u);    // column 2, as it was
}

TEST_F (PianoGridTest, DeletingTheCurrentColumnRepaintsTheNewlyCuedOne)
{
    grid = makeGrid (3);
    juce::Component window;
    window.setSize (grid->getWidth(), gridHeight);
    window.addAndMakeVisible (grid.get());
    advanceTimes (3);
    deliverPendingMessages();
    render (window);

    // Nothing is marked now, and the next press wraps to column 0, which stays where it is: only a
    // repaint can show its cue.
    EXPECT_NE (argbAt (render (window), 1, 6), 0xFFE00000u);
    grid->deleteColumn (2);
    deliverPendingMessages();
    auto image = render (window);

    EXPECT_EQ (argbAt (image, 1, 6), 0xFFE00000u);     // the outline around column 0's name
    EXPECT_EQ (argbAt (image, 10, 165), 0xFF96C896u);  // note 100, a white key's row, not playing
    EXPECT_EQ (argbAt (image, 65 + 10, 165), 0xFF96C896u);
}

//==============================================================================
TEST_F (PianoGridTest, EveryEditIsPublishedUnderTheBlockLock)
{
    grid = makeGrid (3);
    const std::vector<NoteCell> cells (notesPerChord);
    PianoGridMenu::perform (*grid, PianoGridMenu::copyItem, grid->getColumn (0));

    const std::vector<std::pair<const char*, std::function<void()>>> edits {
        { "add", [&] { grid->addColumn(); } },
        { "insert", [&] { grid->insertColumn (1); } },
        { "delete", [&] { grid->deleteColumn (0); } },
        { "set cells", [&] { grid->setColumnCells (cells.data(), 0); } },
        { "paste", [&] { PianoGridMenu::perform (*grid, PianoGridMenu::pasteItem, grid->getColumn (0)); } },
        { "set play position", [&] { PianoGridMenu::perform (*grid, PianoGridMenu::setPlayPositionItem, grid->getColumn (1)); } },
        { "column click", [&] { auto& column = *grid->getColumn (0); column.mouseDown (leftClickAt (column, 5, 5)); column.mouseUp (leftClickAt (column, 5, 5)); } },
    };

    for (const auto& [name, edit] : edits)
    {
        const auto before = player.getSequence();
        EXPECT_TRUE (actionWaitsForLock (filterLock, edit)) << name;
        EXPECT_EQ (player.getSequence(), grid->getShownSequence()) << name << ": the player plays what the grid shows";
        EXPECT_TRUE (player.getSequence() != before || std::string (name) == "set play position") << name << ": a new sequence";
    }

    // Copying changes nothing that plays: it publishes nothing and waits for no block.
    EXPECT_FALSE (actionWaitsForLock (filterLock, [&] { PianoGridMenu::perform (*grid, PianoGridMenu::copyItem, grid->getColumn (1)); }));
}

TEST_F (PianoGridTest, OnlyTheColumnsInViewAreComponentsAndScrollingBringsTheOthers)
{
    grid = makeGrid (GridState::maxColumns);
    juce::Viewport viewport;
    viewport.setSize (620, gridHeight);
    viewport.setViewedComponent (grid.get(), false);

    EXPECT_EQ (grid->getWidth(), 65 * GridState::maxColumns);
    EXPECT_LE (grid->getNumColumnComponents(), 11);
    EXPECT_NE (grid->getColumn (0), nullptr);
    EXPECT_EQ (grid->getColumn (20), nullptr);

    // The last column, scrolled to, is there to click.
    viewport.setViewPosition (grid->getWidth() - 620, 0);
    auto* last = grid->getColumn (GridState::maxColumns - 1);
    ASSERT_NE (last, nullptr);
    EXPECT_LE (grid->getNumColumnComponents(), 11);
    last->mouseDown (leftClickAt (*last, 5, 5));
    last->mouseUp (leftClickAt (*last, 5, 5));
    EXPECT_EQ (player.getSequence()->column (GridState::maxColumns - 1)[127].isOn, 1);
}

TEST_F (PianoGridTest, ColumnsAreNamedWhenTheirNotesChangeAndTheSoundingOneStandsOut)
{
    grid = makeGrid (3);
    juce::Component window;
    window.setSize (grid->getWidth(), gridHeight);
    window.addAndMakeVisible (grid.get());

    const auto notesOn = [] (std::initializer_list<int> notes)
    {
        std::vector<NoteCell> cells (notesPerChord);
        for (int n : notes)
            cells[(size_t) n].isOn = 1;
        return cells;
    };
    grid->setColumnCells (notesOn ({ 60, 64, 67 }).data(), 0);
    grid->setColumnCells (notesOn ({ 57, 60, 64, 67 }).data(), 1);

    EXPECT_EQ (grid->getColumn (0)->getChordName(), "C");
    EXPECT_EQ (grid->getColumn (1)->getChordName(), "Am7");
    EXPECT_EQ (grid->getColumn (2)->getChordName(), "N.C.");

    // A click renames the column it changed.
    auto* empty = grid->getColumn (2);
    empty->mouseDown (leftClickAt (*empty, 20, (127 - 62) * 6.0f + 3));
    EXPECT_EQ (empty->getChordName(), "[D4]");

    // The band of the column that sounds is red; the others' are dark.
    pressPedal();
    const auto image = render (window);
    const auto bandColour = [&] (int column) { return image.getPixelAt (column * 65 + 1, 1); };
    EXPECT_GT (bandColour (0).getRed(), 150);
    EXPECT_LT (bandColour (0).getGreen(), 60);
    EXPECT_LT (bandColour (1).getRed(), 90);

    // The name is drawn: the band holds pixels of its text's colour.
    int textPixels = 0;
    for (int x = 65; x < 65 + 64; ++x)
        for (int y = 0; y < PianoGridColumn::nameBandHeight; ++y)
            textPixels += image.getPixelAt (x, y).getBrightness() > 0.8f ? 1 : 0;
    EXPECT_GT (textPixels, 10);
}

TEST_F (PianoGridTest, TheGridGoesToTheClipboardAsAChartAndAChartComesBackAsColumns)
{
    juce::String clipboard;
    auto& system = PianoGridMenu::clipboard();
    const auto systemClipboard = system;
    system = { [&] (const juce::String& text) { clipboard = text; }, [&] { return clipboard; } };
    juce::String message;
    grid->onMessage = [&] (const juce::String& text) { message = text; };

    std::vector<NoteCell> cMajor (notesPerChord);
    for (int n : { 48, 60, 64, 67 })
        cMajor[(size_t) n].isOn = 1;
    grid->setColumnCells (cMajor.data(), 0);
    pressPedal();
    pressPedal();  // column 1 sounds

    PianoGridMenu::perform (*grid, PianoGridMenu::copyChartItem, grid->getColumn (1));
    EXPECT_EQ (clipboard, "C N.C. |\n");

    // Pasted before column 1: the column that sounds moves along and keeps sounding.
    clipboard = "Am7 | F/A G7";
    PianoGridMenu::perform (*grid, PianoGridMenu::pasteChartItem, grid->getColumn (1));
    ASSERT_EQ (grid->getNumColumns(), 5);
    EXPECT_EQ (grid->getChart(), "C Am7 F/A G7 | N.C. |\n");
    EXPECT_EQ (player.getPlayPosition().sounding, 4);
    EXPECT_EQ (player.getSequence(), grid->getShownSequence());

    // On a gap, the chart goes at the end; a name the vocabulary does not know changes nothing.
    clipboard = "Dm | Hm7";
    PianoGridMenu::perform (*grid, PianoGridMenu::pasteChartItem, (juce::Component*) nullptr);
    EXPECT_EQ (grid->getNumColumns(), 5);
    EXPECT_TRUE (message.contains ("'Hm7'")) << message;

    clipboard = "Dm";
    PianoGridMenu::perform (*grid, PianoGridMenu::pasteChartItem, (juce::Component*) nullptr);
    EXPECT_EQ (grid->getChart(), "C Am7 F/A G7 | N.C. Dm |\n");

    system = systemClipboard;
}

//==============================================================================
// What the grid marks and cues after each of the player's moves, in the chart C F G Am Dm (column
// i holds note i): the column that sounds is marked, and the column the next press plays is cued
// when it is not simply the one after.
TEST_F (PianoGridTest, TheGridMarksTheSoundingColumnAndCuesAnyOtherNextOne)
{
    grid = makeGrid (5);
    tagColumns();
    auto settings = player.getSettings();
    settings.jumpByProgramChange = true;
    settings.endOfGrid = PlayerSettings::EndOfGrid::stop;
    player.setSettings (settings);

    std::vector<int> started;
    const auto press = [&] { started = pressPedal(); };
    const auto block = [&] (juce::MidiMessage message)
    {
        return [&, message] { juce::MidiBuffer midi (message); const juce::ScopedLock sl (filterLock); player.handlePedalMidi (midi); };
    };

    struct Move { const char* what; std::function<void()> act; int marked, cued; std::vector<int> starts; };
    const Move moves[] {
        { "fresh: the first column is next", [] {}, -1, 0, {} },
        { "a press plays C", press, 0, -1, { 0 } },
        { "program change 3 makes Am the next", block (juce::MidiMessage::programChange (1, 3)), 0, 3, { 0 } },
        { "a press plays Am", press, 3, -1, { 3 } },
        { "Stop: nothing sounds, Dm is next", [&] { player.requestStop(); block (juce::MidiMessage::controllerEvent (1, 1, 0)) (); }, -1, 4, { 3 } },
        { "a column inserted at the start: Dm moves along", [&] { grid->insertColumn (0); }, -1, 5, { 3 } },
        { "a press plays Dm", press, 5, -1, { 4 } },
        { "the press past the end stops", press, -1, -1, {} },
        { "an edit after the stop", [&] { grid->insertColumn (2); grid->deleteColumn (0); }, -1, -1, {} },
        { "the stop holds: the press plays nothing", press, -1, -1, {} },
        { "the play position set on G: Am is next", [&] { grid->choosePlayPosition (3); }, -1, 4, {} },
        { "a press plays Am", press, 4, -1, { 3 } },
        { "All Notes Off: nothing sounds, Dm is next", block (juce::MidiMessage::allNotesOff (10)), -1, 5, { 3 } },
    };

    for (const auto& move : moves)
    {
        move.act();
        grid->refreshFromPlayer();
        EXPECT_EQ (grid->getPlayPosition(), move.marked) << move.what;
        EXPECT_EQ (grid->getCuedColumn(), move.cued) << move.what;
        EXPECT_EQ (started, move.starts) << move.what;

        for (int i = 0; i < grid->getNumColumns(); ++i)
        {
            EXPECT_EQ (grid->getColumn (i)->isPlaying, i == move.marked) << move.what << ", column " << i;
            EXPECT_EQ (grid->getColumn (i)->isCued, i == move.cued) << move.what << ", column " << i;
        }
    }
}

// An edit begun on one grid never overwrites a grid published since (a host's restore): a
// velocity drag under way when the restore lands is dropped, and the grid shows the restored one.
TEST_F (PianoGridTest, ARestoreDuringAVelocityDragWinsAndTheDragPublishesAtMostThirtyTimesASecond)
{
    std::vector<NoteCell> cells (notesPerChord);
    cells[60].isOn = 1;
    grid->setColumnCells (cells.data(), 0);
    auto* column = grid->getColumn (0);
    const float y = (127.0f - 60.0f) * column->getRowHeight() + column->getRowHeight() / 2.0f;
    const auto down = leftClickAt (*column, 10, y);

    // Many drag steps in a moment publish once, and the mouse-up once more.
    column->mouseDown (down);
    std::vector<std::shared_ptr<const GridState>> published;
    for (int rise = 5; rise <= 25; ++rise)
    {
        column->mouseDrag (down.withNewPosition (juce::Point<float> (10, y - (float) rise)));
        if (published.empty() || published.back() != player.getSequence())
            published.push_back (player.getSequence());
    }
    column->mouseUp (down.withNewPosition (juce::Point<float> (10, y - 25)));
    EXPECT_LT (published.size(), 3u) << "one publish for the whole drag, two should the machine stall";
    EXPECT_EQ (player.getSequence()->column (0)[60].velocity, 125) << "the mouse-up publishes the last step";

    // A restore lands between the drag's first publish and its next one (downwards this time).
    column->mouseDown (down);
    column->mouseDrag (down.withNewPosition (juce::Point<float> (10, y + 10)));
    EXPECT_EQ (player.getSequence()->column (0)[60].velocity, 115);
    const auto restored = std::make_shared<GridState> (3, notesPerChord);
    player.publishState (restored, player.getSettings());
    column->mouseDrag (down.withNewPosition (juce::Point<float> (10, y + 20)));
    column->mouseUp (down.withNewPosition (juce::Point<float> (10, y + 20)));

    EXPECT_EQ (player.getSequence(), restored);
    EXPECT_EQ (grid->getShownSequence(), restored);
    EXPECT_EQ (grid->getNumColumns(), 3);
    EXPECT_EQ (grid->getColumn (0)->cells.getCell (60)->isOn, 0);

    // A grid swapped between an edit's start and its publish, as another thread's restore is.
    const auto before = player.getSequence();
    const auto other = std::make_shared<GridState> (1, notesPerChord);
    player.publishState (other, player.getSettings());
    EXPECT_FALSE (player.publishEdit (before, before->withEmptyColumnAt (0), PlayPositionChange::keep()));
    EXPECT_EQ (player.getSequence(), other);
    EXPECT_TRUE (player.publishEdit (other, other->withEmptyColumnAt (0), PlayPositionChange::keep())) << "the control";
}

#include "editor/PianoGrid.h"

#include "editor/PianoGridMenu.h"
#include "engine/ChordChartReader.h"
#include "engine/ChordChartWriter.h"
#include "engine/SequencePlayer.h"

#include <algorithm>

PianoGrid::PianoGrid (SequencePlayer& playerToShow, int freshColumns)
    : player (playerToShow)
{
    show (player.getOrPublishFresh (freshColumns));
    startTimer (refreshIntervalMs);
}

PianoGrid::~PianoGrid()
{
    stopTimer();
}

//==============================================================================
void PianoGrid::timerCallback()
{
    refreshFromPlayer();
}

void PianoGrid::refreshFromPlayer()
{
    adoptPublishedSequence();

    if (readMarks())
    {
        for (auto* column : columnComponents)
        {
            column->setPlaying (column->columnIndex == markedColumn);
            column->setCued (column->columnIndex == cuedColumn);
        }
    }
}

bool PianoGrid::readMarks()
{
    const auto position = player.getPlayPosition();
    const int cue = position.cuedColumn (getNumColumns(), player.getSettings().endOfGrid);

    if (position.sounding == markedColumn && cue == cuedColumn)
        return false;

    markedColumn = position.sounding;
    cuedColumn = cue;
    return true;
}

bool PianoGrid::adoptPublishedSequence()
{
    auto published = player.getSequence();

    if (published == nullptr || published == shown)
        return false;

    // A press begun on the grid replaced edits it no more, and what was selected is gone.
    for (auto* column : columnComponents)
        column->abandonPress();

    selection = {};
    dropGap = -1;

    show (std::move (published));
    return true;
}

void PianoGrid::show (std::shared_ptr<const GridState> sequence)
{
    shown = std::move (sequence);
    selection = selection.getIntersectionWith ({ 0, shown->getNumColumns() });
    readMarks();
    setSize (getColumnX (getNumColumns()), getHeight());
    layOutColumnsInView();
}

void PianoGrid::publish (std::unique_ptr<GridState> edited, const EditHistory::GridEdit& edit,
                         std::optional<juce::Range<int>> selectAfter)
{
    std::shared_ptr<const GridState> next = std::move (edited);
    const auto before = shown;

    // A grid published since the edit began (a restore on another thread) wins: the edit is
    // dropped, and the grid that won is shown.
    if (! player.publishEdit (before, next, edit.done))
    {
        adoptPublishedSequence();
        return;
    }

    // Unless the edit says what it selects, the selection stays, but where columns came or went
    // it would name others now.
    if (! selectAfter.has_value())
        selectAfter = next->getNumColumns() == before->getNumColumns() ? selection : juce::Range<int>();

    auto step = edit;
    step.selectedBefore = selection;
    step.selectedAfter = selectAfter->getIntersectionWith ({ 0, next->getNumColumns() });
    player.getHistory().recordGridEdit (before, next, step);

    show (std::move (next));
    selectColumns (step.selectedAfter);
}

juce::String PianoGrid::columnName (int index)
{
    return "column " + juce::String (index + 1);
}

bool PianoGrid::undo()
{
    auto reselect = selection;
    const bool undone = player.getHistory().undo (player, &reselect);
    refreshFromPlayer();

    if (undone)
        selectColumns (reselect);

    return undone;
}

bool PianoGrid::redo()
{
    auto reselect = selection;
    const bool redone = player.getHistory().redo (player, &reselect);
    refreshFromPlayer();

    if (redone)
        selectColumns (reselect);

    return redone;
}

//==============================================================================
void PianoGrid::getColumnCells (NoteCell* out, int columnIndex) const
{
    if (shown != nullptr && shown->column (columnIndex) != nullptr)
        shown->copyColumn (columnIndex, out, numRows);
}

int PianoGrid::getNumColumns() const
{
    return shown != nullptr ? shown->getNumColumns() : 0;
}

int PianoGrid::getNumRows() const
{
    return numRows;
}

int PianoGrid::getPlayPosition() const
{
    return markedColumn;
}

int PianoGrid::getColumnX (int index) const noexcept
{
    // A 1-pixel gap follows every column, the last one included.
    return index * (columnWidth + 1);
}

//==============================================================================
void PianoGrid::setColumnCells (const NoteCell* in, int columnIndex, const juce::String& stepName, int64_t mergeKey)
{
    adoptPublishedSequence();

    if (shown->column (columnIndex) != nullptr)
        publish (shown->withColumnCells (columnIndex, in, numRows),
                 { stepName.isNotEmpty() ? stepName : "edit " + columnName (columnIndex), {}, {}, mergeKey });
}

void PianoGrid::setNoteVelocity (int columnIndex, int note, int velocity)
{
    adoptPublishedSequence();

    if (shown->column (columnIndex) == nullptr || note < 0 || note >= numRows)
        return;

    NoteCell cells[notesPerChord];
    shown->copyColumn (columnIndex, cells, numRows);
    cells[note].isOn = 1;
    cells[note].velocity = std::clamp (velocity, 1, 127);
    publish (shown->withColumnCells (columnIndex, cells, numRows), { "velocity in " + columnName (columnIndex) });
}

void PianoGrid::columnEdited (PianoGridColumn& column, int)
{
    // A sequence published since the column was drawn (a restore) wins over the click on what
    // it replaced; the column shows the new one now.
    if (adoptPublishedSequence())
        return;

    // Every edit of one press (a note switched on, then its velocity dragged) is one step.
    setColumnCells (column.cells.data(), column.columnIndex, "edit " + columnName (column.columnIndex), column.getPressSerial());
}

void PianoGrid::addColumn()
{
    adoptPublishedSequence();
    const int added = getNumColumns();
    publish (shown->withEmptyColumnAt (added), { "add " + columnName (added), {}, PlayPositionChange::columnRemoved (added) });
}

void PianoGrid::insertColumn (int index)
{
    adoptPublishedSequence();

    if (index < 0 || index > getNumColumns())
        index = getNumColumns();

    // The play position follows its column, which keeps its mark.
    publish (shown->withEmptyColumnAt (index), { "insert " + columnName (index), PlayPositionChange::columnInserted (index),
                                                 PlayPositionChange::columnRemoved (index) });
}

void PianoGrid::insertColumnBefore (juce::Component* column)
{
    const int index = indexOfColumn (column);

    if (index >= 0)
        insertColumn (index);
}

void PianoGrid::deleteColumn (int index)
{
    adoptPublishedSequence();

    if (shown->column (index) == nullptr)
        return;

    // Undone, the column of the chord that sounds takes its mark back.
    const bool sounds = player.getPlayPosition().sounding == index;
    publish (shown->withoutColumn (index), { "delete " + columnName (index), PlayPositionChange::columnRemoved (index),
                                             sounds ? PlayPositionChange::columnRestored (index) : PlayPositionChange::columnInserted (index) });
}

void PianoGrid::deleteColumnComponent (juce::Component* column)
{
    const int index = indexOfColumn (column);

    if (index >= 0)
        deleteColumn (index);
}

juce::String PianoGrid::getChart() const
{
    return ChordChartWriter::write (*shown);
}

juce::Result PianoGrid::insertChart (const juce::String& chart, int index)
{
    auto read = ChordChartReader::read (chart);

    if (read.grid == nullptr)
        return juce::Result::fail (read.error);

    adoptPublishedSequence();

    if (index < 0 || index > getNumColumns())
        index = getNumColumns();

    // The column that sounds keeps sounding, wherever the new columns push it.
    const int added = std::min (read.grid->getNumColumns(), (int) GridState::maxColumns - getNumColumns());
    publish (shown->withColumnsInserted (index, *read.grid), { "paste chord chart", PlayPositionChange::columnInserted (index, added),
                                                               PlayPositionChange::columnRemoved (index, added) });
    return juce::Result::ok();
}

void PianoGrid::copyColumnToBuffer (const NoteCellArray& cells)
{
    copiedBlock = nullptr;

    if (copyBuffer == nullptr)
        copyBuffer = std::make_unique<NoteCellArray> (numRows);

    for (int i = 0; i < numRows; ++i)
    {
        if (const auto* cell = cells.getCell (i))
        {
            copyBuffer->setOn (i, cell->isOn);
            copyBuffer->setVelocity (i, cell->velocity);
        }
    }
}

void PianoGrid::pasteCopyInto (int index)
{
    if (copyBuffer != nullptr)
        setColumnCells (copyBuffer->data(), index, "paste into " + columnName (index));
}

void PianoGrid::choosePlayPosition (int index)
{
    adoptPublishedSequence();

    if (shown->column (index) == nullptr)
        return;

    // The same sequence, with the position moved: the chord that sounds goes on.
    player.publishEdit (shown, shown, PlayPositionChange::moveTo (index));
    refreshFromPlayer();
}

int PianoGrid::indexOfColumn (const juce::Component* component) const
{
    for (auto* column : columnComponents)
        if (column == component)
            return column->columnIndex;

    return -1;
}

PianoGridColumn* PianoGrid::getColumn (int index) const
{
    for (auto* column : columnComponents)
        if (column->columnIndex == index)
            return column;

    return nullptr;
}

//==============================================================================
juce::Range<int> PianoGrid::columnsInView() const
{
    const int count = getNumColumns();
    auto visibleX = juce::Range<int> (0, getWidth());

    // In a viewport the grid is moved left as it scrolls, and its parent is the visible area.
    if (auto* parent = getParentComponent())
        visibleX = visibleX.getIntersectionWith ({ -getX(), -getX() + parent->getWidth() });

    const int step = columnWidth + 1;
    const int first = std::clamp (visibleX.getStart() / step, 0, count);
    const int end = std::clamp ((visibleX.getEnd() + step - 1) / step, first, count);
    return { first, end };
}

void PianoGrid::layOutColumnsInView()
{
    const auto inView = columnsInView();

    // Components out of view go; those in view are kept, whatever column they showed.
    for (int i = columnComponents.size(); --i >= 0;)
        if (! inView.contains (columnComponents.getUnchecked (i)->columnIndex))
            columnComponents.remove (i);

    juce::Array<int> missing;

    for (int index = inView.getStart(); index < inView.getEnd(); ++index)
        if (getColumn (index) == nullptr)
            missing.add (index);

    for (auto index : missing)
    {
        auto column = createColumn();
        column->columnIndex = index;
        columnComponents.add (column.release());
    }

    for (auto* column : columnComponents)
        showColumn (*column, column->columnIndex);
}

std::unique_ptr<PianoGridColumn> PianoGrid::createColumn()
{
    auto column = std::make_unique<PianoGridColumn> (numRows);
    column->onCellsEdited = [this] (PianoGridColumn& edited, int note) { columnEdited (edited, note); };
    column->onNameGesture = [this] (PianoGridColumn& pressed, PianoGridColumn::NameGesture gesture, const juce::MouseEvent& event)
    {
        nameGesture (pressed, gesture, event);
    };
    addAndMakeVisible (column.get());
    return column;
}

void PianoGrid::showColumn (PianoGridColumn& column, int index)
{
    column.setBounds (getColumnX (index), 0, columnWidth, getHeight());
    column.showCells (shown->column (index), std::min (shown->getCellsPerColumn(), numRows));
    column.setPlaying (index == markedColumn);
    column.setCued (index == cuedColumn);
    column.setSelected (selection.contains (index));
}

//==============================================================================
int PianoGrid::chooseFromMenu (juce::PopupMenu& menu)
{
    return menu.show();
}

void PianoGrid::mouseDown (const juce::MouseEvent& event)
{
    if (! event.mods.isRightButtonDown())
        return;

    // The menu runs its own modal loop, in which the host may close the editor and delete us.
    juce::Component::SafePointer<PianoGrid> safeThis (this);
    // Taken as indexes: the column components may be rebuilt while the menu is open.
    auto* target = getComponentAt (event.getPosition());
    const int columnIndex = indexOfColumn (target);
    const int note = columnIndex >= 0 ? getColumn (columnIndex)->getNoteAtY ((float) (event.y - target->getY())) : -1;
    auto menu = PianoGridMenu::create (*this, columnIndex, note);
    const int choice = chooseFromMenu (menu);

    if (safeThis == nullptr)
        return;

    PianoGridMenu::perform (*this, choice, columnIndex, note);
}

void PianoGrid::paintOverChildren (juce::Graphics& g)
{
    // Where a dragged block would go: a bar in the gap.
    if (dropGap >= 0)
    {
        g.setColour (juce::Colour (0xFF7FD4FF));
        g.fillRect (getColumnX (dropGap) - 2, 0, 3, getHeight());
    }
}

void PianoGrid::paint (juce::Graphics&)
{
    // Nothing of its own: the gaps between the columns show what lies behind the grid.
}

void PianoGrid::resized()
{
    layOutColumnsInView();
}

void PianoGrid::moved()
{
    // The viewport scrolled: other columns came into view.
    layOutColumnsInView();
}

void PianoGrid::parentSizeChanged()
{
    layOutColumnsInView();
}

void PianoGrid::handleCommandMessage (int commandId)
{
    if (commandId == 0)
        repaint();
}

//==============================================================================
void PianoGrid::selectColumns (juce::Range<int> columns)
{
    selection = columns.getIntersectionWith ({ 0, getNumColumns() });
    selectionAnchor = selection.isEmpty() ? -1 : selection.getStart();
    showSelection();
}

void PianoGrid::showSelection()
{
    for (auto* column : columnComponents)
        column->setSelected (selection.contains (column->columnIndex));
}

void PianoGrid::nameGesture (PianoGridColumn& column, PianoGridColumn::NameGesture gesture, const juce::MouseEvent& event)
{
    const int index = column.columnIndex;
    using Gesture = PianoGridColumn::NameGesture;

    if (gesture == Gesture::shiftClick)
    {
        if (selection.isEmpty() || selectionAnchor < 0)
        {
            selectColumns ({ index, index + 1 });
            return;
        }

        const int anchor = selectionAnchor;
        selection = juce::Range<int> (std::min (anchor, index), std::max (anchor, index) + 1);
        showSelection();
        return;
    }

    if (! selection.contains (index))
        selectColumns ({ index, index + 1 });

    const int gap = gapAt (event.getEventRelativeTo (this).x);

    if (gesture == Gesture::drag)
    {
        dropGap = gap;
        repaint();
        return;
    }

    dropGap = -1;
    repaint();
    moveColumns (selection.getStart(), selection.getLength(), gap);
}

int PianoGrid::gapAt (int x) const noexcept
{
    const int step = columnWidth + 1;
    return std::clamp ((x + step / 2) / step, 0, getNumColumns());
}

void PianoGrid::moveColumns (int first, int count, int gap)
{
    adoptPublishedSequence();

    if (first < 0 || count <= 0 || first + count > getNumColumns() || gap < 0 || gap > getNumColumns()
        || (gap >= first && gap <= first + count))
        return;

    const int to = gap < first ? gap : gap - count;
    const auto name = count == 1 ? "move " + columnName (first)
                                 : "move columns " + juce::String (first + 1) + " to " + juce::String (first + count);
    publish (shown->withColumnsMoved (first, count, to),
             { name, PlayPositionChange::columnsMoved (first, count, to), PlayPositionChange::columnsMoved (to, count, first) },
             juce::Range<int> (to, to + count));
}

juce::Range<int> PianoGrid::blockAt (int index) const
{
    return selection.contains (index) ? selection : juce::Range<int> (index, index + 1);
}

void PianoGrid::copyBlock (juce::Range<int> columns)
{
    columns = columns.getIntersectionWith ({ 0, getNumColumns() });

    if (columns.isEmpty())
        return;

    copiedBlock = shown->columnsFrom (columns.getStart(), columns.getLength());
    copyBuffer = nullptr;
    PianoGridMenu::clipboard().copy (ChordChartWriter::write (*copiedBlock));
}

void PianoGrid::deleteBlock (juce::Range<int> columns)
{
    adoptPublishedSequence();
    columns = columns.getIntersectionWith ({ 0, getNumColumns() });

    if (columns.getLength() <= 1)
    {
        deleteColumn (columns.getStart());
        return;
    }

    const auto name = "delete columns " + juce::String (columns.getStart() + 1) + " to " + juce::String (columns.getEnd());
    publish (shown->withColumnsReplaced (columns.getStart(), columns.getLength(), GridState (0, shown->getCellsPerColumn())),
             { name, PlayPositionChange::columnRemoved (columns.getStart(), columns.getLength()),
               PlayPositionChange::columnInserted (columns.getStart(), columns.getLength()) });
}

void PianoGrid::insertCopiedBlock (int index)
{
    adoptPublishedSequence();

    if (copiedBlock == nullptr)
        return;

    if (index < 0 || index > getNumColumns())
        index = getNumColumns();

    const int added = std::min (copiedBlock->getNumColumns(), (int) GridState::maxColumns - getNumColumns());
    publish (shown->withColumnsInserted (index, *copiedBlock),
             { "paste " + juce::String (added) + " columns", PlayPositionChange::columnInserted (index, added),
               PlayPositionChange::columnRemoved (index, added) },
             juce::Range<int> (index, index + added));
}

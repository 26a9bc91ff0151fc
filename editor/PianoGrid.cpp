#include "editor/PianoGrid.h"

#include "editor/PianoGridMenu.h"

#include <algorithm>

PianoGrid::PianoGrid (int initialColumns, juce::CriticalSection* sharedEditLock)
    : editLock (sharedEditLock != nullptr ? *sharedEditLock : ownLock)
{
    for (int i = 0; i < initialColumns; ++i)
        addColumn();

    setBufferedToImage (true);
    startTimer (repaintCheckIntervalMs);
}

PianoGrid::~PianoGrid()
{
    stopTimer();
    columns.clear();
}

//==============================================================================
void PianoGrid::advancePlayPosition()
{
    const int count = columns.size();
    const int current = playPosition.load();

    if (count == 0)
    {
        playPosition = -1;
        return;
    }

    if (current >= 0 && current < count)
        setPlayingMark (*columns.getUnchecked (current), false);

    const int next = current + 1 < count ? current + 1 : 0;
    playPosition = next;
    setPlayingMark (*columns.getUnchecked (next), true);
}

void PianoGrid::markPlayPosition (int index)
{
    const juce::ScopedLock sl (editLock);

    if (auto* previous = getColumn (playPosition.load()))
        setPlayingMark (*previous, false);

    auto* next = getColumn (index);
    playPosition = next != nullptr ? index : -1;

    if (next != nullptr)
        setPlayingMark (*next, true);
}

void PianoGrid::setPlayingMark (PianoGridColumn& column, bool playing)
{
    column.isPlaying = playing;
    column.repaintPending = true;
}

void PianoGrid::timerCallback()
{
    repaintFlaggedColumns();
}

void PianoGrid::repaintFlaggedColumns()
{
    for (auto* column : columns)
        if (column->repaintPending.exchange (false))
            column->repaint();
}

void PianoGrid::getCurrentColumnCells (NoteCell* out) const
{
    const int current = playPosition.load();

    if (current >= 0 && current < columns.size())
    {
        std::copy_n (columns.getUnchecked (current)->cells.data(), numRows, out);
        return;
    }

    // With nothing to play the press still ends the sounding chord and starts nothing.
    std::fill_n (out, numRows, NoteCell {});
}

void PianoGrid::getColumnCells (NoteCell* out, int columnIndex) const
{
    const juce::ScopedLock sl (editLock);

    if (auto* column = getColumn (columnIndex))
        std::copy_n (column->cells.data(), numRows, out);
}

void PianoGrid::setColumnCells (const NoteCell* in, int columnIndex)
{
    const juce::ScopedLock sl (editLock);

    if (auto* column = getColumn (columnIndex))
    {
        for (int i = 0; i < numRows; ++i)
        {
            column->cells.setOn (i, in[i].isOn);
            column->cells.setVelocity (i, in[i].velocity);
        }
    }
}

int PianoGrid::getNumColumns() const
{
    // A state writer on another thread may ask while the message thread edits the list.
    const juce::ScopedLock sl (editLock);
    return columns.size();
}

int PianoGrid::getNumRows() const
{
    return numRows;
}

int PianoGrid::getPlayPosition() const
{
    return playPosition.load();
}

PianoGridColumn* PianoGrid::getColumn (int index) const
{
    return columns[index];
}

//==============================================================================
std::unique_ptr<PianoGridColumn> PianoGrid::createColumn()
{
    auto column = std::make_unique<PianoGridColumn> (numRows, &editLock);
    addAndMakeVisible (column.get());
    return column;
}

int PianoGrid::getColumnX (int index) const noexcept
{
    // A 1-pixel gap follows every column, the last one included.
    return index * (columnWidth + 1);
}

void PianoGrid::fitWidthToColumns()
{
    setSize (getColumnX (columns.size()), getHeight());
}

void PianoGrid::addColumn()
{
    auto column = createColumn();
    column->setBounds (getColumnX (columns.size()), 0, columnWidth, getHeight());

    {
        const juce::ScopedLock sl (editLock);
        columns.add (std::move (column));
    }

    fitWidthToColumns();
    resized();
    repaint();
}

void PianoGrid::insertColumn (int index)
{
    if (index < 0 || index > columns.size())
        index = columns.size();

    auto column = createColumn();
    column->setBounds (getColumnX (index), 0, columnWidth, getHeight());

    {
        const juce::ScopedLock sl (editLock);
        columns.insert (index, column.release());

        // The position follows its column, which keeps its mark.
        const int current = playPosition.load();

        if (current >= 0 && index <= current)
            playPosition = current + 1;
    }

    fitWidthToColumns();
    resized();
}

void PianoGrid::insertColumnBefore (juce::Component* column)
{
    const int index = indexOfColumn (column);

    if (index >= 0)
        insertColumn (index);
}

void PianoGrid::deleteColumn (int index)
{
    if (getColumn (index) == nullptr)
        return;

    std::unique_ptr<PianoGridColumn> removed;
    PianoGridColumn* newlyMarked = nullptr;

    {
        const juce::ScopedLock sl (editLock);
        removed.reset (columns.removeAndReturn (index));

        const int current = playPosition.load();
        const int remaining = columns.size();

        if (current == index)
        {
            if (remaining == 0)
            {
                playPosition = -1;
            }
            else
            {
                // The column that followed the deleted one takes over, wrapping to the first.
                const int next = index < remaining ? index : 0;
                playPosition = next;
                newlyMarked = columns.getUnchecked (next);
                newlyMarked->isPlaying = true;
            }
        }
        else if (index < current)
        {
            playPosition = current - 1;
        }
    }

    // Deleting the component takes it off the grid; that need not hold up the audio thread.
    removed.reset();

    if (newlyMarked != nullptr)
        newlyMarked->repaint();

    fitWidthToColumns();
    resized();
}

void PianoGrid::deleteColumnComponent (juce::Component* column)
{
    const int index = indexOfColumn (column);

    if (index >= 0)
        deleteColumn (index);
}

void PianoGrid::clearColumns()
{
    // The columns are taken out under the lock and deleted after it, as this goes out of scope:
    // the audio thread need not wait for the components to go.
    juce::OwnedArray<PianoGridColumn> removed;

    {
        const juce::ScopedLock sl (editLock);
        removed.swapWith (columns);
        // A restored grid then starts like a fresh one: the first advance plays column 0.
        playPosition = -1;
    }
}

void PianoGrid::copyColumnToBuffer (const NoteCellArray& cells)
{
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

int PianoGrid::indexOfColumn (const juce::Component* component) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns.getUnchecked (i) == component)
            return i;

    return -1;
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
    auto menu = PianoGridMenu::create();
    const int choice = chooseFromMenu (menu);

    if (safeThis == nullptr)
        return;

    PianoGridMenu::perform (*this, choice, getComponentAt (event.getPosition()));
}

void PianoGrid::pasteCopyInto (int index)
{
    auto* target = getColumn (index);

    if (copyBuffer == nullptr || target == nullptr)
        return;

    auto& column = *target;

    {
        const juce::ScopedLock sl (editLock);

        for (int i = 0; i < numRows; ++i)
        {
            const auto* source = copyBuffer->getCell (i);
            column.cells.setOn (i, source->isOn);
            column.cells.setVelocity (i, source->velocity);
        }
    }

    column.postCommandMessage (0);
}

void PianoGrid::choosePlayPosition (int index)
{
    PianoGridColumn* previous = nullptr;
    auto* next = getColumn (index);

    if (next == nullptr)
        return;

    {
        const juce::ScopedLock sl (editLock);
        previous = getColumn (playPosition.load());

        if (previous != nullptr)
            previous->isPlaying = false;

        playPosition = index;
        next->isPlaying = true;
    }

    // The chord that sounds goes on; the next press plays the column after this one.
    if (previous != nullptr)
        previous->postCommandMessage (0);

    next->postCommandMessage (0);
}

//==============================================================================
void PianoGrid::paint (juce::Graphics&)
{
    // Nothing of its own: the gaps between the columns show what lies behind the grid.
}

void PianoGrid::resized()
{
    for (int i = 0; i < columns.size(); ++i)
        columns.getUnchecked (i)->setBounds (getColumnX (i), 0, columnWidth, getHeight());
}

void PianoGrid::handleCommandMessage (int commandId)
{
    if (commandId == 0)
        repaint();
}

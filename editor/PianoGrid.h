#pragma once

#include "editor/PianoGridColumn.h"
#include "engine/NoteCell.h"
#include "engine/NoteCellArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <memory>

// The step sequence of chords: a row of columns, one per step, and a play position that the
// chord player moves on every pedal press. A right click opens a menu that edits the sequence.
//
// Threads: the chord player calls advancePlayPosition and getCurrentColumnCells on the audio
// thread while it holds editLock. Everything else runs on the message thread and takes editLock
// only around the change of the columns, the play position or the cells, so the audio thread
// waits as little as possible; components are built, placed and repainted outside it. The audio
// thread only marks columns as needing a repaint; a timer on the message thread (which the host's
// idle runs) repaints them.
class PianoGrid : public juce::Component,
                  private juce::Timer
{
public:
    // editLock: the filter's filterLock; nullptr gives the grid a lock of its own.
    explicit PianoGrid (int initialColumns, juce::CriticalSection* editLock = nullptr);
    ~PianoGrid() override;

    // Audio thread, with editLock already held by the caller: allocates nothing, makes no system
    // call and takes no other lock; it stores the new marks and repaint flags, nothing more.
    void advancePlayPosition();
    void getCurrentColumnCells (NoteCell* out) const;

    // Message thread, possibly with filterLock held: marks the column at index as the one
    // sounding (none for an index that names no column). Allocates nothing.
    void markPlayPosition (int index);

    // Message thread: repaints the columns whose marks changed since the last call.
    void repaintFlaggedColumns();
    static constexpr int repaintCheckIntervalMs = 20;

    void getColumnCells (NoteCell* out, int columnIndex) const;
    void setColumnCells (const NoteCell* in, int columnIndex);
    int getNumColumns() const;
    int getNumRows() const;
    int getPlayPosition() const;

    void addColumn();
    void insertColumn (int index);
    void insertColumnBefore (juce::Component* column);
    void deleteColumn (int index);
    void deleteColumnComponent (juce::Component* column);
    void clearColumns();
    void copyColumnToBuffer (const NoteCellArray& cells);

    // The menu's "Paste": the copied cells into the column at index (nothing before a copy).
    void pasteCopyInto (int index);
    // The menu's "Set play position": the chord that sounds goes on, and the next press plays
    // the column after index.
    void choosePlayPosition (int index);
    // The column's index, -1 when the component is none of the grid's columns.
    int indexOfColumn (const juce::Component* component) const;

    PianoGridColumn* getColumn (int index) const;
    int getColumnWidth() const noexcept { return columnWidth; }
    const NoteCellArray* getCopyBuffer() const noexcept { return copyBuffer.get(); }

    void mouseDown (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void handleCommandMessage (int commandId) override;

protected:
    // Shows the menu modally and returns the chosen id, 0 when it was dismissed. Tests replace
    // it, since the menu needs a display.
    virtual int chooseFromMenu (juce::PopupMenu& menu);

private:
    void timerCallback() override;

    std::unique_ptr<PianoGridColumn> createColumn();
    int getColumnX (int index) const noexcept;
    void fitWidthToColumns();
    void setPlayingMark (PianoGridColumn& column, bool playing);

    juce::OwnedArray<PianoGridColumn> columns;
    std::unique_ptr<NoteCellArray> copyBuffer;
    // Always names an existing column, or is -1 while no column has been played (or none exists).
    std::atomic<int> playPosition { -1 };
    const int numRows = notesPerChord;
    const int columnWidth = 64;

    juce::CriticalSection ownLock;
    juce::CriticalSection& editLock;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PianoGrid)
};

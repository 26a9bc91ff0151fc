#pragma once

#include "editor/PianoGridColumn.h"
#include "engine/EditHistory.h"
#include "engine/GridState.h"
#include "engine/NoteCell.h"
#include "engine/NoteCellArray.h"
#include "engine/PlayPositionChange.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <optional>

class SequencePlayer;

// The step sequence of chords on screen: a row of columns, one per chord of the player's
// sequence, with the column that sounds marked. The user edits the sequence here (a click or a
// drag in a column, the Add button, the right-click menu) and every edit is published to the
// player at once; what the player publishes from elsewhere (a restored state) is shown at the
// next refresh.
//
// Only the columns in view exist as components (the grid is as wide as all its columns, in a
// viewport), so a grid of thousands of chords costs no more to show than one screenful.
//
// Threads: message thread only. It never touches the audio thread's data: it reads the
// published sequence and the play position, and publishes new sequences.
class PianoGrid : public juce::Component,
                  private juce::Timer
{
public:
    // Shows the player's sequence; publishes one of freshColumns empty columns when there is
    // none yet. Waits on the player's locks briefly.
    explicit PianoGrid (SequencePlayer& player, int freshColumns = 2);
    ~PianoGrid() override;

    // Takes up the sequence the player holds now (when another publisher replaced it), the
    // column that sounds and the column the next press plays. Its timer calls it every
    // refreshIntervalMs.
    void refreshFromPlayer();
    static constexpr int refreshIntervalMs = 20;

    // Reading what is shown.
    void getColumnCells (NoteCell* out, int columnIndex) const;
    int getNumColumns() const;
    int getNumRows() const;
    // The column marked as sounding, -1 when none.
    int getPlayPosition() const;
    // The column cued as the one the next press plays, when that is not simply the one after the
    // sounding column (after a jump, a chosen position, a Stop ...); -1 when none.
    int getCuedColumn() const noexcept { return cuedColumn; }
    std::shared_ptr<const GridState> getShownSequence() const { return shown; }

    // Edits; each publishes the edited sequence to the player. Waits on the player's locks.
    // stepName names the step in the edit history ("edit column 3" when empty); edits with the
    // same non-zero mergeKey in a row are one step.
    void setColumnCells (const NoteCell* in, int columnIndex, const juce::String& stepName = {}, int64_t mergeKey = 0);
    void setNoteVelocity (int columnIndex, int note, int velocity);
    void addColumn();
    void insertColumn (int index);
    void insertColumnBefore (juce::Component* column);
    void deleteColumn (int index);
    void deleteColumnComponent (juce::Component* column);
    // The menu's "Paste": the copied cells into the column at index (nothing before a copy).
    void pasteCopyInto (int index);
    // The menu's "Set play position": the chord that sounds goes on, and the next press plays
    // the column after index, which is cued.
    void choosePlayPosition (int index);

    // Takes back the last edit (does again the last one taken back), from the player's history,
    // and shows the result. false when there was none. Waits on the player's locks.
    bool undo();
    bool redo();
    // "column 7": how the steps name column index 6.
    static juce::String columnName (int index);

    // The grid as a chord chart ("C Am7 | F/A G7 |"), and a chart's chords put in as columns at
    // index (past the end: appended). A chart with a name the vocabulary does not know changes
    // nothing and answers why, on one line.
    juce::String getChart() const;
    juce::Result insertChart (const juce::String& chart, int index);

    // The selected block of columns (empty when none). A shift-click on a name selects that
    // column, or the run from the first selected to it; dragging a name moves the block it lies
    // in (or its column alone) to the gap it is dropped on.
    juce::Range<int> getSelection() const noexcept { return selection; }
    void selectColumns (juce::Range<int> columns);
    // The block of count columns from first moved to the gap before column gap (0 to the number
    // of columns); the selection follows it. A gap inside or beside the block changes nothing.
    void moveColumns (int first, int count, int gap);
    // The block that the menu's Copy, Cut and Delete act on for a click on column index: the
    // selection when it holds index, index alone otherwise.
    juce::Range<int> blockAt (int index) const;
    // The block's columns, exactly, to paste; its chart goes to the clipboard.
    void copyBlock (juce::Range<int> columns);
    void deleteBlock (juce::Range<int> columns);
    // The copied block's columns go in before column index; nothing when the copy was of one
    // column (which the menu's Paste puts into a column instead).
    void insertCopiedBlock (int index);
    const GridState* getCopiedBlock() const noexcept { return copiedBlock.get(); }
    // The gap a dragged name would drop on now, -1 when no drag is under way.
    int getDropGap() const noexcept { return dropGap; }

    void copyColumnToBuffer (const NoteCellArray& cells);
    const NoteCellArray* getCopyBuffer() const noexcept { return copyBuffer.get(); }

    // The column's index, -1 when the component is none of the grid's columns.
    int indexOfColumn (const juce::Component* component) const;
    // The component showing column index while it is in view, nullptr otherwise.
    PianoGridColumn* getColumn (int index) const;
    int getNumColumnComponents() const noexcept { return columnComponents.size(); }
    int getColumnWidth() const noexcept { return columnWidth; }
    SequencePlayer& getPlayer() const noexcept { return player; }

    // Something the player should read (why a paste was refused); the editor shows it.
    std::function<void (const juce::String&)> onMessage;
    // The menu's zoom was chosen (percent); the editor applies it.
    std::function<void (int)> onZoom;
    int getColumnX (int index) const noexcept;

    void mouseDown (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    void paintOverChildren (juce::Graphics& g) override;
    void resized() override;
    void moved() override;
    void parentSizeChanged() override;
    void handleCommandMessage (int commandId) override;

protected:
    // Shows the menu modally and returns the chosen id, 0 when it was dismissed. Tests replace
    // it, since the menu needs a display.
    virtual int chooseFromMenu (juce::PopupMenu& menu);

private:
    void timerCallback() override;

    // true when the player held a sequence other than the one shown, which is shown now.
    bool adoptPublishedSequence();
    // Publishes the edit and records it as a step; selectAfter names the columns it leaves
    // selected (none given: the selection stays, or goes if columns came or went).
    void publish (std::unique_ptr<GridState> edited, const EditHistory::GridEdit& edit,
                  std::optional<juce::Range<int>> selectAfter = std::nullopt);
    void show (std::shared_ptr<const GridState> sequence);
    // true when the sounding or the cued column changed.
    bool readMarks();
    void columnEdited (PianoGridColumn& column, int note);
    void nameGesture (PianoGridColumn& column, PianoGridColumn::NameGesture gesture, const juce::MouseEvent& event);
    int gapAt (int x) const noexcept;
    void showSelection();

    juce::Range<int> columnsInView() const;
    void layOutColumnsInView();
    std::unique_ptr<PianoGridColumn> createColumn();
    void showColumn (PianoGridColumn& column, int index);

    SequencePlayer& player;
    std::shared_ptr<const GridState> shown;
    int markedColumn = -1;
    int cuedColumn = -1;

    juce::OwnedArray<PianoGridColumn> columnComponents;
    std::unique_ptr<NoteCellArray> copyBuffer;
    std::shared_ptr<const GridState> copiedBlock;
    juce::Range<int> selection;
    int selectionAnchor = -1;
    int dropGap = -1;
    const int numRows = notesPerChord;
    const int columnWidth = 64;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PianoGrid)
};

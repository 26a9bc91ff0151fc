#include "editor/PianoGridMenu.h"

#include "editor/PianoGrid.h"
#include "editor/EditorZoom.h"
#include "editor/PlayerSettingsMenu.h"
#include "engine/NoteCell.h"

#include <juce_audio_basics/juce_audio_basics.h>

const int PianoGridMenu::velocityChoices[] = { 127, 112, 100, 88, 76, 64, 52, 40, 28, 16 };
const int PianoGridMenu::numVelocityChoices = (int) (sizeof (velocityChoices) / sizeof (velocityChoices[0]));

juce::PopupMenu PianoGridMenu::create (const PianoGrid& grid, int columnIndex, int note)
{
    juce::PopupMenu menu;
    // Named after the step they take, so that a player sees what a click will change.
    auto& history = grid.getPlayer().getHistory();
    const auto undoName = history.getUndoName();
    const auto redoName = history.getRedoName();
    menu.addItem (undoItem, undoName.isEmpty() ? "Undo" : "Undo " + undoName, undoName.isNotEmpty());
    menu.addItem (redoItem, redoName.isEmpty() ? "Redo" : "Redo " + redoName, redoName.isNotEmpty());
    menu.addSeparator();
    // On a column of the selected block, Delete, Cut and Copy take the whole block.
    const auto block = grid.blockAt (columnIndex);
    const auto ofBlock = block.getLength() > 1 ? " columns " + juce::String (block.getStart() + 1) + " to " + juce::String (block.getEnd())
                                               : juce::String();
    menu.addItem (deleteItem, "Delete" + ofBlock);
    menu.addItem (insertNewItem, "Insert new");
    menu.addItem (cutItem, "Cut" + ofBlock);
    menu.addItem (copyItem, "Copy" + ofBlock);
    const auto* copied = grid.getCopiedBlock();
    menu.addItem (pasteItem, copied != nullptr ? "Paste " + juce::String (copied->getNumColumns()) + " columns before this one" : "Paste");
    menu.addSeparator();
    menu.addItem (setPlayPositionItem, "Set play position");
    menu.addSeparator();
    menu.addItem (copyChartItem, "Copy the grid as a chord chart");
    menu.addItem (pasteChartItem, columnIndex >= 0 ? "Paste a chord chart before this column" : "Paste a chord chart at the end");

    NoteCell cells[notesPerChord];

    if (columnIndex < 0 || note < 0 || note >= notesPerChord)
        return withPlayingSettings (menu, grid);

    grid.getColumnCells (cells, columnIndex);

    if (cells[note].isOn == 0)
        return withPlayingSettings (menu, grid);

    juce::PopupMenu velocities;

    for (int i = 0; i < numVelocityChoices; ++i)
        velocities.addItem (firstVelocityItem + velocityChoices[i], juce::String (velocityChoices[i]), true,
                            velocityChoices[i] == cells[note].velocity);

    menu.addSeparator();
    menu.addSubMenu ("Velocity of " + juce::MidiMessage::getMidiNoteName (note, true, true, 4)
                         + " (" + juce::String (cells[note].velocity) + ")",
                     velocities);
    return withPlayingSettings (menu, grid);
}

juce::PopupMenu PianoGridMenu::withPlayingSettings (juce::PopupMenu menu, const PianoGrid& grid)
{
    menu.addSeparator();
    menu.addSubMenu ("Playing", PlayerSettingsMenu::create (grid.getPlayer()));

    if (grid.onZoom)
    {
        juce::PopupMenu zoom;
        const int current = EditorZoom::load();
        for (auto percent : EditorZoom::choices)
            zoom.addItem (zoomItem + percent, juce::String (percent) + " %", true, percent == current);
        menu.addSubMenu ("Zoom", zoom);
    }

    return menu;
}

void PianoGridMenu::perform (PianoGrid& grid, int itemId, juce::Component* target, int note)
{
    perform (grid, itemId, grid.indexOfColumn (target), note);
}

void PianoGridMenu::perform (PianoGrid& grid, int itemId, int index, int note)
{
    // The settings and the chart apply wherever the click was.
    if (PlayerSettingsMenu::perform (grid.getPlayer(), itemId))
        return;

    if (EditorZoom::isChoice (itemId - zoomItem))
    {
        if (grid.onZoom)
            grid.onZoom (itemId - zoomItem);

        return;
    }

    if (itemId == undoItem || itemId == redoItem)
    {
        if (itemId == undoItem)
            grid.undo();
        else
            grid.redo();

        grid.postCommandMessage (0);
        return;
    }

    if (itemId == copyChartItem)
    {
        clipboard().copy (grid.getChart());
        return;
    }

    if (itemId == pasteChartItem)
    {
        const auto result = grid.insertChart (clipboard().paste(), index);

        if (result.failed() && grid.onMessage)
            grid.onMessage ("Not pasted: " + result.getErrorMessage());

        return;
    }

    if (index < 0 || index >= grid.getNumColumns())
        return;

    if (itemId > firstVelocityItem && itemId <= firstVelocityItem + 127)
    {
        grid.setNoteVelocity (index, note, itemId - firstVelocityItem);
        return;
    }

    switch (itemId)
    {
        case deleteItem:
            grid.deleteBlock (grid.blockAt (index));
            grid.postCommandMessage (0);
            break;

        case cutItem:
            perform (grid, copyItem, index);
            perform (grid, deleteItem, index);
            break;

        case insertNewItem:
            grid.insertColumn (index);
            grid.postCommandMessage (0);
            break;

        case copyItem:
        {
            if (grid.blockAt (index).getLength() > 1)
            {
                grid.copyBlock (grid.blockAt (index));
                break;
            }

            NoteCellArray cells (grid.getNumRows());
            grid.getColumnCells (cells.data(), index);
            grid.copyColumnToBuffer (cells);
            break;
        }

        case pasteItem:
            if (grid.getCopiedBlock() != nullptr)
                grid.insertCopiedBlock (index);
            else
                grid.pasteCopyInto (index);
            break;

        case setPlayPositionItem:
            grid.choosePlayPosition (index);
            break;

        default:
            break;
    }
}

PianoGridMenu::Clipboard& PianoGridMenu::clipboard()
{
    static Clipboard systemClipboard {
        [] (const juce::String& text) { juce::SystemClipboard::copyTextToClipboard (text); },
        [] { return juce::SystemClipboard::getTextFromClipboard(); }
    };
    return systemClipboard;
}

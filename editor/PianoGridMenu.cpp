#include "editor/PianoGridMenu.h"

#include "editor/PianoGrid.h"

juce::PopupMenu PianoGridMenu::create()
{
    juce::PopupMenu menu;
    menu.addItem (deleteItem, "Delete");
    menu.addItem (insertNewItem, "Insert new");
    menu.addItem (copyItem, "Copy");
    menu.addItem (pasteItem, "Paste");
    menu.addSeparator();
    menu.addItem (setPlayPositionItem, "Set play position");
    return menu;
}

void PianoGridMenu::perform (PianoGrid& grid, int itemId, juce::Component* target)
{
    const int index = grid.indexOfColumn (target);

    if (index < 0)
        return;

    auto& column = *grid.getColumn (index);

    switch (itemId)
    {
        case deleteItem:
            grid.deleteColumnComponent (&column);
            grid.postCommandMessage (0);
            break;

        case insertNewItem:
            grid.insertColumnBefore (&column);
            grid.postCommandMessage (0);
            break;

        case copyItem:
            grid.copyColumnToBuffer (column.cells);
            break;

        case pasteItem:
            grid.pasteCopyInto (index);
            break;

        case setPlayPositionItem:
            grid.choosePlayPosition (index);
            break;

        default:
            break;
    }
}

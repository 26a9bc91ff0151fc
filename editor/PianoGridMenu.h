#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class PianoGrid;

// The grid's popup menu, opened by a right click: its items, and what each does to the column
// the click was on. Message thread.
class PianoGridMenu
{
public:
    enum ItemId
    {
        deleteItem = 1,
        insertNewItem = 2,
        copyItem = 3,
        pasteItem = 4,
        setPlayPositionItem = 5
    };

    static juce::PopupMenu create();

    // Does what the chosen item says to target, when target is one of the grid's columns;
    // anything else (a gap between columns, a dismissed menu) changes nothing.
    static void perform (PianoGrid& grid, int itemId, juce::Component* target);
};

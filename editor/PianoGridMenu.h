#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class PianoGrid;

// The grid's popup menu, opened by a right click: its items, and what each does to the column
// the click was on. On a note that is on, a submenu sets that note's velocity; a last submenu
// holds the player's settings. Message thread.
class PianoGridMenu
{
public:
    enum ItemId
    {
        deleteItem = 1,
        insertNewItem = 2,
        copyItem = 3,
        pasteItem = 4,
        setPlayPositionItem = 5,
        copyChartItem = 6,
        pasteChartItem = 7,
        undoItem = 8,
        redoItem = 9,
        cutItem = 10,
        // zoomItem + p sets the window's zoom to p percent.
        zoomItem = 2000,
        // firstVelocityItem + v sets the note's velocity to v (1 to 127).
        firstVelocityItem = 1000
    };

    // The velocities the submenu offers.
    static const int velocityChoices[];
    static const int numVelocityChoices;

    // The menu for a click on column columnIndex (-1: no column) at note (-1: no note).
    static juce::PopupMenu create (const PianoGrid& grid, int columnIndex, int note);

    // Does what the chosen item says to the column at columnIndex (and note, for a velocity);
    // a click that was on no column, or a dismissed menu, changes nothing.
    static void perform (PianoGrid& grid, int itemId, int columnIndex, int note = -1);
    // The same, for the column component the click was on.
    static void perform (PianoGrid& grid, int itemId, juce::Component* target, int note = -1);

    // Where the chart items take and put their text: the system's clipboard. Tests, which may
    // have no display, put a text of their own in between.
    struct Clipboard
    {
        std::function<void (const juce::String&)> copy;
        std::function<juce::String()> paste;
    };
    static Clipboard& clipboard();

private:
    static juce::PopupMenu withPlayingSettings (juce::PopupMenu menu, const PianoGrid& grid);
};

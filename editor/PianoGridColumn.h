#pragma once

#include "engine/NoteCellArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// One step of the grid on screen: one chord, drawn as one row per MIDI note with note 127 at the
// top, each note that is on drawn as a bar as long as its velocity is loud, and the chord's name
// in a band across the top. A click switches a note; dragging up or down on a note that is on
// sets its velocity. Every press is also passed on to the parent, which owns the menu. The name
// band is the column's handle: dragged sideways it moves the column (the grid moves it), and a
// shift-click on it selects; a press there that does neither is a note press as anywhere else.
//
// The column shows a copy of its chord's cells and edits that copy; onCellsEdited hands each
// edit to the grid, which publishes it. Message thread only.
class PianoGridColumn : public juce::Component
{
public:
    explicit PianoGridColumn (int numCells);
    ~PianoGridColumn() override;

    void mouseDown (const juce::MouseEvent& event) override;
    void mouseDrag (const juce::MouseEvent& event) override;
    void mouseUp (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    void handleCommandMessage (int commandId) override;

    // Shows these cells (count of them; the rest default), repainting only when they differ.
    void showCells (const NoteCell* newCells, int count);
    // Marks the column as the one sounding, repainting only when the mark changes.
    void setPlaying (bool playing);
    // Marks the column as the one the next press plays (a quieter mark than the sounding one's:
    // an outline around its name), repainting only when the mark changes.
    void setCued (bool cued);
    // Marks the column as one of the selected block, repainting only when the mark changes.
    void setSelected (bool selected);
    // The grid was replaced under a press (a restore): the press edits nothing more.
    void abandonPress() noexcept { press = {}; }
    // Tells the presses apart: the same number for every edit of one press, never 0.
    int64_t getPressSerial() const noexcept { return press.serial; }

    // The chord's name, as the column shows it; worked out whenever its notes change.
    const juce::String& getChordName() const noexcept { return chordName; }
    static constexpr int nameBandHeight = 13;

    float getRowHeight() const noexcept;
    // The note shown at y (in the column's coordinates), or -1 when no row lies there.
    int getNoteAtY (float y) const noexcept;

    static juce::Colour getRowColour (int note, bool playing) noexcept;
    static juce::Colour getOnColour (bool playing) noexcept;
    // The part of a row past a note's velocity bar.
    static juce::Colour getQuietColour (int note, bool playing) noexcept;
    // How much of a row's width a note of this velocity fills.
    static float velocityFraction (int32_t velocity) noexcept;

    // Pixels of drag per step of velocity.
    static constexpr float pixelsPerVelocityStep = 1.0f;
    // A velocity drag hands its edits on at most this often, and once more at mouse-up: each one
    // publishes a whole grid.
    static constexpr juce::uint32 dragEditIntervalMs = 33;

    NoteCellArray cells;
    const int numCells;
    // The index of the chord it shows, in the grid's sequence.
    int columnIndex = -1;
    bool isPlaying = false;
    bool isCued = false;
    bool isSelected = false;

    // Called after the user changed cells (a click or a velocity drag); the note that changed.
    std::function<void (PianoGridColumn&, int note)> onCellsEdited;

    // What a press on the name band does, for the grid to act on; the event is the column's.
    enum class NameGesture { shiftClick, drag, drop };
    std::function<void (PianoGridColumn&, NameGesture, const juce::MouseEvent&)> onNameGesture;

private:
    void pressNote (const juce::MouseEvent& event);
    // A press on the name band became a note press: it is done as if it had been one from the start.
    void pressNoteInstead (const juce::MouseEvent& laterEvent);
    void toggleNote (int note);
    void setVelocity (int note, int32_t velocity);
    void cellsEdited (int note);
    void forwardToParent (const juce::MouseEvent& event);
    void paintRowBackgrounds (juce::Graphics& g, float width, float rowHeight, bool playing);
    void paintNotesThatAreOn (juce::Graphics& g, float width, float rowHeight, bool playing);
    void paintChordName (juce::Graphics& g, bool playing);
    void nameChord();

    // A press on a note that was on: it goes off on release, unless the press became a drag.
    struct Press
    {
        int note = -1;
        int32_t startVelocity = 0;
        bool switchOffOnRelease = false;
        bool dragged = false;
        bool editHeldBack = false;
        juce::uint32 lastEditMs = 0;
        int64_t serial = 0;
        // A press on the name band, until it shows what it is; then whether it moves the column.
        bool onNameUndecided = false;
        bool movingColumn = false;
    };
    Press press;
    juce::String chordName;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PianoGridColumn)
};

#pragma once

#include "engine/NoteCellArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>

// One step of the grid: one chord, drawn as one row per MIDI note with note 127 at the top.
// A left click switches a note; every click is passed on to the parent, which owns the menu.
class PianoGridColumn : public juce::Component
{
public:
    // editLock guards the cells against the audio thread's reads; nullptr gives the column a
    // lock of its own, for a column that lives outside a grid.
    explicit PianoGridColumn (int numCells, juce::CriticalSection* editLock = nullptr);
    ~PianoGridColumn() override;

    void mouseDown (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    void handleCommandMessage (int commandId) override;

    float getRowHeight() const noexcept;
    // The note shown at y (in the column's coordinates), or -1 when no row lies there.
    int getNoteAtY (float y) const noexcept;

    static juce::Colour getRowColour (int note, bool playing) noexcept;
    static juce::Colour getOnColour (bool playing) noexcept;

    // The grid reads and writes these directly. The audio thread copies the cells, so every
    // write to them holds the edit lock.
    NoteCellArray cells;
    const int numCells;
    // The audio thread moves the play position and cannot paint: it sets these two, and the
    // grid repaints flagged columns later on the message thread.
    std::atomic<bool> isPlaying { false };
    std::atomic<bool> repaintPending { false };

private:
    void toggleNote (int note);
    void forwardToParent (const juce::MouseEvent& event);
    void paintRowBackgrounds (juce::Graphics& g, float width, float rowHeight, bool playing);
    void paintNotesThatAreOn (juce::Graphics& g, float width, float rowHeight, bool playing);

    juce::CriticalSection ownLock;
    juce::CriticalSection& editLock;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PianoGridColumn)
};

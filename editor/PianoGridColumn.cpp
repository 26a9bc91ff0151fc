#include "editor/PianoGridColumn.h"

#include "editor/VirtualPiano.h"

namespace
{
    // The rows are counted from note 127 at the top whatever the cell count, so a column with
    // fewer cells leaves its top notes without a cell.
    constexpr int topNote = 127;
}

PianoGridColumn::PianoGridColumn (int numCellsToHold, juce::CriticalSection* sharedEditLock)
    : cells (numCellsToHold),
      numCells (numCellsToHold),
      editLock (sharedEditLock != nullptr ? *sharedEditLock : ownLock)
{
    // 2 × 128 fills per repaint are too many to redo every time the viewport scrolls.
    setBufferedToImage (true);
}

PianoGridColumn::~PianoGridColumn() = default;

float PianoGridColumn::getRowHeight() const noexcept
{
    return numCells > 0 ? (float) getHeight() / (float) numCells : 0.0f;
}

int PianoGridColumn::getNoteAtY (float y) const noexcept
{
    const float rowHeight = getRowHeight();

    if (rowHeight <= 0.0f || y < 0.0f)
        return -1;

    const int row = (int) (y / rowHeight);
    const int note = topNote - row;
    return note >= 0 && note < numCells ? note : -1;
}

void PianoGridColumn::mouseDown (const juce::MouseEvent& event)
{
    if (event.mods.isLeftButtonDown())
    {
        const int note = getNoteAtY ((float) event.y);

        if (note >= 0)
        {
            toggleNote (note);
            repaint();
        }
    }

    forwardToParent (event);
}

void PianoGridColumn::toggleNote (int note)
{
    const juce::ScopedLock sl (editLock);
    cells.toggle (note);
    // Switching off resets the velocity too: a click never keeps a restored velocity.
    cells.setVelocity (note, NoteCell::defaultVelocity);
}

void PianoGridColumn::forwardToParent (const juce::MouseEvent& event)
{
    if (auto* parent = getParentComponent())
        parent->mouseDown (event.getEventRelativeTo (parent));
}

void PianoGridColumn::paint (juce::Graphics& g)
{
    const float width = (float) getWidth();
    const float rowHeight = getRowHeight();
    const bool playing = isPlaying.load();

    paintRowBackgrounds (g, width, rowHeight, playing);
    paintNotesThatAreOn (g, width, rowHeight, playing);
}

void PianoGridColumn::paintRowBackgrounds (juce::Graphics& g, float width, float rowHeight, bool playing)
{
    float y = 0.0f;

    for (int row = 0; row < numCells; ++row)
    {
        g.setColour (getRowColour (topNote - row, playing));
        g.fillRect (juce::Rectangle<float> (0.0f, y, width, rowHeight));
        y += rowHeight;
    }
}

void PianoGridColumn::paintNotesThatAreOn (juce::Graphics& g, float width, float rowHeight, bool playing)
{
    g.setColour (getOnColour (playing));
    float y = 0.0f;

    for (int row = 0; row < numCells; ++row)
    {
        const auto* cell = cells.getCell (topNote - row);

        if (cell != nullptr && cell->isOn != 0)
            g.fillRect (juce::Rectangle<float> (0.0f, y, width, rowHeight));

        y += rowHeight;
    }
}

void PianoGridColumn::handleCommandMessage (int commandId)
{
    if (commandId == 0)
        repaint();
}

juce::Colour PianoGridColumn::getRowColour (int note, bool playing) noexcept
{
    if (note % 12 == 0)
        return juce::Colour (playing ? 0xFFB4DCB4 : 0xFFA0D2A0);

    if (! VirtualPiano::isWhiteKey (note))
        return juce::Colour (playing ? 0xFF8CB98C : 0xFF78AA78);

    return juce::Colour (playing ? 0xFFAAD2AA : 0xFF96C896);
}

juce::Colour PianoGridColumn::getOnColour (bool playing) noexcept
{
    return juce::Colour (playing ? 0xFFFF0000 : 0xFF7FFFD4);
}

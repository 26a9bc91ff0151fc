#include "editor/PianoGridColumn.h"

#include "editor/VirtualPiano.h"
#include "engine/ChordVocabulary.h"

#include <algorithm>
#include <cmath>

namespace
{
    // The rows are counted from note 127 at the top whatever the cell count, so a column with
    // fewer cells leaves its top notes without a cell.
    constexpr int topNote = 127;
    // A press moves this far before it counts as a velocity drag rather than a click.
    constexpr int dragThresholdPixels = 3;
}

PianoGridColumn::PianoGridColumn (int numCellsToHold)
    : cells (numCellsToHold),
      numCells (numCellsToHold)
{
    // 2 × 128 fills per repaint are too many to redo every time the viewport scrolls.
    setBufferedToImage (true);
    nameChord();
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

void PianoGridColumn::showCells (const NoteCell* newCells, int count)
{
    bool changed = false;

    for (int i = 0; i < numCells; ++i)
    {
        const NoteCell shown = i < count ? newCells[i] : NoteCell {};
        auto& cell = *cells.getCell (i);
        changed = changed || (cell.isOn != 0) != (shown.isOn != 0) || cell.velocity != shown.velocity;
        cell = shown;
    }

    if (changed)
    {
        nameChord();
        repaint();
    }
}

void PianoGridColumn::nameChord()
{
    chordName = ChordVocabulary::nameOf (cells.data(), numCells);
}

void PianoGridColumn::setCued (bool cued)
{
    if (isCued == cued)
        return;

    isCued = cued;
    repaint();
}

void PianoGridColumn::setSelected (bool selected)
{
    if (isSelected == selected)
        return;

    isSelected = selected;
    repaint();
}

void PianoGridColumn::setPlaying (bool playing)
{
    if (isPlaying == playing)
        return;

    isPlaying = playing;
    repaint();
}

//==============================================================================
void PianoGridColumn::mouseDown (const juce::MouseEvent& event)
{
    static int64_t pressesSoFar = 0;
    press = {};
    press.serial = ++pressesSoFar;

    if (event.mods.isLeftButtonDown() && event.y < nameBandHeight && onNameGesture)
    {
        if (event.mods.isShiftDown())
            onNameGesture (*this, NameGesture::shiftClick, event);
        else
            press.onNameUndecided = true;

        return;
    }

    pressNote (event);
    forwardToParent (event);
}

void PianoGridColumn::pressNote (const juce::MouseEvent& event)
{
    if (! event.mods.isLeftButtonDown())
        return;

    const int note = getNoteAtY ((float) event.mouseDownPosition.y);

    if (note < 0)
        return;

    press.note = note;

    if (cells.getCell (note)->isOn != 0)
    {
        press.startVelocity = cells.getCell (note)->velocity;
        press.switchOffOnRelease = true;
    }
    else
    {
        toggleNote (note);
        press.startVelocity = NoteCell::defaultVelocity;
        cellsEdited (note);
    }
}

void PianoGridColumn::pressNoteInstead (const juce::MouseEvent& laterEvent)
{
    press.onNameUndecided = false;
    pressNote (laterEvent.withNewPosition (laterEvent.mouseDownPosition));
}

void PianoGridColumn::mouseDrag (const juce::MouseEvent& event)
{
    if (press.onNameUndecided)
    {
        const int across = std::abs (event.getDistanceFromDragStartX());
        const int along = std::abs (event.getDistanceFromDragStartY());

        if (std::max (across, along) < dragThresholdPixels)
            return;

        if (across > along)
        {
            press.onNameUndecided = false;
            press.movingColumn = true;
        }
        else
        {
            pressNoteInstead (event);
        }
    }

    if (press.movingColumn)
    {
        onNameGesture (*this, NameGesture::drag, event);
        return;
    }

    if (press.note < 0 || ! event.mods.isLeftButtonDown())
        return;

    const int rise = -event.getDistanceFromDragStartY();

    if (! press.dragged && std::abs (rise) < dragThresholdPixels)
        return;

    press.dragged = true;
    const auto velocity = (int32_t) std::clamp (press.startVelocity + (int32_t) std::lround ((float) rise / pixelsPerVelocityStep),
                                                (int32_t) 1, (int32_t) 127);
    setVelocity (press.note, velocity);
}

void PianoGridColumn::mouseUp (const juce::MouseEvent& event)
{
    if (press.movingColumn)
    {
        press = {};
        onNameGesture (*this, NameGesture::drop, event);
        return;
    }

    if (press.onNameUndecided)
        pressNoteInstead (event);

    if (press.note >= 0 && press.switchOffOnRelease && ! press.dragged)
    {
        toggleNote (press.note);
        cellsEdited (press.note);
    }
    else if (press.note >= 0 && press.editHeldBack)
    {
        cellsEdited (press.note);
    }

    press = {};
}

void PianoGridColumn::toggleNote (int note)
{
    cells.toggle (note);
    // Switching off resets the velocity too: a click never keeps a restored velocity.
    cells.setVelocity (note, NoteCell::defaultVelocity);
    nameChord();
    repaint();
}

void PianoGridColumn::setVelocity (int note, int32_t velocity)
{
    auto* cell = cells.getCell (note);

    if (cell == nullptr || (cell->isOn != 0 && cell->velocity == velocity))
        return;

    cell->isOn = 1;
    cell->velocity = velocity;
    repaint();

    const auto now = juce::Time::getMillisecondCounter();

    if (press.lastEditMs != 0 && now - press.lastEditMs < dragEditIntervalMs)
    {
        press.editHeldBack = true;
        return;
    }

    press.lastEditMs = now == 0 ? 1 : now;
    press.editHeldBack = false;
    cellsEdited (note);
}

void PianoGridColumn::cellsEdited (int note)
{
    if (onCellsEdited)
        onCellsEdited (*this, note);
}

void PianoGridColumn::forwardToParent (const juce::MouseEvent& event)
{
    if (auto* parent = getParentComponent())
        parent->mouseDown (event.getEventRelativeTo (parent));
}

//==============================================================================
void PianoGridColumn::paint (juce::Graphics& g)
{
    const float width = (float) getWidth();
    const float rowHeight = getRowHeight();

    paintRowBackgrounds (g, width, rowHeight, isPlaying);
    paintNotesThatAreOn (g, width, rowHeight, isPlaying);
    paintChordName (g, isPlaying);
}

void PianoGridColumn::paintChordName (juce::Graphics& g, bool playing)
{
    // Over the top rows (notes 127 to 125, seldom played), see-through enough to show a note
    // that is on there. The column that sounds has its name in white on red.
    const auto band = getLocalBounds().removeFromTop (nameBandHeight).toFloat();
    g.setColour (playing ? juce::Colour (0xE0C00000) : juce::Colour (0xB0202020));
    g.fillRect (band);
    g.setColour (playing ? juce::Colours::white : juce::Colour (0xFFE8E8E8));
    g.setFont (juce::Font (11.5f, playing ? juce::Font::bold : juce::Font::plain));
    g.drawFittedText (chordName, getLocalBounds().removeFromTop (nameBandHeight).reduced (2, 0),
                      juce::Justification::centred, 1, 0.7f);

    // A column of the selected block: a light line under its name.
    if (isSelected)
    {
        g.setColour (juce::Colour (0xFF7FD4FF));
        g.fillRect (band.withTop (band.getBottom() - 3.0f));
    }

    // The column the next press plays, when it is not simply the one after the sounding one: the
    // sounding mark's red, as an outline only.
    if (isCued && ! playing)
    {
        g.setColour (juce::Colour (0xFFE00000));
        g.drawRect (band, 2.0f);
    }
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
    float y = 0.0f;

    for (int row = 0; row < numCells; ++row)
    {
        const int note = topNote - row;
        const auto* cell = cells.getCell (note);

        if (cell != nullptr && cell->isOn != 0)
        {
            const float loud = width * velocityFraction (cell->velocity);
            g.setColour (getOnColour (playing));
            g.fillRect (juce::Rectangle<float> (0.0f, y, loud, rowHeight));
            g.setColour (getQuietColour (note, playing));
            g.fillRect (juce::Rectangle<float> (loud, y, width - loud, rowHeight));
        }

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

juce::Colour PianoGridColumn::getQuietColour (int note, bool playing) noexcept
{
    // Halfway between the row and the note: still plainly a note that is on.
    return getRowColour (note, playing).interpolatedWith (getOnColour (playing), 0.4f);
}

float PianoGridColumn::velocityFraction (int32_t velocity) noexcept
{
    // As the note sounds: 1 to 127.
    return (float) std::clamp (velocity, (int32_t) 1, (int32_t) 127) / 127.0f;
}

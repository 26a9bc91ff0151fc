#include "engine/Corvadel.h"

#include "editor/DemoEditorComponent.h"
#include "editor/PianoGrid.h"
#include "engine/MidiBufferLayout.h"
#include "engine/ProductIdentity.h"

#include <algorithm>

namespace
{
constexpr int pedalController = 64;
constexpr uint8_t noteOnStatus = 0x90;   // channel 1
constexpr uint8_t noteOffStatus = 0x80;  // channel 1

bool isPedalMessage (const juce::MidiMessageMetadata& event)
{
    return event.numBytes >= 3 && (event.data[0] & 0xF0) == 0xB0 && event.data[1] == pedalController;
}
}

AudioFilterBase* createFilterInstance()
{
    return new Corvadel();
}

Corvadel::Corvadel()
{
    currentProgram = 0;
    outputEvents.ensureSize (MidiBufferLayout::reservedBytes);
}

Corvadel::~Corvadel() = default;

void Corvadel::fillFilterProperties (FilterProperties& p)
{
    p.uniqueId = ProductIdentity::uniqueId;
    p.numInputChannels = 2;
    p.numOutputChannels = 2;
    p.latencySamples = 0;
    p.isSynth = true;
    p.wantsMidiInput = true;
    p.producesMidiOutput = true;
    p.hasNoTail = false;
}

void Corvadel::prepareForPlayback (double, int)
{
    // Notes are placed by the sample positions of the presses alone: neither the rate nor the
    // block size matters to the chords (the bridge keeps both for the filter).
    outputEvents.ensureSize (MidiBufferLayout::reservedBytes);
}

void Corvadel::releasePlaybackResources()
{
}

void Corvadel::processNextBlock (juce::AudioBuffer<float>&, juce::AudioBuffer<float>&, bool,
                                 juce::MidiBuffer& midiMessages)
{
    handlePedalMidi (midiMessages);
}

void Corvadel::handlePedalMidi (juce::MidiBuffer& midiMessages)
{
    output.clear();

    // A Stop asked for before this block ends the chord that sounded when the block began. Were
    // it handled after this block's presses, it would end a chord started later in the block at
    // position 0, before that chord's notes begin, and leave them hanging.
    if (stopRequested)
    {
        endChord (0);
        stopRequested = false;
    }

    for (const auto event : midiMessages)
    {
        if (! isPedalMessage (event))
            continue;

        if (event.data[2] == 0)
        {
            if (chordSounding)
                pedalReleased = true;
        }
        else if (pedalReleased)
        {
            trigger (event.samplePosition);
        }
    }

    midiMessages.clear();

    // Swapping hands over the output without copying; both buffers keep their reserved room.
    midiMessages.swapWith (outputEvents);
}

void Corvadel::trigger (int samplePosition)
{
    if (chordSounding)
        endChord (samplePosition);

    if (auto* grid = openGrid())
    {
        grid->advancePlayPosition();
        grid->getCurrentColumnCells (chord);
    }
    else if (keptState != nullptr)
    {
        stepKeptGrid();
    }

    // With no grid at all the chord played last starts again.
    startChord (samplePosition);
    chordSounding = true;
    pedalReleased = false;
}

void Corvadel::stepKeptGrid() noexcept
{
    // As the open grid steps: to the next column, wrapping; an empty grid plays nothing.
    const int numColumns = keptState->getNumColumns();
    keptPlayPosition = numColumns == 0 ? -1 : (keptPlayPosition + 1) % numColumns;
    keptState->copyColumn (keptPlayPosition, chord, notesPerChord);
}

void Corvadel::endChord (int samplePosition)
{
    output.addNotes (noteOffStatus, chord, notesPerChord, samplePosition, [] (const NoteCell&) { return (uint8_t) 0; });
}

void Corvadel::startChord (int samplePosition)
{
    output.addNotes (noteOnStatus, chord, notesPerChord, samplePosition,
                     [] (const NoteCell& cell) { return (uint8_t) noteOnVelocity (cell.velocity); });
}

int Corvadel::noteOnVelocity (int32_t storedVelocity) noexcept
{
    return std::min (127, (int) (storedVelocity & 0xFF));
}

void Corvadel::requestStop()
{
    stopRequested = true;
}

PianoGrid* Corvadel::openGrid() const noexcept
{
    return activeEditor != nullptr ? gridOf (*activeEditor) : nullptr;
}

PianoGrid* Corvadel::gridOf (AudioFilterEditor& editor)
{
    if (auto* demoEditor = dynamic_cast<DemoEditorComponent*> (&editor))
        return demoEditor->getGrid();

    return nullptr;
}

AudioFilterEditor* Corvadel::createFilterEditor()
{
    // What the last close replaced goes now, outside the lock.
    handover.reset();
    loadedIntoEditor.reset();

    return new DemoEditorComponent (*this);
}

std::unique_ptr<GridState> Corvadel::snapshotOf (const PianoGrid& grid)
{
    auto state = std::make_unique<GridState> (grid.getNumColumns(), grid.getNumRows());

    for (int i = 0; i < state->getNumColumns(); ++i)
        grid.getColumnCells (state->column (i), i);

    return state;
}

void Corvadel::saveState (juce::MemoryBlock& destination)
{
    std::unique_ptr<GridState> openGridState;
    std::shared_ptr<const GridState> kept;

    {
        const juce::ScopedLock sl (filterLock);

        if (auto* grid = openGrid())
            openGridState = snapshotOf (*grid);
        else
            kept = keptState;
    }

    // With no editor open, the kept grid is the state: saving must not lose the chords.
    if (openGridState != nullptr)
        openGridState->appendTo (destination);
    else if (kept != nullptr)
        kept->appendTo (destination);
}

void Corvadel::restoreState (const void* data, int sizeInBytes)
{
    std::shared_ptr<const GridState> restored = GridState::fromChunk (data, sizeInBytes);

    if (restored == nullptr)
        return;

    {
        const juce::ScopedLock sl (filterLock);
        std::swap (keptState, restored);
        keptPlayPosition = -1;
        restoredWhileEditorOpen = activeEditor != nullptr;
    }

    // restored now holds the grid it replaced, released here, outside the lock.
}

void Corvadel::applyRestoredState (PianoGrid& grid)
{
    std::shared_ptr<const GridState> state;

    {
        const juce::ScopedLock sl (filterLock);
        state = keptState;
    }

    loadedIntoEditor = state;

    if (state == nullptr)
        return;

    // The new editor is not the active one yet, so the audio thread cannot reach this grid; the
    // grid's own edits take filterLock for the moments they change what a block reads.
    grid.clearColumns();

    for (int i = 0; i < state->getNumColumns(); ++i)
    {
        NoteCell cells[notesPerChord];
        state->copyColumn (i, cells, notesPerChord);
        grid.addColumn();
        grid.setColumnCells (cells, i);
    }
}

void Corvadel::editorActivated (AudioFilterEditor& editor)
{
    restoredWhileEditorOpen = false;

    auto* grid = gridOf (editor);

    if (grid == nullptr)
        return;

    // The editor goes on from where the kept grid stands, unless a state was restored while it
    // was being built: its grid then is older than the kept one, and stays as it was loaded.
    if (loadedIntoEditor == keptState)
        grid->markPlayPosition (keptPlayPosition);
    else
        restoredWhileEditorOpen = true;
}

void Corvadel::editorClosing (AudioFilterEditor& editor)
{
    if (auto* grid = gridOf (editor))
        handover = snapshotOf (*grid);
}

void Corvadel::editorForgotten (AudioFilterEditor& editor)
{
    auto* grid = gridOf (editor);

    if (grid != nullptr && handover != nullptr && ! restoredWhileEditorOpen)
    {
        std::swap (keptState, handover);
        keptPlayPosition = grid->getPlayPosition();
    }

    // After a restore while the editor was open, the restored grid plays from before column 0.
    restoredWhileEditorOpen = false;
}

bool Corvadel::hasKeptState() const
{
    const juce::ScopedLock sl (filterLock);
    return keptState != nullptr;
}

void Corvadel::handleMessage (const juce::Message&)
{
}

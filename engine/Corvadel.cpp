#include "engine/Corvadel.h"

#include "editor/DemoEditorComponent.h"
#include "editor/PianoGrid.h"

#include <algorithm>

namespace
{
constexpr int pedalController = 64;
constexpr uint8_t noteOnStatus = 0x90;   // channel 1
constexpr uint8_t noteOffStatus = 0x80;  // channel 1

// Room for a few full 128-note chord changes in one block before the buffer would have to grow.
constexpr size_t reservedMidiBytes = 32 * 1024;

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
    outputEvents.ensureSize (reservedMidiBytes);
}

Corvadel::~Corvadel() = default;

void Corvadel::fillFilterProperties (FilterProperties& p)
{
    p.uniqueId = 0x44474534;  // 'DGE4'
    p.numInputChannels = 2;
    p.numOutputChannels = 2;
    p.latencySamples = 0;
    p.isSynth = true;
    p.wantsMidiInput = true;
    p.producesMidiOutput = true;
    p.hasNoTail = false;
}

void Corvadel::prepareForPlayback (double newSampleRate, int newBlockSize)
{
    playbackSampleRate = (float) newSampleRate;
    playbackBlockSize = newBlockSize;
    outputEvents.ensureSize (reservedMidiBytes);
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

    startChord (samplePosition);
    chordSounding = true;
    pedalReleased = false;
}

void Corvadel::endChord (int samplePosition)
{
    for (int note = 0; note < notesPerChord; ++note)
    {
        if (chord[note].isOn != 0)
        {
            const uint8_t message[] = { noteOffStatus, (uint8_t) note, 0 };
            output.add (message, 3, samplePosition);
        }
    }
}

void Corvadel::startChord (int samplePosition)
{
    for (int note = 0; note < notesPerChord; ++note)
    {
        if (chord[note].isOn != 0)
        {
            const uint8_t message[] = { noteOnStatus, (uint8_t) note, (uint8_t) noteOnVelocity (chord[note].velocity) };
            output.add (message, 3, samplePosition);
        }
    }
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
    if (auto* editor = dynamic_cast<DemoEditorComponent*> (activeEditor))
        return editor->getGrid();

    return nullptr;
}

AudioFilterEditor* Corvadel::createFilterEditor()
{
    {
        const juce::ScopedLock sl (keptStateLock);
        restoredWhileEditorOpen = false;
    }

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

    {
        const juce::ScopedLock sl (filterLock);

        if (auto* grid = openGrid())
            openGridState = snapshotOf (*grid);
    }

    if (openGridState != nullptr)
    {
        openGridState->appendTo (destination);
        return;
    }

    // With no editor open, the kept grid is the state: saving must not lose the chords.
    const juce::ScopedLock sl (keptStateLock);

    if (keptState != nullptr)
        keptState->appendTo (destination);
}

void Corvadel::restoreState (const void* data, int sizeInBytes)
{
    std::shared_ptr<const GridState> restored = GridState::fromChunk (data, sizeInBytes);

    if (restored == nullptr)
        return;

    bool editorOpen;

    {
        const juce::ScopedLock sl (filterLock);
        editorOpen = activeEditor != nullptr;
    }

    const juce::ScopedLock sl (keptStateLock);
    std::swap (keptState, restored);
    restoredWhileEditorOpen = editorOpen;
}

void Corvadel::applyRestoredState (PianoGrid& grid)
{
    std::shared_ptr<const GridState> state;

    {
        const juce::ScopedLock sl (keptStateLock);
        state = keptState;
    }

    if (state == nullptr)
        return;

    // The new editor is not the active one yet, so the audio thread cannot reach this grid; the
    // grid's own edits take filterLock for the moments they change what a block reads.
    grid.clearColumns();

    const int storedCells = std::min (state->getCellsPerColumn(), grid.getNumRows());

    for (int i = 0; i < state->getNumColumns(); ++i)
    {
        NoteCell cells[notesPerChord];
        std::copy_n (state->column (i), storedCells, cells);
        grid.addColumn();
        grid.setColumnCells (cells, i);
    }
}

void Corvadel::editorForgotten (AudioFilterEditor& editor)
{
    auto* demoEditor = dynamic_cast<DemoEditorComponent*> (&editor);

    if (demoEditor == nullptr || demoEditor->getGrid() == nullptr)
        return;

    std::shared_ptr<const GridState> closingGrid = snapshotOf (*demoEditor->getGrid());

    const juce::ScopedLock sl (keptStateLock);

    if (! restoredWhileEditorOpen)
        std::swap (keptState, closingGrid);

    restoredWhileEditorOpen = false;
}

bool Corvadel::hasKeptState() const
{
    const juce::ScopedLock sl (keptStateLock);
    return keptState != nullptr;
}

void Corvadel::handleMessage (const juce::Message&)
{
}

#include "engine/SequencePlayer.h"

#include "engine/MidiBufferLayout.h"

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

SequencePlayer::SequencePlayer (juce::CriticalSection& lockOfBlocks)
    : blockLock (lockOfBlocks)
{
    prepare();
}

SequencePlayer::~SequencePlayer() = default;

std::shared_ptr<const GridState> SequencePlayer::getSequence() const
{
    const std::lock_guard<std::mutex> lock (snapshotLock);
    return sequence;
}

void SequencePlayer::publish (std::shared_ptr<const GridState> grid, PlayPositionChange change)
{
    if (grid == nullptr)
        return;

    {
        const juce::ScopedLock sl (blockLock);
        const std::lock_guard<std::mutex> lock (snapshotLock);
        std::swap (sequence, grid);
        playing = sequence.get();
        playPosition = change.apply (playPosition.load(), playing->getNumColumns());
    }

    // grid now holds the one replaced: released here, outside both locks.
}

std::shared_ptr<const GridState> SequencePlayer::getOrPublishFresh (int freshColumns)
{
    if (auto current = getSequence())
        return current;

    std::shared_ptr<const GridState> fresh = std::make_shared<GridState> (freshColumns, notesPerChord);

    {
        const juce::ScopedLock sl (blockLock);
        const std::lock_guard<std::mutex> lock (snapshotLock);

        // A restore on another thread may have come first: it wins.
        if (sequence != nullptr)
            return sequence;

        sequence = fresh;
        playing = sequence.get();
        playPosition = -1;
    }

    return fresh;
}

void SequencePlayer::requestStop()
{
    const juce::ScopedLock sl (blockLock);
    stopRequested = true;
}

void SequencePlayer::prepare()
{
    outputEvents.ensureSize (MidiBufferLayout::reservedBytes);
}

//==============================================================================
void SequencePlayer::handlePedalMidi (juce::MidiBuffer& midiMessages)
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

void SequencePlayer::trigger (int samplePosition)
{
    if (chordSounding)
        endChord (samplePosition);

    // With no grid published yet nothing was ever played, and the chord stays silent.
    if (playing != nullptr)
        stepToNextColumn();

    startChord (samplePosition);
    chordSounding = true;
    pedalReleased = false;
}

void SequencePlayer::stepToNextColumn() noexcept
{
    // To the next column, wrapping; an empty grid plays nothing.
    const int numColumns = playing->getNumColumns();
    const int next = numColumns == 0 ? -1 : (playPosition.load (std::memory_order_relaxed) + 1) % numColumns;
    playPosition.store (next, std::memory_order_relaxed);
    playing->copyColumn (next, chord, notesPerChord);
}

void SequencePlayer::endChord (int samplePosition)
{
    output.addNotes (noteOffStatus, chord, notesPerChord, samplePosition, [] (const NoteCell&) { return (uint8_t) 0; });
}

void SequencePlayer::startChord (int samplePosition)
{
    output.addNotes (noteOnStatus, chord, notesPerChord, samplePosition,
                     [] (const NoteCell& cell) { return noteOnVelocity (cell.velocity); });
}

uint8_t SequencePlayer::noteOnVelocity (int32_t storedVelocity) noexcept
{
    // A velocity of 0 would make the note-on a note-off, and the note would never sound.
    return (uint8_t) std::clamp (storedVelocity, (int32_t) 1, (int32_t) 127);
}

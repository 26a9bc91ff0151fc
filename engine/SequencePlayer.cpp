#include "engine/SequencePlayer.h"

#include "engine/ColumnStepper.h"
#include "engine/MidiBufferLayout.h"

#include <algorithm>

namespace
{
constexpr uint8_t noteOnStatus = 0x90;
constexpr uint8_t noteOffStatus = 0x80;

bool isController (const juce::MidiMessageMetadata& event)
{
    return event.numBytes >= 3 && (event.data[0] & 0xF0) == 0xB0 && event.data[1] <= PlayerSettings::maxTriggerController;
}

// All Sound Off (120), All Notes Off (123) and the mode messages that end all notes by MIDI's rule
// (124 to 127), on any channel.
bool isPanic (const juce::MidiMessageMetadata& event)
{
    return event.numBytes >= 3 && (event.data[0] & 0xF0) == 0xB0 && (event.data[1] == 120 || event.data[1] >= 123);
}

bool isProgramChange (const juce::MidiMessageMetadata& event)
{
    return event.numBytes >= 2 && (event.data[0] & 0xF0) == 0xC0;
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
        setPosition (change.apply (position, playing->getNumColumns()));
    }

    // grid now holds the one replaced: released here, outside both locks.
}

bool SequencePlayer::publishEdit (const std::shared_ptr<const GridState>& editedFrom,
                                  std::shared_ptr<const GridState> edited, PlayPositionChange change)
{
    if (edited == nullptr)
        return false;

    {
        const juce::ScopedLock sl (blockLock);
        const std::lock_guard<std::mutex> lock (snapshotLock);

        if (sequence != editedFrom)
            return false;

        std::swap (sequence, edited);
        playing = sequence.get();
        setPosition (change.apply (position, playing->getNumColumns()));
    }

    // edited now holds the grid replaced: released here, outside both locks.
    return true;
}

void SequencePlayer::publishState (std::shared_ptr<const GridState> grid, const PlayerSettings& settings)
{
    if (grid == nullptr || ! settings.isValid())
        return;

    {
        const juce::ScopedLock sl (blockLock);
        const std::lock_guard<std::mutex> lock (snapshotLock);
        std::swap (sequence, grid);
        playing = sequence.get();
        setPosition (PlayPosition().within (playing->getNumColumns()));
        settingsWord = settings.pack();
    }
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
        setPosition (PlayPosition().within (playing->getNumColumns()));
    }

    return fresh;
}

PlayerSettings SequencePlayer::getSettings() const noexcept
{
    return PlayerSettings::unpack (settingsWord.load());
}

void SequencePlayer::setSettings (const PlayerSettings& settings) noexcept
{
    if (settings.isValid())
        settingsWord = settings.pack();
}

void SequencePlayer::learnTrigger (Trigger trigger) noexcept
{
    learning = trigger;
}

void SequencePlayer::requestStop()
{
    const juce::ScopedLock sl (blockLock);
    stopRequested = true;
}

void SequencePlayer::requestSilence() noexcept
{
    silenceRequested.store (true, std::memory_order_release);
}

void SequencePlayer::prepare()
{
    outputEvents.ensureSize (MidiBufferLayout::reservedBytes);
}

//==============================================================================
void SequencePlayer::handlePedalMidi (juce::MidiBuffer& midiMessages)
{
    play (midiMessages, false);
}

void SequencePlayer::handleBypassedMidi (juce::MidiBuffer& midiMessages)
{
    play (midiMessages, true);
}

void SequencePlayer::play (juce::MidiBuffer& midiMessages, bool bypassed)
{
    const auto settings = PlayerSettings::unpack (settingsWord.load (std::memory_order_acquire));
    output.clear();

    // A Stop asked for before this block ends the chord that sounded when the block began. Were
    // it handled after this block's presses, it would end a chord started later in the block at
    // position 0, before that chord's notes begin, and leave them hanging.
    if (stopRequested)
    {
        endChord (0);
        stopRequested = false;
        setPosition ({ -1, position.next, position.stoppedAtEnd });
    }

    if (silenceRequested.exchange (false, std::memory_order_acq_rel) || bypassed)
        silence (0);

    // A chord started on another channel or transposition is ended as it was started: its
    // note-offs would otherwise miss the notes that sound.
    if (notesSounding && (settings.outputChannel != chordChannel || settings.transpose != chordTranspose))
    {
        endChord (0);
        silenceChord();
        setPosition ({ -1, position.next, position.stoppedAtEnd });
    }

    for (const auto event : midiMessages)
    {
        if (isPanic (event))
        {
            // Whoever asks for silence gets it, whatever the settings; the message itself goes on
            // after the note-offs when MIDI passes.
            silence (event.samplePosition);
        }
        else if (isController (event))
        {
            const int controller = event.data[1];
            const int value = event.data[2];

            if (! bypassed && learning.load (std::memory_order_relaxed) != Trigger::none && learnFrom (controller, value))
                continue;

            if (const auto trigger = triggerOf (controller, settings); trigger != Trigger::none)
            {
                followTrigger (trigger, value, ! bypassed, settings, event.samplePosition);

                if (! bypassed)
                    continue;
            }
        }
        else if (! bypassed && settings.jumpByProgramChange && isProgramChange (event))
        {
            jumpTo (event.data[1]);
            continue;
        }

        if (settings.passThrough || bypassed)
            output.add (event.data, event.numBytes, event.samplePosition);
    }

    midiMessages.clear();

    // Swapping hands over the output without copying; both buffers keep their reserved room.
    midiMessages.swapWith (outputEvents);
}

void SequencePlayer::followTrigger (Trigger trigger, int value, bool steps, const PlayerSettings& settings,
                                    int samplePosition)
{
    // The pedal rule, for every trigger: any non-zero value presses, only 0 re-arms. A press
    // that does not step (the host bypasses the player) still disarms, so a pedal held through
    // the end of a bypass does not step when its value moves.
    bool& isArmed = armedFlag (trigger);

    if (value == 0)
    {
        isArmed = true;
    }
    else if (isArmed)
    {
        isArmed = false;

        if (steps)
            press (trigger, settings, samplePosition);
    }
}

SequencePlayer::Trigger SequencePlayer::triggerOf (int controller, const PlayerSettings& settings) const noexcept
{
    if (controller == settings.nextController)
        return Trigger::next;

    if (controller == settings.previousController)
        return Trigger::previous;

    if (controller == settings.resetController)
        return Trigger::reset;

    return Trigger::none;
}

bool& SequencePlayer::armedFlag (Trigger trigger) noexcept
{
    switch (trigger)
    {
        case Trigger::previous: return armed.previous;
        case Trigger::reset:    return armed.reset;
        case Trigger::next:
        case Trigger::none:     break;
    }

    return armed.next;
}

bool SequencePlayer::assignTrigger (Trigger trigger, int controller) noexcept
{
    return changeSettings ([=] (PlayerSettings& s) { return s.assignTrigger (trigger, controller); });
}

bool SequencePlayer::learnFrom (int controller, int value) noexcept
{
    const auto trigger = learning.load (std::memory_order_relaxed);
    auto word = settingsWord.load();
    auto settings = PlayerSettings::unpack (word);

    // Stepping back or going to the top on the controller that steps forward could never
    // happen: that controller teaches nothing, and keeps stepping.
    if (! settings.assignTrigger (trigger, controller))
        return false;

    // The message thread may change the settings meanwhile: the learnt trigger is written over
    // whatever they are then, or not at all.
    if (! settingsWord.compare_exchange_strong (word, settings.pack()))
        return false;

    learning = Trigger::none;
    armedFlag (trigger) = value == 0;
    return true;
}

void SequencePlayer::press (Trigger trigger, const PlayerSettings& settings, int samplePosition)
{
    switch (trigger)
    {
        case Trigger::next:     step (true, settings, samplePosition); break;
        case Trigger::previous: step (false, settings, samplePosition); break;
        case Trigger::reset:    resetToTheTop (samplePosition); break;
        case Trigger::none:     break;
    }
}

void SequencePlayer::step (bool forward, const PlayerSettings& settings, int samplePosition)
{
    // With no grid published yet nothing was ever played: a press ends and starts the same
    // silent chord.
    if (playing == nullptr)
    {
        if (chordSounding)
            endChord (samplePosition);

        startChord (settings, samplePosition);
        chordSounding = true;
        return;
    }

    const int numColumns = playing->getNumColumns();
    const int origin = position.stepOrigin (numColumns);
    const auto next = forward ? ColumnStepper::next (origin, numColumns, settings.endOfGrid)
                              : ColumnStepper::previous (origin, numColumns, settings.endOfGrid);

    if (next.endsChord && chordSounding)
        endChord (samplePosition);

    if (next.playsColumn)
    {
        playing->copyColumn (next.position, chord, notesPerChord);
        startChord (settings, samplePosition);
        chordSounding = true;
        setPosition ({ next.position, next.position + 1, false });
    }
    else if (next.endsChord)
    {
        silenceChord();
        const bool stoppedAtEnd = next.position >= numColumns;
        setPosition ({ -1, stoppedAtEnd ? numColumns : 0, stoppedAtEnd });
    }
}

void SequencePlayer::resetToTheTop (int samplePosition)
{
    silence (samplePosition);
    setPosition ({});
}

void SequencePlayer::jumpTo (int column) noexcept
{
    // A column the grid does not have is no place to jump to.
    if (playing != nullptr && column < playing->getNumColumns())
        setPosition ({ position.sounding, column, false });
}

void SequencePlayer::endChord (int samplePosition)
{
    output.addNotes ((uint8_t) (noteOffStatus | (chordChannel - 1)), chord, notesPerChord, chordTranspose, samplePosition,
                     [] (const NoteCell&) { return (uint8_t) 0; });
    notesSounding = false;
}

void SequencePlayer::startChord (const PlayerSettings& settings, int samplePosition)
{
    chordChannel = settings.outputChannel;
    chordTranspose = settings.transpose;
    output.addNotes ((uint8_t) (noteOnStatus | (chordChannel - 1)), chord, notesPerChord, chordTranspose, samplePosition,
                     [] (const NoteCell& cell) { return noteOnVelocity (cell.velocity); });
    notesSounding = true;
}

void SequencePlayer::silence (int samplePosition)
{
    if (notesSounding)
        endChord (samplePosition);

    silenceChord();
    setPosition ({ -1, position.next, position.stoppedAtEnd });
}

void SequencePlayer::setPosition (const PlayPosition& moved) noexcept
{
    position = moved;
    positionWord.store (moved.pack(), std::memory_order_release);
}

void SequencePlayer::silenceChord() noexcept
{
    // Nothing left for a later note-off to end.
    std::fill (std::begin (chord), std::end (chord), NoteCell {});
}

uint8_t SequencePlayer::noteOnVelocity (int32_t storedVelocity) noexcept
{
    // A velocity of 0 would make the note-on a note-off, and the note would never sound.
    return (uint8_t) std::clamp (storedVelocity, (int32_t) 1, (int32_t) 127);
}

#pragma once

#include "engine/EditHistory.h"
#include "engine/GridState.h"
#include "engine/MidiEventAppender.h"
#include "engine/NoteCell.h"
#include "engine/PlayPosition.h"
#include "engine/PlayPositionChange.h"
#include "engine/PlayerSettings.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>
#include <mutex>

// The chord sequence that plays and is saved, and the playing of it. The grid is a published,
// never-changed GridState: the editor and a restore publish a new one, the audio thread steps
// through whichever is published, and a save writes it. The play position and the sounding chord
// belong to the audio thread, whether or not an editor exists. How it plays (the triggers, the end
// of the grid, the output channel, ...) is the player's settings, one atomic word.
//
// Threads: the audio thread runs handlePedalMidi with the block lock (the filter's filterLock)
// held; it reads the published grid through a plain pointer that is only changed under that
// lock, reads the settings from their atomic word, allocates nothing and takes no other lock.
// Publishing swaps under the block lock for a moment and releases the grid it replaced after it.
// Reading the grid for a save takes only a small lock of its own, which the audio thread never
// takes.
class SequencePlayer
{
public:
    using Trigger = PlayerSettings::Trigger;

    explicit SequencePlayer (juce::CriticalSection& blockLock);
    ~SequencePlayer();

    // Any non-audio thread; waits on the snapshot lock (held only to copy a pointer). nullptr
    // until a grid has been published.
    std::shared_ptr<const GridState> getSequence() const;

    // Any non-audio thread; waits on the block lock, briefly. Makes grid the one that plays and is
    // saved, and moves the play position as change says. The chord that sounds keeps sounding
    // until the next press or Stop ends it.
    void publish (std::shared_ptr<const GridState> grid, PlayPositionChange change);
    // The same for an edit of the grid editedFrom: published only while editedFrom is still the
    // published grid, so an edit never overwrites a grid published since it began (a restore).
    // false when it was dropped.
    bool publishEdit (const std::shared_ptr<const GridState>& editedFrom, std::shared_ptr<const GridState> edited,
                      PlayPositionChange change);
    // The same for a whole restored state: the grid, from before its first column, and the
    // settings, together.
    void publishState (std::shared_ptr<const GridState> grid, const PlayerSettings& settings);

    // Message thread: the published grid, or a fresh one of freshColumns empty columns published
    // now when there is none yet. Waits on the block lock briefly.
    std::shared_ptr<const GridState> getOrPublishFresh (int freshColumns);

    // Any thread; waits on nothing: the sounding column, the next column and the stop at the end,
    // as the last block or publish left them, all three of one moment.
    PlayPosition getPlayPosition() const noexcept { return PlayPosition::unpack (positionWord.load (std::memory_order_acquire)); }

    // Any thread; waits on nothing. Settings out of range are ignored. A change of the output
    // channel or the transpose ends the sounding chord at the next block, with the note-offs it
    // was started with.
    PlayerSettings getSettings() const noexcept;
    void setSettings (const PlayerSettings& settings) noexcept;
    // Any thread; waits on nothing. Changes the one setting change changes, over whatever the
    // settings are at that moment (a trigger learnt meanwhile stays learnt); change answers false
    // to leave them as they are. false when nothing changed.
    template <typename Change>
    bool changeSettings (Change&& change) noexcept
    {
        auto word = settingsWord.load();

        for (;;)
        {
            auto settings = PlayerSettings::unpack (word);

            if (! change (settings) || ! settings.isValid())
                return false;

            if (settingsWord.compare_exchange_weak (word, settings.pack()))
                return true;
        }
    }
    // Any thread; waits on nothing. The trigger takes the controller (PlayerSettings::assignTrigger).
    bool assignTrigger (Trigger trigger, int controller) noexcept;

    // Any thread; waits on nothing. The next controller (0 to 119) that moves becomes the
    // trigger's controller; the message that teaches it does nothing else.
    void learnTrigger (Trigger trigger) noexcept;
    Trigger getTriggerBeingLearnt() const noexcept { return learning.load(); }

    // Any non-audio thread; waits on the block lock. The sounding chord ends at the start of the
    // next block.
    void requestStop();
    // Any thread, also while a block runs; waits on nothing. The host stopped the playing
    // (suspended the plug-in, or stopped its processing): the sounding chord ends at the start of
    // the next block, and the press after that ends nothing again.
    void requestSilence() noexcept;

    // Audio thread, with the block lock held: replaces the buffer's events by what they play: the
    // notes the trigger messages among them end and start, and (when the settings pass it) the
    // rest, in order. Allocates nothing while the output fits the room reserved for it.
    void handlePedalMidi (juce::MidiBuffer& midiMessages);
    // Audio thread, with the block lock held, for a block the host bypasses: the sounding chord
    // ends at the block's first sample, nothing steps, and the buffer's events follow untouched.
    // The triggers' pedal rule still follows the pedal, so the first press after the bypass
    // steps.
    void handleBypassedMidi (juce::MidiBuffer& midiMessages);

    // The edits the editor can undo and redo: kept here, so that they outlive its window.
    EditHistory& getHistory() noexcept { return history; }

    // Prepares the output's room. Any non-audio thread, never while a block runs.
    void prepare();

    // The velocity a stored cell sounds with: an on cell always sounds, so 1 to 127.
    static uint8_t noteOnVelocity (int32_t storedVelocity) noexcept;

private:
    struct Armed
    {
        bool next = true, previous = true, reset = true;
    };

    void play (juce::MidiBuffer& midiMessages, bool bypassed);
    void followTrigger (Trigger trigger, int value, bool steps, const PlayerSettings& settings, int samplePosition);
    Trigger triggerOf (int controller, const PlayerSettings& settings) const noexcept;
    bool learnFrom (int controller, int value) noexcept;
    void press (Trigger trigger, const PlayerSettings& settings, int samplePosition);
    void step (bool forward, const PlayerSettings& settings, int samplePosition);
    void resetToTheTop (int samplePosition);
    void jumpTo (int column) noexcept;
    void endChord (int samplePosition);
    void startChord (const PlayerSettings& settings, int samplePosition);
    void silenceChord() noexcept;
    void silence (int samplePosition);
    void setPosition (const PlayPosition& moved) noexcept;
    bool& armedFlag (Trigger trigger) noexcept;

    juce::CriticalSection& blockLock;

    // The published grid: kept alive here, read by the audio thread through playing.
    mutable std::mutex snapshotLock;
    std::shared_ptr<const GridState> sequence;
    const GridState* playing = nullptr;

    // Where the player stands: changed under the block lock, and copied into positionWord for
    // the editor, which reads it without the lock.
    PlayPosition position;
    std::atomic<uint64_t> positionWord { PlayPosition().pack() };

    std::atomic<uint64_t> settingsWord { PlayerSettings().pack() };
    std::atomic<Trigger> learning { Trigger::none };

    // The audio thread's own, under the block lock: the chord started last (what the next
    // note-offs end, with the channel and transpose it was started with), and the triggers'
    // pedal rule (any non-zero value presses, only 0 re-arms).
    NoteCell chord[notesPerChord];
    int chordChannel = 1;
    int chordTranspose = 0;
    bool chordSounding = false;  // a press has started a chord (a Stop leaves it set)
    bool notesSounding = false;  // its notes are on now
    Armed armed;
    bool stopRequested = false;
    std::atomic<bool> silenceRequested { false };

    juce::MidiBuffer outputEvents;
    MidiEventAppender output { outputEvents };

    EditHistory history;

    JUCE_DECLARE_NON_COPYABLE (SequencePlayer)
};

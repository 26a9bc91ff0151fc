#pragma once

#include "engine/GridState.h"
#include "engine/MidiEventAppender.h"
#include "engine/NoteCell.h"
#include "engine/QuorFilterBase.h"

#include <memory>

class PianoGrid;

// The pedal-triggered chord player. Every press of the sustain pedal (after a release) ends the
// sounding chord, steps the grid to its next column and starts that column's notes on MIDI
// channel 1, at the press's sample position. The grid stepped is the open editor's; with no
// editor open it is the kept grid (the last restored state, or the grid of the editor that closed
// last), from the play position the last editor left. Incoming MIDI is consumed, never passed on.
class Corvadel : public QuorFilterBase
{
public:
    Corvadel();
    ~Corvadel() override;

    // Host's dispatcher thread, as the contract says; wait on nothing.
    void fillFilterProperties (FilterProperties& properties) override;
    void prepareForPlayback (double sampleRate, int blockSize) override;
    void releasePlaybackResources() override;

    // Audio thread, with filterLock held: steps the open grid or the kept one; allocates nothing,
    // makes no system call and takes no other lock.
    void processNextBlock (juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& output,
                           bool accumulate, juce::MidiBuffer& midiMessages) override;
    // Message thread; builds the editor (which loads the kept grid, waiting on filterLock).
    AudioFilterEditor* createFilterEditor() override;
    // Any of the host's non-audio threads: copies the open grid (or takes the kept one) under
    // filterLock, and writes the chunk outside it.
    void saveState (juce::MemoryBlock& destination) override;
    // Any of the host's non-audio threads: reads the chunk outside filterLock and swaps the new
    // kept grid in under it. A chunk that does not hold a whole grid is refused; the kept grid
    // stays as it was.
    void restoreState (const void* data, int sizeInBytes) override;
    // Message thread; ignores every message.
    void handleMessage (const juce::Message& message) override;

    // The Stop button: the sounding chord ends at the start of the next block. Message thread,
    // with filterLock held.
    void requestStop();

    // Loads the kept grid state into a new editor's grid; the editor's last construction step.
    // Message thread; takes filterLock briefly.
    void applyRestoredState (PianoGrid& grid);

    // Replaces the MIDI buffer's contents by the notes the pedal presses in it trigger. Audio
    // thread, with filterLock held.
    void handlePedalMidi (juce::MidiBuffer& midiMessages);

    // Any non-audio thread; takes filterLock briefly.
    bool hasKeptState() const;

private:
    void editorActivated (AudioFilterEditor& editor) override;
    void editorClosing (AudioFilterEditor& editor) override;
    void editorForgotten (AudioFilterEditor& editor) override;

    PianoGrid* openGrid() const noexcept;
    static PianoGrid* gridOf (AudioFilterEditor& editor);
    static std::unique_ptr<GridState> snapshotOf (const PianoGrid& grid);
    void trigger (int samplePosition);
    void stepKeptGrid() noexcept;
    void endChord (int samplePosition);
    void startChord (int samplePosition);
    static int noteOnVelocity (int32_t storedVelocity) noexcept;

    NoteCell chord[notesPerChord];
    bool chordSounding = false;
    bool pedalReleased = true;
    bool stopRequested = false;

    juce::MidiBuffer outputEvents;
    MidiEventAppender output { outputEvents };

    // The grid kept for editors built later, for stepping and for saving while no editor is open:
    // the last restored state, or the grid of the last editor that closed. The pointer and the
    // play position in it are guarded by filterLock; the audio thread only reads the grid and
    // never releases it. A new grid is built outside the lock and published by a swap inside it.
    std::shared_ptr<const GridState> keptState;
    int keptPlayPosition = -1;
    // A state restored while an editor is open is newer than that editor's grid.
    bool restoredWhileEditorOpen = false;

    // Message thread only: the kept grid the editor being built was loaded from, and the copy of a
    // closing editor's grid on its way in (after the hand-over, the grid it replaced on its way
    // out, released outside the lock).
    std::shared_ptr<const GridState> loadedIntoEditor;
    std::shared_ptr<const GridState> handover;

    JUCE_DECLARE_NON_COPYABLE (Corvadel)
};

// The plug-in's factory: one new filter per instance.
AudioFilterBase* createFilterInstance();

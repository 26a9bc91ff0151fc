#pragma once

#include "engine/GridState.h"
#include "engine/MidiEventAppender.h"
#include "engine/NoteCell.h"
#include "engine/QuorFilterBase.h"

#include <memory>

class PianoGrid;

// The pedal-triggered chord player. Every press of the sustain pedal (after a release) ends the
// sounding chord, steps the open editor's grid to its next column and starts that column's notes
// on MIDI channel 1, at the press's sample position. Incoming MIDI is consumed, never passed on.
class Corvadel : public QuorFilterBase
{
public:
    Corvadel();
    ~Corvadel() override;

    void fillFilterProperties (FilterProperties& properties) override;
    void prepareForPlayback (double sampleRate, int blockSize) override;
    void releasePlaybackResources() override;
    void processNextBlock (juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& output,
                           bool accumulate, juce::MidiBuffer& midiMessages) override;
    AudioFilterEditor* createFilterEditor() override;
    void saveState (juce::MemoryBlock& destination) override;
    void restoreState (const void* data, int sizeInBytes) override;
    void handleMessage (const juce::Message& message) override;

    // The Stop button: the sounding chord ends at the start of the next block. Called with
    // filterLock held.
    void requestStop();

    // Loads the kept grid state into a new editor's grid; the editor's last construction step.
    void applyRestoredState (PianoGrid& grid);

    // Replaces the MIDI buffer's contents by the notes the pedal presses in it trigger.
    void handlePedalMidi (juce::MidiBuffer& midiMessages);

    bool hasKeptState() const;

private:
    void editorForgotten (AudioFilterEditor& editor) override;

    PianoGrid* openGrid() const noexcept;
    static std::unique_ptr<GridState> snapshotOf (const PianoGrid& grid);
    void trigger (int samplePosition);
    void endChord (int samplePosition);
    void startChord (int samplePosition);
    static int noteOnVelocity (int32_t storedVelocity) noexcept;

    NoteCell chord[notesPerChord];
    bool chordSounding = false;
    bool pedalReleased = true;
    bool stopRequested = false;

    juce::MidiBuffer outputEvents;
    MidiEventAppender output { outputEvents };
    float playbackSampleRate = 0.0f;
    int playbackBlockSize = 0;

    // The grid kept for editors built later and for saving while no editor is open: the last
    // restored state, or the grid of the last editor that closed.
    mutable juce::CriticalSection keptStateLock;
    std::shared_ptr<const GridState> keptState;
    // A state restored while an editor is open is newer than that editor's grid.
    bool restoredWhileEditorOpen = false;

    JUCE_DECLARE_NON_COPYABLE (Corvadel)
};

// The plug-in's factory: one new filter per instance.
AudioFilterBase* createFilterInstance();

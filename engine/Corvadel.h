#pragma once

#include "engine/QuorFilterBase.h"
#include "engine/SequencePlayer.h"

// The pedal-triggered chord player. Every press of the sustain pedal (after a release) ends the
// sounding chord, steps to the next column of the chord sequence and starts that column's notes
// on MIDI channel 1, at the press's sample position. The sequence is the engine's own (see
// SequencePlayer): restoring a state publishes a new one, the editor shows it and publishes every
// edit, and the pedal steps it whether the editor is open or not. Incoming MIDI is consumed,
// never passed on.
class Corvadel : public QuorFilterBase
{
public:
    Corvadel();
    ~Corvadel() override;

    // Host's dispatcher thread, as the contract says; wait on nothing.
    void fillFilterProperties (FilterProperties& properties) override;
    void prepareForPlayback (double sampleRate, int blockSize) override;
    // Also from a framework client that stops the processing, on any thread, while no block
    // runs or during one: the sounding chord ends at the start of the next block.
    void releasePlaybackResources() override;

    // Audio thread, with filterLock held: steps the sequence; allocates nothing, makes no system
    // call and takes no other lock.
    void processNextBlock (juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& output,
                           bool accumulate, juce::MidiBuffer& midiMessages) override;
    // Audio thread, with filterLock held: the host bypasses the player. The sounding chord ends,
    // nothing steps, the MIDI passes untouched.
    void processBypassedBlock (juce::MidiBuffer& midiMessages) override;
    // Message thread; builds the editor, which shows the published sequence (publishing two
    // empty columns when there is none yet). Waits on filterLock briefly.
    AudioFilterEditor* createFilterEditor() override;
    // Message thread; answers without building anything.
    bool getEditorSize (int& width, int& height) const override;
    // Any of the host's non-audio threads: writes the published sequence and the player's
    // settings without filterLock; nothing when no sequence was ever published.
    void saveState (juce::MemoryBlock& destination) override;
    // Any of the host's non-audio threads: reads the chunk without filterLock and publishes it
    // with its settings (taking filterLock for the swap); the next press plays its first column.
    // A chunk that does not hold a whole grid, or whose settings are malformed, is refused and
    // the sequence and settings stay as they were. A restore of another state clears the edit
    // history; one of exactly the bytes saveState would write now (a host handing back the
    // plug-in's own state) changes nothing at all, the play position and the history included.
    void restoreState (const void* data, int sizeInBytes) override;
    // Message thread; ignores every message.
    void handleMessage (const juce::Message& message) override;

    // The Stop button: the sounding chord ends at the start of the next block. Message thread;
    // waits on filterLock.
    void requestStop();

    // Replaces the MIDI buffer's contents by the notes the pedal presses in it trigger. Audio
    // thread, with filterLock held.
    void handlePedalMidi (juce::MidiBuffer& midiMessages);

    SequencePlayer& getPlayer() noexcept { return player; }

private:
    // Whether the bytes are those saveState writes now.
    bool isStateSavedNow (const void* data, int sizeInBytes);

    SequencePlayer player { filterLock };

    JUCE_DECLARE_NON_COPYABLE (Corvadel)
};

// The plug-in's factory: one new filter per instance.
AudioFilterBase* createFilterInstance();

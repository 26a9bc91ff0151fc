#pragma once

#include "bridge/FilterProperties.h"
#include "bridge/PlayPositionInfo.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

class AudioFilterEditor;

// The host-independent contract that a filter implements. The bridge owns one filter and turns
// every host request into these operations; the filter reaches the host only through
// FilterNativeCallbacks.
//
// Threads, in short: the audio thread runs processNextBlock with filterLock held; every other
// operation comes from one of the host's non-audio threads (its dispatcher thread, which for the
// editor operations is also the framework's message thread) without filterLock. The host never
// runs two dispatcher requests of one instance at once.
class AudioFilterBase
{
public:
    // Implemented by the bridge: what a filter may ask of its host.
    class FilterNativeCallbacks
    {
    public:
        virtual ~FilterNativeCallbacks() = default;
        // Any thread, the audio thread included; waits on the host's answer.
        virtual bool getPlayPosition (PlayPositionInfo& info) = 0;
        // Message thread (an edit in the editor); waits on the host's answer.
        virtual void reportParameterChange (int index, float normalisedValue) = 0;
    };

    AudioFilterBase() = default;
    // Host's dispatcher thread, after the editor is gone; waits on nothing.
    virtual ~AudioFilterBase() = default;

    // Host's dispatcher thread, once, while the bridge is built; waits on nothing.
    virtual void fillFilterProperties (FilterProperties& properties) = 0;
    // Host's dispatcher thread on resume, or the audio thread before a block no resume preceded;
    // never while a block runs. May allocate; waits on nothing.
    virtual void prepareForPlayback (double sampleRate, int blockSize) = 0;
    // Host's dispatcher thread on suspend, or a framework client's thread when the host stops
    // the processing (never while a block runs); waits on nothing.
    virtual void releasePlaybackResources() = 0;

    // Audio thread, with filterLock held for the whole call: allocates nothing and waits on
    // nothing else. The MIDI buffer holds the host's events on entry and the filter's output on
    // return.
    virtual void processNextBlock (juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& output,
                                   bool accumulate, juce::MidiBuffer& midiMessages) = 0;
    // Audio thread, with filterLock held, for a block the host bypasses (a format that lets the
    // host bypass a plug-in): the MIDI buffer holds the host's events on entry and what goes on
    // on return. A filter that does nothing of its own passes them untouched.
    virtual void processBypassedBlock (juce::MidiBuffer&) {}

    // Message thread, through createAndTrackEditor only; may wait on filterLock.
    virtual AudioFilterEditor* createFilterEditor() = 0;
    // Message thread: the size the editor will have, without building it (hosts ask before they
    // open it, and some never do). false: the filter makes no editor.
    virtual bool getEditorSize (int& width, int& height) const { return false; }

    // Parameters and programs: host's dispatcher thread (the editor's edits on the message
    // thread), without filterLock; they wait on nothing but the filter's own brief locks.
    virtual int getParameterCount() = 0;
    virtual juce::String getParameterNameText (int index) = 0;
    virtual float getParameterValue (int index) = 0;
    virtual juce::String getParameterValueText (int index) = 0;
    virtual void setParameterValue (int index, float normalisedValue) = 0;

    virtual int getProgramCount() = 0;
    virtual int getCurrentProgramIndex() = 0;
    virtual void selectProgram (int index) = 0;
    virtual juce::String getProgramNameText (int index) = 0;
    virtual void renameProgram (int index, const juce::String& newName) = 0;

    // Any of the host's non-audio threads, without filterLock; may take it briefly. The block is
    // empty on entry; whatever is appended is the state the host keeps.
    virtual void saveState (juce::MemoryBlock& destination) = 0;
    // Any of the host's non-audio threads, without filterLock; may take it briefly. Called only
    // with data and a size above 0; the data stays readable until it returns.
    virtual void restoreState (const void* data, int sizeInBytes) = 0;

    // Host's dispatcher thread, once, while the bridge is built.
    void setHostCallbacks (FilterNativeCallbacks* callbacks);
    // Message thread; waits on the host's answer.
    void setParameterViaHost (int index, float normalisedValue);

    // The only way editors are made: records the new editor as the active one. Message thread;
    // waits on filterLock.
    AudioFilterEditor* createAndTrackEditor();
    // Called just before the editor is deleted. Message thread; waits on filterLock.
    void forgetEditor (AudioFilterEditor* editor);

    AudioFilterEditor* getActiveEditor() const noexcept { return activeEditor; }
    const FilterProperties& getProperties() const noexcept { return properties; }

    FilterProperties properties;
    // Held by the bridge for the whole of every block; user-interface code that changes what a
    // block reads takes it too.
    juce::CriticalSection filterLock;
    double sampleRate = 0.0;
    int blockSize = 0;

protected:
    FilterNativeCallbacks* hostCallbacks = nullptr;
    AudioFilterEditor* activeEditor = nullptr;

private:
    JUCE_DECLARE_NON_COPYABLE (AudioFilterBase)
};

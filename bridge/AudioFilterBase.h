#pragma once

#include "bridge/FilterProperties.h"
#include "bridge/PlayPositionInfo.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

class AudioFilterEditor;

// The host-independent contract that a filter implements. The bridge owns one filter and turns
// every host request into these operations; the filter reaches the host only through
// FilterNativeCallbacks.
class AudioFilterBase
{
public:
    // Implemented by the bridge: what a filter may ask of its host.
    class FilterNativeCallbacks
    {
    public:
        virtual ~FilterNativeCallbacks() = default;
        virtual bool getPlayPosition (PlayPositionInfo& info) = 0;
        virtual void reportParameterChange (int index, float normalisedValue) = 0;
    };

    AudioFilterBase() = default;
    virtual ~AudioFilterBase() = default;

    virtual void fillFilterProperties (FilterProperties& properties) = 0;
    virtual void prepareForPlayback (double sampleRate, int blockSize) = 0;
    virtual void releasePlaybackResources() = 0;

    // Called with filterLock held. The MIDI buffer holds the host's events on entry and the
    // filter's output on return.
    virtual void processNextBlock (juce::AudioBuffer<float>& input, juce::AudioBuffer<float>& output,
                                   bool accumulate, juce::MidiBuffer& midiMessages) = 0;

    virtual AudioFilterEditor* createFilterEditor() = 0;

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

    // The block is empty on entry; whatever is appended is the state the host keeps.
    virtual void saveState (juce::MemoryBlock& destination) = 0;
    // Called only with data and a size above 0.
    virtual void restoreState (const void* data, int sizeInBytes) = 0;

    void setHostCallbacks (FilterNativeCallbacks* callbacks);
    void setParameterViaHost (int index, float normalisedValue);

    // The only way editors are made: records the new editor as the active one.
    AudioFilterEditor* createAndTrackEditor();
    // Called just before the editor is deleted.
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
    // The hand-over between an editor and what the filter keeps without one. Each runs on the
    // editor's (message) thread.
    // With filterLock held, at the moment the new editor becomes the active one: allocates and
    // frees nothing.
    virtual void editorActivated (AudioFilterEditor& editor) {}
    // Without filterLock, while the editor is still the active one and before it is deleted: the
    // filter copies what it keeps of it.
    virtual void editorClosing (AudioFilterEditor& editor) {}
    // With filterLock held, at the moment the editor stops being the active one: allocates and
    // frees nothing.
    virtual void editorForgotten (AudioFilterEditor& editor) {}

    FilterNativeCallbacks* hostCallbacks = nullptr;
    AudioFilterEditor* activeEditor = nullptr;

private:
    JUCE_DECLARE_NON_COPYABLE (AudioFilterBase)
};

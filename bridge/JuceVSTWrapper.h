#pragma once

#include "bridge/AudioFilterBase.h"
#include "bridge/ChunkKeeper.h"
#include "bridge/EditorHosting.h"
#include "bridge/OutgoingMidiList.h"
#include "host/AudioEffectX.h"

#include <juce_events/juce_events.h>

#include <memory>

class EditorCompWrapper;

// The object the host sees as the plug-in: an effect that owns one filter and turns every host
// request into the filter's operations, moves MIDI both ways, keeps the state chunk alive for
// the host and hosts the filter's editor in the host's window.
class JuceVSTWrapper : public AudioEffectX,
                       private juce::Timer,
                       public AudioFilterBase::FilterNativeCallbacks
{
public:
    JuceVSTWrapper (audioMasterCallback hostCallback, AudioFilterBase* filterToUse);
    ~JuceVSTWrapper() override;

    void setParameter (VstInt32 index, float value) override;
    float getParameter (VstInt32 index) override;
    void process (float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processReplacing (float** inputs, float** outputs, VstInt32 sampleFrames) override;
    VstIntPtr dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
    void open() override;
    void close() override;
    VstInt32 getProgram() override;
    void setProgram (VstInt32 program) override;
    void setProgramName (char* name) override;
    void getProgramName (char* name) override;
    void getParameterDisplay (VstInt32 index, char* text) override;
    void getParameterName (VstInt32 index, char* text) override;
    VstInt32 getChunk (void** data, bool isPreset) override;
    VstInt32 setChunk (void* data, VstInt32 byteSize, bool isPreset) override;
    void suspend() override;
    void resume() override;
    VstInt32 processEvents (VstEvents* events) override;
    bool getProgramNameIndexed (VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getPlugCategory() override;
    bool getEffectName (char* name) override;
    bool getVendorString (char* text) override;
    bool getProductString (char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo (char* text) override;
    bool keysRequired() override;

    bool getPlayPosition (PlayPositionInfo& info) override;
    void reportParameterChange (int index, float normalisedValue) override;

    // Editor hosting (see EditorHosting); message thread.
    void createEditorComp();
    void deleteEditorComp();
    VstIntPtr handleEditorIdle();
    void idleHostWhileMouseDown();
    void resizeHostWindow (int width, int height);
    EditorCompWrapper* getEditorComp() const noexcept;

    AudioFilterBase* getFilter() const noexcept { return filter.get(); }
    bool isChunkPending() const;

    static constexpr int timerIntervalMs = 250;

    // The bridge derives an identifier from these names when the filter gives none.
    static VstInt32 deriveUniqueId (const juce::String& product, const juce::String& vendor);

private:
    void timerCallback() override;

    void prepareFilter();
    void runFilterBlock (float** inputs, float** outputs, VstInt32 sampleFrames, bool accumulate);
    void sendMidiToHost();
    VstIntPtr openEditor (VstInt32 index, VstIntPtr value, void* hostWindow, float opt);

    std::unique_ptr<AudioFilterBase> filter;
    int numInputChannels = 0;
    int numOutputChannels = 0;
    ChunkKeeper chunks;
    EditorHosting editorHosting { *this, *filter };
    juce::MidiBuffer midiEvents;
    OutgoingMidiList outgoingEvents;
    bool wantsMidiIn = false;
    bool sendsMidiOut = false;
    bool isPrepared = false;

    JUCE_DECLARE_NON_COPYABLE (JuceVSTWrapper)
};

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
    // Host thread calling the entry point; takes ownership of the filter. Waits on the host's
    // answer to its MIDI request.
    JuceVSTWrapper (audioMasterCallback hostCallback, AudioFilterBase* filterToUse);
    // Host's dispatcher thread, after effClose; deletes the editor (waiting on filterLock), then
    // the filter.
    ~JuceVSTWrapper() override;

    // Host's dispatcher thread (some hosts automate from the audio thread); wait on nothing.
    void setParameter (VstInt32 index, float value) override;
    float getParameter (VstInt32 index) override;

    // Audio thread: take filterLock for the block and nothing else; allocate nothing once
    // playback was switched on. Then wait on the host's answer to the outgoing MIDI.
    void process (float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processReplacing (float** inputs, float** outputs, VstInt32 sampleFrames) override;
    // Audio thread or dispatcher thread, never overlapping a block; waits on nothing.
    VstInt32 processEvents (VstEvents* events) override;

    // Host's dispatcher thread. The editor opcodes make it the framework's message thread and
    // wait on filterLock and the window system; every other opcode waits on what its operation
    // below says.
    VstIntPtr dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    // Host's dispatcher thread. open starts the housekeeping timer; close stops it and deletes
    // the editor (waiting on filterLock).
    void open() override;
    void close() override;

    // Host's dispatcher thread; wait on nothing but the filter's brief locks.
    VstInt32 getProgram() override;
    void setProgram (VstInt32 program) override;
    void setProgramName (char* name) override;
    void getProgramName (char* name) override;
    void getParameterDisplay (VstInt32 index, char* text) override;
    void getParameterName (VstInt32 index, char* text) override;
    bool getProgramNameIndexed (VstInt32 category, VstInt32 index, char* text) override;

    // Any of the host's non-audio threads; wait on the chunk keeper's lock and, briefly, on
    // filterLock.
    VstInt32 getChunk (void** data, bool isPreset) override;
    VstInt32 setChunk (void* data, VstInt32 byteSize, bool isPreset) override;

    // Host's dispatcher thread, never while a block runs; resume may allocate the MIDI room and
    // waits on the host's answer to its MIDI request.
    void suspend() override;
    void resume() override;

    // Host's dispatcher thread; answer from fixed facts, waiting on nothing.
    VstInt32 getPlugCategory() override;
    bool getEffectName (char* name) override;
    bool getVendorString (char* text) override;
    bool getProductString (char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo (char* text) override;
    bool keysRequired() override;

    // Whichever thread the filter asks from (the audio thread included); waits on the host.
    bool getPlayPosition (PlayPositionInfo& info) override;
    // Message thread; waits on the host.
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
    // Message thread, every 250 ms between open and close (and from inside the host's editor
    // idle); waits on the chunk keeper's lock and the host's idle answer.
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

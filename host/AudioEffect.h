#pragma once

#include "host/VstInterface.h"

class AEffEditor;

// The effect object behind an AEffect record: it owns the record the host holds, turns the
// host's basic requests (opcodes 0 to 24) into virtual operations with default answers, and
// makes the basic requests of the host.
//
// Threads: this layer keeps no state of its own beyond the record and takes no lock; each
// operation runs on the thread the host calls from and waits on nothing but the host's answer
// where it asks the host something. The process operations come on the audio thread, everything
// else through the dispatcher on the host's non-audio threads.
class AudioEffect
{
public:
    AudioEffect (audioMasterCallback hostCallback, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();

    // Any host thread, the audio thread included.
    virtual void setParameter (VstInt32 index, float value);
    virtual float getParameter (VstInt32 index);
    // Tells the host too: waits on its answer.
    virtual void setParameterAutomated (VstInt32 index, float value);

    // Audio thread.
    virtual void process (float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processReplacing (float** inputs, float** outputs, VstInt32 sampleFrames);

    // Host's dispatcher thread: opcodes 0 to 24 to the operations below, each answered on the
    // calling thread.
    virtual VstIntPtr dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    // The dispatcher's operations and the setup operations: host's dispatcher thread.
    virtual void open();
    virtual void close();

    virtual VstInt32 getProgram();
    virtual void setProgram (VstInt32 program);
    virtual void setProgramName (char* name);
    virtual void getProgramName (char* name);
    virtual void getParameterLabel (VstInt32 index, char* label);
    virtual void getParameterDisplay (VstInt32 index, char* text);
    virtual void getParameterName (VstInt32 index, char* text);
    virtual float getVu();
    virtual VstInt32 getChunk (void** data, bool isPreset);
    virtual VstInt32 setChunk (void* data, VstInt32 byteSize, bool isPreset);
    virtual void setSampleRate (float newSampleRate);
    virtual void setBlockSize (VstInt32 newBlockSize);
    virtual void suspend();
    virtual void resume();

    virtual void setUniqueID (VstInt32 id);
    virtual void setNumInputs (VstInt32 inputs);
    virtual void setNumOutputs (VstInt32 outputs);
    virtual void hasVu (bool state);
    virtual void hasClip (bool state);
    virtual void canMono (bool state);
    virtual void canProcessReplacing (bool state);
    virtual void programsAreChunks (bool state);
    virtual void setRealtimeQualities (VstInt32 qualities);
    virtual void setOfflineQualities (VstInt32 qualities);
    virtual void setInitialDelay (VstInt32 delay);

    virtual float getSampleRate();
    virtual VstInt32 getBlockSize();

    // Requests of the host: the calling thread waits on the host's answer.
    virtual VstInt32 getMasterVersion();
    virtual VstInt32 getCurrentUniqueId();
    virtual void masterIdle();
    virtual bool isInputConnected (VstInt32 input);
    virtual bool isOutputConnected (VstInt32 output);

    // Formatting: any thread; pure functions of their arguments.
    virtual void dB2string (float value, char* text);
    virtual void Hz2string (float samples, char* text);
    virtual void ms2string (float samples, char* text);
    virtual void float2string (float value, char* text);
    virtual void long2string (VstInt32 value, char* text);

    AEffect* getAeffect() { return &cEffect; }

protected:
    // Sends one request to the host; without a host callback nothing is sent and 0 comes back.
    VstIntPtr callHost (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                        void* ptr = nullptr, float opt = 0.0f);
    bool hasHostCallback() const { return audioMaster != nullptr; }
    void setFlag (VstInt32 flag, bool state);

    float sampleRate;
    AEffEditor* editor;
    audioMasterCallback audioMaster;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 curProgram;
    VstInt32 blockSize;
    AEffect cEffect;

private:
    AudioEffect (const AudioEffect&) = delete;
    AudioEffect& operator= (const AudioEffect&) = delete;
};

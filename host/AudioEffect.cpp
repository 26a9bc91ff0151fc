#include "host/AudioEffect.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace
{
// What the host gets for effIdentify: 'NvEf' from the most significant byte down.
constexpr VstIntPtr kIdentifyAnswer = 0x4E764566;
// The record's identifier until a derived class sets its own: 'NoEf'.
constexpr VstInt32 kDefaultUniqueId = 0x4E6F4566;

// The host hands the trampolines only records it received from this library, so `object`
// always leads to the effect object that holds the record.
AudioEffect* effectBehind (AEffect* record)
{
    return static_cast<AudioEffect*> (record->object);
}

// Host's dispatcher thread (any of its non-audio threads; some hosts send effProcessEvents from
// the audio thread). Waits on what the effect's operation waits on; effClose destroys the object.
VstIntPtr dispatchTrampoline (AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt)
{
    AudioEffect* effect = effectBehind (record);

    if (opcode == effClose)
    {
        // The host lets go of the record with this request, so the object that holds it goes
        // too; whatever close answered, the host is told it worked.
        effect->dispatcher (opcode, index, value, ptr, opt);
        delete effect;
        return 1;
    }

    return effect->dispatcher (opcode, index, value, ptr, opt);
}

// Audio thread; waits on what the effect's block waits on (the filter's lock only).
void processTrampoline (AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    effectBehind (record)->process (inputs, outputs, sampleFrames);
}

// Audio thread; as processTrampoline.
void processReplacingTrampoline (AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    effectBehind (record)->processReplacing (inputs, outputs, sampleFrames);
}

// Any host thread, the audio thread included; waits on nothing in this layer.
void setParameterTrampoline (AEffect* record, VstInt32 index, float value)
{
    effectBehind (record)->setParameter (index, value);
}

// Any host thread, the audio thread included; waits on nothing in this layer.
float getParameterTrampoline (AEffect* record, VstInt32 index)
{
    return effectBehind (record)->getParameter (index);
}

void writeEmptyString (char* text)
{
    text[0] = 0;
}

VstIntPtr vuAsInteger (float vu)
{
    const double scaled = std::trunc (static_cast<double> (vu) * 32767.0);

    // Converting an out-of-range double is undefined, so a meter gone wild saturates instead.
    if (std::isnan (scaled))
        return 0;
    if (scaled >= 2147483647.0)
        return INT32_MAX;
    if (scaled <= -2147483648.0)
        return INT32_MIN;
    return static_cast<VstInt32> (scaled);
}

// The formatting tools fill display fields of this many characters plus the terminator; the
// sign and the point count against it.
constexpr int kShortTextLength = 8;

// Writes the decimal digits of `number` (at least one) ending just before `end`, and returns
// where the first of them starts.
char* writeDigitsBackwards (uint64_t number, char* end)
{
    do
    {
        *--end = static_cast<char> ('0' + number % 10);
        number /= 10;
    } while (number != 0);

    return end;
}

void writeFixedDigits (uint64_t number, int count, char* text)
{
    for (int i = count - 1; i >= 0; --i)
    {
        text[i] = static_cast<char> ('0' + number % 10);
        number /= 10;
    }
}
} // namespace

AudioEffect::AudioEffect (audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 paramCount)
    : sampleRate (44100.0f),
      editor (nullptr),
      audioMaster (hostCallback),
      numPrograms (programCount),
      numParams (paramCount),
      curProgram (0),
      blockSize (1024)
{
    std::memset (&cEffect, 0, sizeof (cEffect));

    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchTrampoline;
    cEffect.process = processTrampoline;
    cEffect.setParameter = setParameterTrampoline;
    cEffect.getParameter = getParameterTrampoline;
    cEffect.numPrograms = programCount;
    cEffect.numParams = paramCount;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = 0;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = kDefaultUniqueId;
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingTrampoline;
}

AudioEffect::~AudioEffect() = default;

void AudioEffect::setParameter (VstInt32 index, float value)
{
}

float AudioEffect::getParameter (VstInt32 index)
{
    return 0.0f;
}

void AudioEffect::setParameterAutomated (VstInt32 index, float value)
{
    // The parameter changes whether or not a host is there to hear about it.
    setParameter (index, value);
    callHost (audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::processReplacing (float** inputs, float** outputs, VstInt32 sampleFrames)
{
}

VstIntPtr AudioEffect::dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    // Hosts are known to pass null buffers now and then; such a request names nothing to fill
    // or read, so it gets the neutral answer before any override can trip over it.
    switch (opcode)
    {
        case effSetProgramName:
        case effGetProgramName:
        case effGetParamLabel:
        case effGetParamDisplay:
        case effGetParamName:
        case effGetChunk:
        case effSetChunk:
            if (ptr == nullptr)
                return 0;
            break;
        default:
            break;
    }

    switch (opcode)
    {
        case effOpen:
            open();
            return 0;
        case effClose:
            close();
            return 0;
        case effSetProgram:
            if (value < numPrograms)
                setProgram (static_cast<VstInt32> (value));
            return 0;
        case effGetProgram:
            return getProgram();
        case effSetProgramName:
            setProgramName (static_cast<char*> (ptr));
            return 0;
        case effGetProgramName:
            getProgramName (static_cast<char*> (ptr));
            return 0;
        case effGetParamLabel:
            getParameterLabel (index, static_cast<char*> (ptr));
            return 0;
        case effGetParamDisplay:
            getParameterDisplay (index, static_cast<char*> (ptr));
            return 0;
        case effGetParamName:
            getParameterName (index, static_cast<char*> (ptr));
            return 0;
        case effGetVu:
            return vuAsInteger (getVu());
        case effSetSampleRate:
            setSampleRate (opt);
            return 0;
        case effSetBlockSize:
            setBlockSize (static_cast<VstInt32> (value));
            return 0;
        case effMainsChanged:
            if (value == 0)
                suspend();
            else
                resume();
            return 0;
        case effIdentify:
            return kIdentifyAnswer;
        case effGetChunk:
            return getChunk (static_cast<void**> (ptr), index != 0);
        case effSetChunk:
            return setChunk (ptr, static_cast<VstInt32> (value), index != 0);
        default:
            // The editor requests (13 to 21) need an editor object, and none is ever installed.
            return 0;
    }
}

void AudioEffect::open()
{
}

void AudioEffect::close()
{
}

VstInt32 AudioEffect::getProgram()
{
    return curProgram;
}

void AudioEffect::setProgram (VstInt32 program)
{
    curProgram = program;
}

void AudioEffect::setProgramName (char* name)
{
    writeEmptyString (name);
}

void AudioEffect::getProgramName (char* name)
{
    writeEmptyString (name);
}

void AudioEffect::getParameterLabel (VstInt32 index, char* label)
{
    writeEmptyString (label);
}

void AudioEffect::getParameterDisplay (VstInt32 index, char* text)
{
    writeEmptyString (text);
}

void AudioEffect::getParameterName (VstInt32 index, char* text)
{
    writeEmptyString (text);
}

float AudioEffect::getVu()
{
    return 0.0f;
}

VstInt32 AudioEffect::getChunk (void** data, bool isPreset)
{
    return 0;
}

VstInt32 AudioEffect::setChunk (void* data, VstInt32 byteSize, bool isPreset)
{
    return 0;
}

void AudioEffect::setSampleRate (float newSampleRate)
{
    sampleRate = newSampleRate;
}

void AudioEffect::setBlockSize (VstInt32 newBlockSize)
{
    blockSize = newBlockSize;
}

void AudioEffect::suspend()
{
}

void AudioEffect::resume()
{
}

void AudioEffect::setUniqueID (VstInt32 id)
{
    cEffect.uniqueID = id;
}

void AudioEffect::setNumInputs (VstInt32 inputs)
{
    cEffect.numInputs = inputs;
}

void AudioEffect::setNumOutputs (VstInt32 outputs)
{
    cEffect.numOutputs = outputs;
}

void AudioEffect::setFlag (VstInt32 flag, bool state)
{
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

void AudioEffect::hasVu (bool state)
{
    setFlag (effFlagsHasVu, state);
}

void AudioEffect::hasClip (bool state)
{
    setFlag (effFlagsHasClip, state);
}

void AudioEffect::canMono (bool state)
{
    setFlag (effFlagsCanMono, state);
}

void AudioEffect::canProcessReplacing (bool state)
{
    setFlag (effFlagsCanReplacing, state);
}

void AudioEffect::programsAreChunks (bool state)
{
    setFlag (effFlagsProgramChunks, state);
}

void AudioEffect::setRealtimeQualities (VstInt32 qualities)
{
    cEffect.realQualities = qualities;
}

void AudioEffect::setOfflineQualities (VstInt32 qualities)
{
    cEffect.offQualities = qualities;
}

void AudioEffect::setInitialDelay (VstInt32 delay)
{
    cEffect.initialDelay = delay;
}

float AudioEffect::getSampleRate()
{
    return sampleRate;
}

VstInt32 AudioEffect::getBlockSize()
{
    return blockSize;
}

VstIntPtr AudioEffect::callHost (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (! hasHostCallback())
        return 0;

    return audioMaster (&cEffect, opcode, index, value, ptr, opt);
}

VstInt32 AudioEffect::getMasterVersion()
{
    // Hosts too old to answer this speak the first interface version.
    const VstIntPtr answer = callHost (audioMasterVersion);
    return answer == 0 ? 1 : static_cast<VstInt32> (answer);
}

VstInt32 AudioEffect::getCurrentUniqueId()
{
    return static_cast<VstInt32> (callHost (audioMasterCurrentId));
}

void AudioEffect::masterIdle()
{
    callHost (audioMasterIdle);
}

// The host answers 0 for a connected pin, and a host that cannot tell is taken to mean yes.
bool AudioEffect::isInputConnected (VstInt32 input)
{
    return callHost (audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected (VstInt32 output)
{
    return callHost (audioMasterPinConnected, output, 1) == 0;
}

void AudioEffect::dB2string (float value, char* text)
{
    if (value <= 0.0f)
    {
        std::strcpy (text, "-oo");
        return;
    }

    float2string (static_cast<float> (20.0 * std::log10 (static_cast<double> (value))), text);
}

void AudioEffect::Hz2string (float samples, char* text)
{
    if (samples == 0.0f)
    {
        float2string (0.0f, text);
        return;
    }

    float2string (getSampleRate() / samples, text);
}

void AudioEffect::ms2string (float samples, char* text)
{
    float2string (static_cast<float> (samples * 1000.0 / getSampleRate()), text);
}

void AudioEffect::float2string (float value, char* text)
{
    double magnitude = value;
    const bool negative = magnitude < 0.0;
    if (negative)
        magnitude = -magnitude;

    // Written so that NaN fails it too: a value with no digits to show leaves the text as it was.
    const double limit = negative ? 9999999.0 : 99999999.0;
    if (! (magnitude <= limit))
        return;

    const double wholePart = std::floor (magnitude);
    char integerDigits[24];
    char* const digitsEnd = integerDigits + sizeof (integerDigits);
    const char* const digitsStart = writeDigitsBackwards (static_cast<uint64_t> (wholePart), digitsEnd);
    const int digitCount = static_cast<int> (digitsEnd - digitsStart);
    const int signAndDigits = digitCount + (negative ? 1 : 0);

    char* out = text;
    if (negative)
        *out++ = '-';
    std::memcpy (out, digitsStart, static_cast<size_t> (digitCount));
    out += digitCount;

    // The limits let through one integer digit more than leaves room for the point; such a
    // value shows its integer digits alone rather than losing its leading digit.
    if (signAndDigits >= kShortTextLength)
    {
        *out = 0;
        return;
    }

    *out++ = '.';

    const int decimals = kShortTextLength - signAndDigits - 1;
    const double scaledFraction = std::fmod (magnitude, 1.0) * std::pow (10.0, decimals);
    writeFixedDigits (static_cast<uint64_t> (scaledFraction), decimals, out);
    out[decimals] = 0;
}

void AudioEffect::long2string (VstInt32 value, char* text)
{
    if (value >= 100000000)
    {
        std::strcpy (text, "Huge!");
        return;
    }

    // The limit keeps the widest values (INT32_MIN takes 11 characters) to 8 plus the terminator.
    char formatted[kShortTextLength + 1];
    if (std::snprintf (formatted, sizeof (formatted), "%7d", static_cast<int> (value)) < 0)
        formatted[0] = 0;
    std::strcpy (text, formatted);
}

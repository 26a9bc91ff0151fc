// The interface records as hosts read them, checked by the compiler. Compiled for a 32-bit target,
// every offset must match the 32-bit hosts' table (a 144-byte effect record); compiled natively,
// the pointer-wide fields give the layout 64-bit hosts read. Nothing here needs to run, so the
// 32-bit check works on machines that cannot execute 32-bit programs.

#include "host/VstInterface.h"

#include <cstddef>

namespace
{
constexpr bool is32Bit = sizeof (void*) == 4;
constexpr size_t p32 (size_t offset32, size_t offset64) { return is32Bit ? offset32 : offset64; }
}

#define CHECK(type, field, at32, at64) \
    static_assert (offsetof (type, field) == p32 (at32, at64), #type "." #field " is not where hosts read it")
#define CHECK_SIZE(type, at32, at64) \
    static_assert (sizeof (type) == p32 (at32, at64), "sizeof " #type " differs from what hosts read")

namespace
{
[[maybe_unused]] void checkRecordLayouts()
{
    CHECK (AEffect, magic, 0, 0);
    CHECK (AEffect, dispatcher, 4, 8);
    CHECK (AEffect, process, 8, 16);
    CHECK (AEffect, setParameter, 12, 24);
    CHECK (AEffect, getParameter, 16, 32);
    CHECK (AEffect, numPrograms, 20, 40);
    CHECK (AEffect, numParams, 24, 44);
    CHECK (AEffect, numInputs, 28, 48);
    CHECK (AEffect, numOutputs, 32, 52);
    CHECK (AEffect, flags, 36, 56);
    CHECK (AEffect, resvd1, 40, 64);
    CHECK (AEffect, resvd2, 44, 72);
    CHECK (AEffect, initialDelay, 48, 80);
    CHECK (AEffect, realQualities, 52, 84);
    CHECK (AEffect, offQualities, 56, 88);
    CHECK (AEffect, ioRatio, 60, 92);
    CHECK (AEffect, object, 64, 96);
    CHECK (AEffect, user, 68, 104);
    CHECK (AEffect, uniqueID, 72, 112);
    CHECK (AEffect, version, 76, 116);
    CHECK (AEffect, processReplacing, 80, 120);
    CHECK (AEffect, processDoubleReplacing, 84, 128);
    CHECK (AEffect, future, 88, 136);
    CHECK_SIZE (AEffect, 144, 192);

    CHECK (VstTimeInfo, samplePos, 0, 0);
    CHECK (VstTimeInfo, sampleRate, 8, 8);
    CHECK (VstTimeInfo, nanoSeconds, 16, 16);
    CHECK (VstTimeInfo, ppqPos, 24, 24);
    CHECK (VstTimeInfo, tempo, 32, 32);
    CHECK (VstTimeInfo, barStartPos, 40, 40);
    CHECK (VstTimeInfo, cycleStartPos, 48, 48);
    CHECK (VstTimeInfo, cycleEndPos, 56, 56);
    CHECK (VstTimeInfo, timeSigNumerator, 64, 64);
    CHECK (VstTimeInfo, timeSigDenominator, 68, 68);
    CHECK (VstTimeInfo, smpteOffset, 72, 72);
    CHECK (VstTimeInfo, smpteFrameRate, 76, 76);
    CHECK (VstTimeInfo, samplesToNextClock, 80, 80);
    CHECK (VstTimeInfo, flags, 84, 84);
    CHECK_SIZE (VstTimeInfo, 88, 88);

    CHECK (VstEvents, numEvents, 0, 0);
    CHECK (VstEvents, reserved, 4, 8);
    CHECK (VstEvents, events, 8, 16);

    CHECK (VstMidiEvent, type, 0, 0);
    CHECK (VstMidiEvent, byteSize, 4, 4);
    CHECK (VstMidiEvent, deltaFrames, 8, 8);
    CHECK (VstMidiEvent, flags, 12, 12);
    CHECK (VstMidiEvent, noteLength, 16, 16);
    CHECK (VstMidiEvent, noteOffset, 20, 20);
    CHECK (VstMidiEvent, midiData, 24, 24);
    CHECK (VstMidiEvent, detune, 28, 28);
    CHECK (VstMidiEvent, noteOffVelocity, 29, 29);
    CHECK (VstMidiEvent, reserved1, 30, 30);
    CHECK (VstMidiEvent, reserved2, 31, 31);
    CHECK_SIZE (VstMidiEvent, 32, 32);

    CHECK (ERect, top, 0, 0);
    CHECK (ERect, left, 2, 2);
    CHECK (ERect, bottom, 4, 4);
    CHECK (ERect, right, 6, 6);
    CHECK_SIZE (ERect, 8, 8);

    CHECK (VstSpeakerProperties, azimuth, 0, 0);
    CHECK (VstSpeakerProperties, elevation, 4, 4);
    CHECK (VstSpeakerProperties, radius, 8, 8);
    CHECK (VstSpeakerProperties, reserved, 12, 12);
    CHECK (VstSpeakerProperties, name, 16, 16);
    CHECK (VstSpeakerProperties, type, 80, 80);
    CHECK (VstSpeakerProperties, future, 84, 84);
    CHECK_SIZE (VstSpeakerProperties, 112, 112);
    CHECK (VstSpeakerArrangement, type, 0, 0);
    CHECK (VstSpeakerArrangement, numChannels, 4, 4);
    CHECK (VstSpeakerArrangement, speakers, 8, 8);
}
}

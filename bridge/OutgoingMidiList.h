#pragma once

#include "host/VstInterface.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

// The MIDI the bridge hands the host after a block: one VstEvents list whose records are
// allocated ahead and reused for every block. Records are MIDI events whose type and size are
// written once; per event only the sample position and the message's own bytes are written, so
// bytes past a short message keep what the record held before.
//
// Threads: the host's audio thread fills it; the dispatcher thread grows it when playback is
// switched on. The host never overlaps the two.
class OutgoingMidiList
{
public:
    OutgoingMidiList() = default;
    ~OutgoingMidiList();

    // Makes room for numEvents records, with spareRecords more; allocates only when the list
    // holds fewer. Out of memory, the list keeps the records it could get.
    void ensureCapacity (int numEvents);

    // Writes the buffer's messages of up to 4 bytes into the records, in the buffer's order, and
    // returns the list (nullptr while it has never been allocated). Longer messages are skipped.
    // Allocates only when the buffer holds more events than there are records.
    VstEvents* fillFrom (const juce::MidiBuffer& events);

    int getCapacity() const noexcept { return capacity; }

    static constexpr int spareRecords = 32;
    // The bytes of a record after its type and size fields.
    static constexpr VstInt32 recordByteSize = 24;

private:
    static int countShortEvents (const uint8_t* bytes, const uint8_t* end);
    static void writeRecord (VstMidiEvent& record, int position, const uint8_t* message, int numBytes) noexcept;
    // data: the message's bytes, the first in the lowest byte.
    static void writeNoteRecord (VstMidiEvent& record, int position, uint32_t data) noexcept;
    void release();

    VstEvents* list = nullptr;
    int capacity = 0;
    // Each growth allocates its records in one run; these are the runs to free.
    std::vector<VstMidiEvent*> recordRuns;

    JUCE_DECLARE_NON_COPYABLE (OutgoingMidiList)
};

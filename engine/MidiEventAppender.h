#pragma once

#include "engine/MidiBufferLayout.h"
#include "engine/NoteCell.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <climits>
#include <cstring>

// Builds a MIDI buffer whose events mostly arrive in time order, as a block's output does. The
// framework's own add searches the whole buffer for every event, and a chord change adds 256
// of them; an event that belongs at the end is appended here in constant time, and a chord's
// notes are written in the buffer's own layout and appended in one copy. Events that belong
// earlier still go through the framework.
//
// Audio thread: allocates only when the buffer outgrows the room it was given.
class MidiEventAppender
{
public:
    explicit MidiEventAppender (juce::MidiBuffer& target) : buffer (target) {}

    void clear();
    void add (const uint8_t* message, int numBytes, int samplePosition);

    // For every cell that is on, in note order and all at one sample position, a note message:
    // the status (a note-on or note-off status), the cell's note moved by transpose semitones and
    // velocityOf (cell). A cell whose moved note lies outside 0 to 127 sends nothing.
    template <typename VelocityOf>
    void addNotes (uint8_t status, const NoteCell* cells, int numCells, int transpose, int samplePosition,
                   VelocityOf velocityOf)
    {
        numCells = std::min (numCells, notesPerChord);
        const int first = std::max (0, -transpose);
        const int end = std::min (numCells, notesPerChord - transpose);

        if (samplePosition < lastPosition)
        {
            for (int cell = first; cell < end; ++cell)
            {
                if (cells[cell].isOn != 0)
                {
                    const uint8_t message[] = { status, (uint8_t) (cell + transpose), velocityOf (cells[cell]) };
                    add (message, 3, samplePosition);
                }
            }

            return;
        }

        // A record is the position, the size 3, the status, the note and the velocity: the first
        // eight bytes are written as one word, the velocity after them.
        uint8_t records[notesPerChord * noteRecordSize];
        uint8_t* record = records;
        const uint64_t word = noteRecordWord (samplePosition, status);

        for (int cell = first; cell < end; ++cell)
        {
            if (cells[cell].isOn != 0)
            {
                const uint64_t withNote = word | ((uint64_t) (cell + transpose) << noteShift);
                std::memcpy (record, &withNote, sizeof (withNote));
                record[noteRecordSize - 1] = velocityOf (cells[cell]);
                record += noteRecordSize;
            }
        }

        appendRecords (records, record, samplePosition);
    }

private:
    static constexpr int eventHeaderSize = MidiBufferLayout::eventHeaderSize;
    static constexpr int noteRecordSize = eventHeaderSize + 3;

    // The note number's place in a record's first word (the word is stored little-endian).
    static constexpr int noteShift = 8 * (eventHeaderSize + 1);

    static uint64_t noteRecordWord (int samplePosition, uint8_t status);
    static bool isShortChannelMessage (const uint8_t* message, int numBytes);
    void appendRecords (const uint8_t* first, const uint8_t* end, int samplePosition);

    juce::MidiBuffer& buffer;
    int lastPosition = INT_MIN;
};

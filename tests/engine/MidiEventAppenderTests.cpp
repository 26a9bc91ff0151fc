// The in-order appender must build exactly the buffer the framework's own add builds, event by
// event and a chord at a time.

#include "engine/MidiEventAppender.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
std::vector<uint8_t> bytesOf (const juce::MidiBuffer& buffer)
{
    return { buffer.data.begin(), buffer.data.end() };
}
}

TEST (MidiEventAppender, InOrderAndOutOfOrderEventsMatchTheFrameworksBuffer)
{
    std::mt19937 random (7);

    for (int round = 0; round < 50; ++round)
    {
        juce::MidiBuffer expected, built;
        MidiEventAppender appender (built);
        appender.clear();
        int position = 0;

        for (int i = 0; i < 300; ++i)
        {
            // Mostly forward, sometimes back to an earlier position, sometimes the same one.
            const int step = (int) (random() % 10);
            position = step == 0 ? (int) (random() % (position + 1)) : position + (step < 5 ? 0 : step);

            const uint8_t kinds[] = { 0x90, 0x80, 0xB0, 0xC0, 0xE0 };
            const uint8_t message[] = { (uint8_t) (kinds[random() % 5] | (random() % 16)), (uint8_t) (random() % 128), (uint8_t) (random() % 128) };

            if (random() % 20 != 0)
            {
                expected.addEvent (message, 3, position);
                appender.add (message, 3, position);
                continue;
            }

            // Now and then a whole chord's note-ons or note-offs at once.
            const uint8_t noteStatus = (uint8_t) ((random() % 2 == 0 ? 0x90 : 0x80) | (random() % 16));
            NoteCell chord[notesPerChord];

            for (auto& cell : chord)
            {
                cell.isOn = random() % 3 == 0 ? (uint8_t) (1 + random() % 255) : 0;
                cell.velocity = (int32_t) random();
            }

            const auto velocityOf = [] (const NoteCell& cell) { return (uint8_t) (cell.velocity & 0x7F); };
            appender.addNotes (noteStatus, chord, notesPerChord, 0, position, velocityOf);

            for (int note = 0; note < notesPerChord; ++note)
            {
                if (chord[note].isOn != 0)
                {
                    const uint8_t noteMessage[] = { noteStatus, (uint8_t) note, velocityOf (chord[note]) };
                    expected.addEvent (noteMessage, 3, position);
                }
            }
        }

        ASSERT_EQ (bytesOf (built), bytesOf (expected)) << "round " << round;
    }
}

TEST (MidiEventAppender, ClearStartsAnEmptyBufferAgain)
{
    juce::MidiBuffer built;
    MidiEventAppender appender (built);
    const uint8_t noteOn[] = { 0x90, 60, 100 };

    appender.add (noteOn, 3, 500);
    appender.clear();
    EXPECT_TRUE (built.isEmpty());

    appender.add (noteOn, 3, 10);
    juce::MidiBuffer expected;
    expected.addEvent (noteOn, 3, 10);
    EXPECT_EQ (bytesOf (built), bytesOf (expected));
}

TEST (MidiEventAppender, SystemMessagesTakeTheFrameworksPath)
{
    juce::MidiBuffer built, expected;
    MidiEventAppender appender (built);
    const uint8_t sysex[] = { 0xF0, 1, 2, 3, 0xF7 };
    const uint8_t programChange[] = { 0xC3, 5 };

    appender.add (sysex, 5, 3);
    appender.add (programChange, 2, 4);
    expected.addEvent (sysex, 5, 3);
    expected.addEvent (programChange, 2, 4);
    EXPECT_EQ (bytesOf (built), bytesOf (expected));
}

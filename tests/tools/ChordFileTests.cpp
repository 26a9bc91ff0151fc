// --chords: the grid's columns taken from a MIDI file, one chord for each tick where notes start.

#include "tests/tools/PlayFixture.h"

namespace
{
const Chord cMajor { { 48, 100 }, { 60, 90 }, { 64, 80 }, { 67, 70 } };
const Chord fMajor { { 53, 33 }, { 57, 44 }, { 60, 55 } };
const Chord gSeven { { 43, 127 }, { 59, 1 }, { 62, 64 }, { 65, 99 } };
}

class ChordFileTest : public PlayTest
{
};

TEST_F (ChordFileTest, ThreeChordFilePlaysItsChordsInOrder)
{
    const auto run = play ({ "--chords", writeChordsFile ("three.mid", { cMajor, fMajor, gSeven }) });
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    std::vector<int> startedAt[3];

    for (const auto& e : listedEvents (run))
    {
        const int press = (int) std::lround (e.seconds / 0.5);

        if (e.isNoteOn)
        {
            ASSERT_LT (press, 3) << "three chords, three presses";
            startedAt[press].push_back (e.note);
        }
    }

    EXPECT_EQ (startedAt[0], (std::vector<int> { 48, 60, 64, 67 }));
    EXPECT_EQ (startedAt[1], (std::vector<int> { 53, 57, 60 }));
    EXPECT_EQ (startedAt[2], (std::vector<int> { 43, 59, 62, 65 }));
}

TEST_F (ChordFileTest, RoundTripKeepsEveryNoteAndVelocity)
{
    const std::vector<Chord> chords { cMajor, fMajor, gSeven };
    ASSERT_EQ (play ({ "--chords", writeChordsFile ("three.mid", chords), "--out", "played.mid" }).exitCode, 0);

    EXPECT_EQ (readOutput (file ("played.mid")).notes, expectedPerformance (chords, ticksEveryBeat (3)));
}

TEST_F (ChordFileTest, NotesStartingTogetherOnAnyTrackOrChannelMakeOneChord)
{
    // One chord spread over three tracks and three channels, the next one on a fourth channel;
    // the file's own resolution is 480 ticks per quarter note.
    const auto chords = writeNotesFile ("spread.mid",
                                        { { 0, 0, 1, { 60, 70 } },
                                          { 0, 1, 5, { 64, 71 } },
                                          { 0, 2, 16, { 67, 72 } },
                                          { 240, 1, 9, { 62, 50 } },
                                          { 240, 2, 9, { 65, 51 } } },
                                        480);

    ASSERT_EQ (play ({ "--chords", chords }).exitCode, 0);

    const std::vector<Chord> expected { { { 60, 70 }, { 64, 71 }, { 67, 72 } }, { { 62, 50 }, { 65, 51 } } };
    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes, expectedPerformance (expected, ticksEveryBeat (2)));
}

TEST_F (ChordFileTest, ChordsFollowTimeOrderNotTrackOrder)
{
    // The later chord is written on the first track.
    const auto chords = writeNotesFile ("order.mid", { { 1920, 0, 1, { 50, 90 } }, { 0, 1, 1, { 70, 80 } } });

    ASSERT_EQ (play ({ "--chords", chords }).exitCode, 0);

    const std::vector<Chord> expected { { { 70, 80 } }, { { 50, 90 } } };
    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes, expectedPerformance (expected, ticksEveryBeat (2)));
}

TEST_F (ChordFileTest, ANoteOnWithVelocityZeroIsNoNote)
{
    juce::MidiMessageSequence track;
    track.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 90), 0);
    track.addEvent (juce::MidiMessage (0x90, 60, 0), 480);  // the running-status way to end a note
    track.addEvent (juce::MidiMessage (0x90, 72, 0), 960);  // ends nothing and starts nothing
    track.addEvent (juce::MidiMessage::noteOn (1, 64, (juce::uint8) 80), 1920);
    juce::MidiFile midi;
    midi.setTicksPerQuarterNote (960);
    midi.addTrack (track);
    juce::MemoryOutputStream bytes;
    midi.writeTo (bytes);

    ASSERT_EQ (play ({ "--chords", writeBytes ("zero.mid", bytes.getMemoryBlock()) }).exitCode, 0);

    const std::vector<Chord> expected { { { 60, 90 } }, { { 64, 80 } } };
    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes, expectedPerformance (expected, ticksEveryBeat (2)));
}

TEST_F (ChordFileTest, MorePressesThanChordsWrapToTheFirstChord)
{
    const std::vector<Chord> chords { cMajor, fMajor };
    const auto pedal = writePedalFile ("pedal.mid",
                                       { { 0, 1, 127 }, { 480, 1, 0 }, { 960, 1, 127 }, { 1440, 1, 0 },
                                         { 1920, 1, 127 }, { 2400, 1, 0 } },
                                       {}, 960);

    ASSERT_EQ (play ({ "--chords", writeChordsFile ("two.mid", chords), "--pedal", pedal }).exitCode, 0);

    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes, expectedPerformance (chords, ticksEveryBeat (3)));
}

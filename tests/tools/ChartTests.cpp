// --chart, --print-chart and --export-chords: the grid from and to chord names, and to a MIDI
// file of chords that --chords reads back.

#include "tests/tools/PlayFixture.h"

namespace
{
// The voicing of chord names: bass in octave 3, the chord once in octave 4, velocity 100.
const Chord cVoiced { { 48, 100 }, { 60, 100 }, { 64, 100 }, { 67, 100 } };
const Chord am7Voiced { { 57, 100 }, { 60, 100 }, { 64, 100 }, { 67, 100 }, { 69, 100 } };
const Chord fOverAVoiced { { 57, 100 }, { 60, 100 }, { 65, 100 }, { 69, 100 } };
const Chord gVoiced { { 55, 100 }, { 62, 100 }, { 67, 100 }, { 71, 100 } };
const Chord g7Voiced { { 55, 100 }, { 62, 100 }, { 65, 100 }, { 67, 100 }, { 71, 100 } };

juce::MemoryBlock load (const juce::File& file)
{
    juce::MemoryBlock bytes;
    file.loadFileAsData (bytes);
    return bytes;
}
}

class ChartTest : public PlayTest
{
};

TEST_F (ChartTest, ChartTextOrChartFileBecomesTheGrid)
{
    const std::vector<Chord> expected { cVoiced, am7Voiced, fOverAVoiced, g7Voiced, {} };
    // The file wins over the text when the argument names one: this file is called "C".
    writeText ("chart.txt", "| C Am7 |\n| F/A G7 | N.C. |\n");
    writeText ("C", "G");

    for (const auto& chart : { std::string ("C Am7 | F/A G7 | N.C."), std::string ("chart.txt"), path ("chart.txt") })
    {
        SCOPED_TRACE (chart);
        const auto run = play ({ "--chart", chart });
        ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);
        EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes, expectedPerformance (expected, ticksEveryBeat (5)));
    }

    ASSERT_EQ (play ({ "--chart", "C" }).exitCode, 0);
    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes, expectedPerformance ({ gVoiced }, { 0 }));
}

TEST_F (ChartTest, PrintedChartIsAllThatIsPrintedAndReadsBackToTheSameGrid)
{
    // A chord in the voicing, a wide one, a slash chord, notes with no name, an empty column.
    const std::vector<Chord> chords { cVoiced, { { 36, 90 }, { 55, 80 }, { 64, 70 } }, fOverAVoiced,
                                      { { 60, 100 }, { 61, 100 } }, {}, g7Voiced };
    const auto printed = play ({ "--state", writeStateFile ("grid.state", chords), "--print-chart" });
    ASSERT_EQ (printed.exitCode, 0) << testing::PrintToString (printed);
    EXPECT_EQ (printed.out, "C C F/A [C4 C#4] | N.C. G7 |\n");
    EXPECT_TRUE (file ("corvadel-out.mid").existsAsFile()) << "the run still writes its files";

    // Read back, the chart's columns hold the chords in the voicing, at velocity 100.
    writeText ("printed.txt", printed.out);
    ASSERT_EQ (play ({ "--chart", "printed.txt", "--save-state", "back.state" }).exitCode, 0);
    const std::vector<Chord> voiced { cVoiced, cVoiced, fOverAVoiced, { { 60, 100 }, { 61, 100 } }, {}, g7Voiced };
    EXPECT_EQ (load (file ("back.state")), gridChunk (voiced));
}

TEST_F (ChartTest, ExportedChordsReadBackToTheSameGrid)
{
    // Velocities from 1 to 127, the lowest and highest notes, an empty column, a chord no name
    // fits, one note alone.
    const std::vector<Chord> grid { { { 0, 1 }, { 6, 50 }, { 127, 127 } }, {}, { { 43, 77 }, { 59, 64 }, { 62, 100 }, { 65, 12 } },
                                    { { 60, 100 }, { 61, 100 }, { 62, 100 } }, { { 72, 99 } } };
    const auto exported = play ({ "--state", writeStateFile ("grid.state", grid), "--export-chords", "chords.mid" });
    ASSERT_EQ (exported.exitCode, 0) << testing::PrintToString (exported);

    const auto back = play ({ "--chords", "chords.mid", "--save-state", "back.state", "--out", "back.mid" });
    ASSERT_EQ (back.exitCode, 0) << testing::PrintToString (back);
    EXPECT_EQ (load (file ("back.state")), gridChunk (grid));

    // One chord a beat, named on its beat.
    juce::FileInputStream in (file ("chords.mid"));
    juce::MidiFile midi;
    ASSERT_TRUE (midi.readFrom (in) && midi.getNumTracks() == 2);
    juce::StringArray names;

    for (const auto* event : *midi.getTrack (1))
        if (event->message.isTextMetaEvent())
            names.add (juce::String (event->message.getTimeStamp()) + " " + event->message.getTextFromTextMetaEvent());

    EXPECT_EQ (names.joinIntoString (", "), "0 [C-1 F#-1 G9], 960 N.C., 1920 G7, 2880 [C4 C#4 D4], 3840 [C5]");
}

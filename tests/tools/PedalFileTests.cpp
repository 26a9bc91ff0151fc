// --pedal: the presses and releases of a MIDI file, at their times under the file's tempo map.

#include "tests/tools/PlayFixture.h"

#include <set>

namespace
{
const std::vector<Chord> threeChords { { { 60, 100 }, { 64, 100 } }, { { 62, 90 }, { 65, 90 } }, { { 59, 80 }, { 67, 80 } } };

std::set<int> ticksOf (const std::vector<PlayedNote>& notes)
{
    std::set<int> ticks;

    for (const auto& n : notes)
        ticks.insert (n.tick);

    return ticks;
}
}

class PedalFileTest : public PlayTest
{
protected:
    std::string chords() { return writeChordsFile ("chords.mid", threeChords); }
};

TEST_F (PedalFileTest, PressesLandAtTheirTimesThroughATempoChange)
{
    // 480 ticks a quarter note; 120 bpm, then 60 bpm from beat 4 (2.0 s). Presses on beats 0,
    // 2 and 5: at 0.0 s, 1.0 s and 2.0 s + one slow beat = 3.0 s.
    const auto pedal = writePedalFile ("tempo.mid",
                                       { { 0, 1, 127 }, { 240, 1, 0 }, { 960, 1, 100 }, { 1200, 1, 0 }, { 2400, 1, 127 } },
                                       { { 0, 120.0 }, { 1920, 60.0 } }, 480);

    const auto run = play ({ "--chords", chords(), "--pedal", pedal });
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    const auto output = readOutput (file ("corvadel-out.mid"));
    EXPECT_EQ (output.notes, expectedPerformance (threeChords, { 0, 1920, 4800 }));

    std::set<double> seconds;

    for (const auto& e : listedEvents (run))
        seconds.insert (std::round (e.seconds * 1000.0) / 1000.0);

    // The run ends half a beat after the last press: at 60 bpm, half a second.
    EXPECT_EQ (seconds, (std::set<double> { 0.0, 1.0, 3.0, 3.5 }));
}

TEST_F (PedalFileTest, OutputCarriesThePedalFilesTempoMap)
{
    const auto pedal = writePedalFile ("tempo.mid", { { 0, 1, 127 }, { 240, 1, 0 }, { 2400, 1, 127 } },
                                       { { 0, 120.0 }, { 1920, 60.0 } }, 480);

    ASSERT_EQ (play ({ "--chords", chords(), "--pedal", pedal }).exitCode, 0);

    const auto tempos = readOutput (file ("corvadel-out.mid")).tempos;
    ASSERT_EQ (tempos.size(), 2u);
    EXPECT_EQ (tempos[0].first, 0);
    EXPECT_NEAR (tempos[0].second, 120.0, 0.001);
    EXPECT_EQ (tempos[1].first, 3840);
    EXPECT_NEAR (tempos[1].second, 60.0, 0.001);
}

TEST_F (PedalFileTest, PedalFileTempoOverridesBpm)
{
    const auto pedal = writePedalFile ("slow.mid", { { 0, 1, 127 }, { 480, 1, 0 }, { 960, 1, 127 } }, { { 0, 75.0 } }, 960);

    const auto run = play ({ "--chords", chords(), "--pedal", pedal, "--bpm", "200" });
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    EXPECT_EQ (ticksOf (readOutput (file ("corvadel-out.mid")).notes), (std::set<int> { 0, 960, 1440 }));

    const auto listed = listedEvents (run);
    ASSERT_FALSE (listed.empty());
    EXPECT_NEAR (listed.back().seconds, 1.2, 0.0005);  // a beat and a half at 75 bpm
    EXPECT_EQ (listed.back().barAndBeat, "1:2.50");
}

TEST_F (PedalFileTest, BarsFollowThePedalFilesTimeSignature)
{
    // Three beats a bar: the press on beat 3 opens bar 2, the one on beat 7 is bar 3's second beat.
    const auto pedal = writePedalFile ("waltz.mid", { { 0, 1, 127 }, { 480, 1, 0 }, { 2880, 1, 127 }, { 3360, 1, 0 },
                                                      { 6720, 1, 127 } },
                                       {}, 960, 3);

    const auto run = play ({ "--chords", chords(), "--pedal", pedal });
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    std::set<std::string> bars;

    for (const auto& e : listedEvents (run))
        bars.insert (e.barAndBeat);

    EXPECT_EQ (bars, (std::set<std::string> { "1:1.00", "2:1.00", "3:2.00", "3:2.50" }));

    const auto output = readOutput (file ("corvadel-out.mid"));
    ASSERT_EQ (output.timeSignatures.size(), 1u);
    EXPECT_EQ (output.timeSignatures[0], std::make_pair (3, 4));
}

TEST_F (PedalFileTest, OnlyAPressAfterAReleaseTriggersOnAnyChannel)
{
    // Down, down again without a release (nothing), released on another channel, down on a third.
    const auto pedal = writePedalFile ("held.mid", { { 0, 1, 127 }, { 480, 1, 64 }, { 960, 7, 0 }, { 1920, 16, 90 } }, {}, 960);

    ASSERT_EQ (play ({ "--chords", chords(), "--pedal", pedal }).exitCode, 0);

    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes, expectedPerformance (threeChords, { 0, 1920 }));
}

TEST_F (PedalFileTest, PressesBetweenBeatsKeepTheirExactTicks)
{
    // Ticks that fall inside blocks, off the beat: 1/3 and 7/8 of a beat at 120 bpm.
    const auto pedal = writePedalFile ("offbeat.mid", { { 320, 1, 127 }, { 400, 1, 0 }, { 1800, 1, 127 } }, {}, 960);

    ASSERT_EQ (play ({ "--chords", chords(), "--pedal", pedal }).exitCode, 0);

    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes, expectedPerformance (threeChords, { 320, 1800 }));
}

TEST_F (PedalFileTest, TheRunEndsAtTheFilesLastMessageWhenThatComesLater)
{
    // The last press at beat 1, its release at beat 4: the chord ends with the release.
    const auto pedal = writePedalFile ("late.mid", { { 0, 1, 127 }, { 480, 1, 0 }, { 960, 1, 127 }, { 3840, 1, 0 } }, {}, 960);

    ASSERT_EQ (play ({ "--chords", chords(), "--pedal", pedal }).exitCode, 0);

    EXPECT_EQ (readOutput (file ("corvadel-out.mid")).notes, expectedPerformance (threeChords, { 0, 960 }, 3840));
}

TEST_F (PedalFileTest, ALongRunReportsItsProgressOnStandardError)
{
    // A press at 0 s and one at 70 s: more than a minute of audio.
    const auto pedal = writePedalFile ("long.mid", { { 0, 1, 127 }, { 960, 1, 0 }, { 140 * 960, 1, 127 } }, {}, 960);

    const auto run = play ({ "--chords", chords(), "--pedal", pedal });
    ASSERT_TRUE (run.exitedNormally);
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    const auto lines = run.errLines();
    EXPECT_GE (lines.size(), 2u) << run.err;

    for (const auto& line : lines)
        EXPECT_NE (line.find ('%'), std::string::npos) << line;

    ASSERT_FALSE (lines.empty());
    EXPECT_NE (lines.back().find ("100%"), std::string::npos) << run.err;
    EXPECT_EQ (ticksOf (readOutput (file ("corvadel-out.mid")).notes), (std::set<int> { 0, 140 * 960, 140 * 960 + 480 }));
}

TEST_F (PedalFileTest, AShortRunIsQuietOnStandardError)
{
    const auto pedal = writePedalFile ("short.mid", { { 0, 1, 127 }, { 960, 1, 0 }, { 100 * 960, 1, 127 } }, {}, 960);

    const auto run = play ({ "--chords", chords(), "--pedal", pedal });
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);
    EXPECT_TRUE (run.err.empty()) << run.err;  // 50 s of audio
}

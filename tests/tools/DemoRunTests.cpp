// The program's main use: the demo progression played at one pedal press a beat.

#include "tests/tools/PlayFixture.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace
{
// The output's messages grouped by tick, in the order sent.
std::map<int, std::vector<PlayedNote>> byTick (const std::vector<PlayedNote>& notes)
{
    std::map<int, std::vector<PlayedNote>> groups;

    for (const auto& n : notes)
        groups[n.tick].push_back (n);

    return groups;
}

std::vector<int> notesOf (const std::vector<PlayedNote>& group, bool noteOns)
{
    std::vector<int> notes;

    for (const auto& n : group)
        if (n.isNoteOn == noteOns)
            notes.push_back (n.note);

    return notes;
}
}

class DemoRunTest : public PlayTest
{
};

TEST_F (DemoRunTest, ExitsCleanlyAndWritesTheDefaultOutputFile)
{
    const auto run = play ({});

    ASSERT_TRUE (run.exitedNormally) << testing::PrintToString (run);
    EXPECT_EQ (run.exitCode, 0) << testing::PrintToString (run);
    EXPECT_TRUE (run.err.empty()) << run.err;
    EXPECT_TRUE (file ("corvadel-out.mid").existsAsFile());
}

TEST_F (DemoRunTest, PrintsWhatAHostSeesOfThePlugIn)
{
    const auto run = play ({});
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    for (const char* expected : { "name Corvadel, product Corvadel, vendor Vantrelle, vendor version 1000",
                                  "id 1145521460 ('DGE4'), category instrument, flags 0x131",
                                  "audio 2 in, 2 out; 0 programs, 0 parameters",
                                  "receiveVstEvents=1", "sendVstMidiEvent=1", "receiveVstTimeInfo=1", "sizeWindow=0" })
        EXPECT_NE (run.out.find (expected), std::string::npos) << expected << "\n" << run.out;
}

TEST_F (DemoRunTest, EachPressEndsTheSoundingChordThenStartsTheNextAtThePressTick)
{
    ASSERT_EQ (play ({}).exitCode, 0);
    const auto output = readOutput (file ("corvadel-out.mid"));
    const auto groups = byTick (output.notes);

    // About eight chords, one press a beat from beat 0, and the end of the run half a beat later.
    ASSERT_EQ (groups.size(), 9u);
    int beat = 0;
    std::vector<int> sounding;

    for (const auto& [tick, group] : groups)
    {
        if (beat == 8)
        {
            EXPECT_EQ (tick, 7 * 960 + 480);
            EXPECT_EQ (notesOf (group, false), sounding) << "the run ends the last chord";
            EXPECT_TRUE (notesOf (group, true).empty());
            break;
        }

        EXPECT_EQ (tick, beat * 960);

        const auto offs = notesOf (group, false);
        const auto ons = notesOf (group, true);
        EXPECT_EQ (offs, sounding) << "press " << beat << " must end exactly the chord it found sounding";
        EXPECT_GE (ons.size(), 3u) << "press " << beat << " starts a chord";

        // Note-offs first, then note-ons.
        const auto firstOn = std::find_if (group.begin(), group.end(), [] (const PlayedNote& n) { return n.isNoteOn; });
        EXPECT_TRUE (std::none_of (firstOn, group.end(), [] (const PlayedNote& n) { return ! n.isNoteOn; }));

        sounding = ons;
        ++beat;
    }
}

TEST_F (DemoRunTest, DemoChordsSitAroundMiddleCOverABassNoteWithDifferentVelocities)
{
    ASSERT_EQ (play ({}).exitCode, 0);
    std::set<int> velocities;
    std::set<std::vector<int>> distinctChords;

    for (const auto& [tick, group] : byTick (readOutput (file ("corvadel-out.mid")).notes))
    {
        const auto ons = notesOf (group, true);

        if (tick == 7 * 960 + 480)
            continue;  // the end of the run

        ASSERT_FALSE (ons.empty());
        EXPECT_LT (ons.front(), 55) << "a bass note under the chord at tick " << tick;
        EXPECT_GE (ons.back(), 60) << "the chord reaches middle C's octave at tick " << tick;
        EXPECT_LE (ons.back(), 72);
        distinctChords.insert (ons);

        for (const auto& n : group)
            if (n.isNoteOn)
                velocities.insert (n.velocity);
    }

    EXPECT_GE (distinctChords.size(), 6u);
    EXPECT_GE (velocities.size(), 3u);
}

TEST_F (DemoRunTest, OutputHoldsATempoTrackThenExactlyThePluginsNotesOnChannelOne)
{
    ASSERT_EQ (play ({}).exitCode, 0);
    const auto output = readOutput (file ("corvadel-out.mid"));

    EXPECT_EQ (output.ticksPerQuarterNote, 960);
    ASSERT_EQ (output.numTracks, 2);
    ASSERT_EQ (output.tempos.size(), 1u);
    EXPECT_EQ (output.tempos[0].first, 0);
    EXPECT_NEAR (output.tempos[0].second, 120.0, 0.001);
    EXPECT_EQ (output.otherMessages, 0);

    for (const auto& n : output.notes)
    {
        EXPECT_EQ (n.channel, 1);

        if (! n.isNoteOn)
            EXPECT_EQ (n.velocity, 0);
    }
}

TEST_F (DemoRunTest, ListingShowsTheSameEventsAsTheFileWithTimesBarsAndNoteNames)
{
    const auto run = play ({});
    ASSERT_EQ (run.exitCode, 0);

    const auto listed = listedEvents (run);
    const auto written = readOutput (file ("corvadel-out.mid")).notes;
    ASSERT_EQ (listed.size(), written.size()) << run.out;

    for (size_t i = 0; i < listed.size(); ++i)
    {
        SCOPED_TRACE ("listed event " + std::to_string (i));
        const double beat = written[i].tick / 960.0;
        EXPECT_NEAR (listed[i].seconds, beat * 0.5, 0.0005);
        EXPECT_EQ (listed[i].barAndBeat, std::to_string ((int) beat / 4 + 1) + ":"
                                             + juce::String (std::fmod (beat, 4.0) + 1.0, 2).toStdString());
        EXPECT_EQ (listed[i].isNoteOn, written[i].isNoteOn);
        EXPECT_EQ (listed[i].note, written[i].note);
        EXPECT_EQ (listed[i].velocity, written[i].velocity);
        EXPECT_EQ (listed[i].noteName, juce::MidiMessage::getMidiNoteName (listed[i].note, true, true, 4).toStdString());
    }
}

TEST_F (DemoRunTest, MiddleCIsListedAsC4)
{
    const auto run = play ({ "--chords", writeChordsFile ("c.mid", { { { 60, 100 } } }) });
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    const auto listed = listedEvents (run);
    ASSERT_EQ (listed.size(), 2u) << run.out;
    EXPECT_EQ (listed[0].noteName, "C4");
    EXPECT_EQ (listed[0].note, 60);
    EXPECT_EQ (listed[1].noteName, "C4");
    EXPECT_FALSE (listed[1].isNoteOn);
}

TEST_F (DemoRunTest, BpmSetsThePressTimesButKeepsThemOnBeats)
{
    const auto run = play ({ "--bpm", "90", "--out", "slow.mid" });
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    const auto output = readOutput (file ("slow.mid"));
    ASSERT_EQ (output.tempos.size(), 1u);
    EXPECT_NEAR (output.tempos[0].second, 90.0, 0.001);

    std::set<int> ticks;

    for (const auto& n : output.notes)
        ticks.insert (n.tick);

    auto expectedTicks = ticksEveryBeat (8);
    expectedTicks.push_back (7 * 960 + 480);  // the end of the run
    EXPECT_EQ (std::vector<int> (ticks.begin(), ticks.end()), expectedTicks);

    for (const auto& e : listedEvents (run))
    {
        // Whole beats, and the end half a beat after the last.
        const double beats = e.seconds / (60.0 / 90.0);
        EXPECT_NEAR (beats, beats < 7.25 ? std::round (beats) : 7.5, 0.002) << e.seconds;
    }

    EXPECT_FALSE (file ("corvadel-out.mid").exists());
}

TEST_F (DemoRunTest, WithoutPluginOptionLoadsCorvadelFromTheBuildFolder)
{
    const auto help = play ({ "--help" }, false);
    ASSERT_EQ (help.exitCode, 0);
    EXPECT_NE (help.out.find (pluginFile().getFullPathName().toStdString()), std::string::npos) << help.out;

    const auto run = play ({ "--out", "default-plugin.mid" }, false);
    EXPECT_EQ (run.exitCode, 0) << testing::PrintToString (run);
    ASSERT_EQ (play ({ "--out", "given-plugin.mid" }).exitCode, 0);

    const auto played = readOutput (file ("default-plugin.mid")).notes;
    EXPECT_FALSE (played.empty());
    EXPECT_EQ (played, readOutput (file ("given-plugin.mid")).notes);
}

TEST_F (DemoRunTest, HelpPrintsUsageOnStandardOutputAndExitsZero)
{
    const auto run = play ({ "--help" }, false);

    EXPECT_EQ (run.exitCode, 0);
    EXPECT_TRUE (run.err.empty());
    for (const char* option : { "--plugin", "--chords", "--state", "--pedal", "--bpm", "--out", "--save-state", "--editor-png",
                                "--next-cc", "--previous-cc", "--reset-cc", "--jump-by-program", "--no-jump-by-program",
                                "--at-end", "--pass-through", "--no-pass-through", "--channel", "--transpose" })
        EXPECT_NE (run.out.find (option), std::string::npos) << option;

    EXPECT_FALSE (file ("corvadel-out.mid").exists()) << "help plays nothing";
}

TEST_F (DemoRunTest, EveryNoteOnInTheFileHasItsNoteOff)
{
    ASSERT_EQ (play ({}).exitCode, 0);
    std::map<std::pair<int, int>, bool> sounding;  // channel and note
    int noteOns = 0;

    for (const auto& n : readOutput (file ("corvadel-out.mid")).notes)
    {
        const bool starts = n.isNoteOn && n.velocity > 0;
        auto& isSounding = sounding[std::make_pair (n.channel, n.note)];
        EXPECT_NE (isSounding, starts) << "note " << n.note << " at tick " << n.tick;
        isSounding = starts;
        noteOns += starts ? 1 : 0;
    }

    for (const auto& [note, isSounding] : sounding)
        EXPECT_FALSE (isSounding) << "note " << note.second << " never ends";

    EXPECT_EQ (noteOns, 32);  // the demo's eight chords of four notes
}

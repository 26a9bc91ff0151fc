// The pedal steps through the grid with the plug-in's window closed, as hosts keep it: the
// restored grid, from where the play position stands. (With the window open: the display tests.)

#include "tests/plugin/PluginFixture.h"

#include <string>

namespace
{
const ChordColumn fifths { { { 41, 70 }, { 48, 300 } } };
const ChordColumn cluster { { { 1, 10 }, { 2, 20 } } };

// "off 60 @5" / "on 62 v90 @5", so that a failure shows the whole stream.
std::vector<std::string> describe (const std::vector<SentMidi>& events)
{
    std::vector<std::string> lines;

    for (const auto& e : events)
    {
        EXPECT_EQ (e.status() & 0x0F, 0) << "every note goes out on channel 1";
        lines.push_back (e.isNoteOn() ? "on " + std::to_string (e.note()) + " v" + std::to_string (e.velocity())
                                      : "off " + std::to_string (e.note()));
        lines.back() += " @" + std::to_string (e.deltaFrames);
    }

    return lines;
}

// What one press at position sends: the note-offs of the chord that sounds, then the note-ons of
// the next (velocities as played: the stored velocity held within 1 to 127).
std::vector<std::string> chordChange (const ChordColumn* ending, const ChordColumn& starting, int position)
{
    std::vector<std::string> lines;
    const auto at = " @" + std::to_string (position);

    if (ending != nullptr)
        for (const auto& [note, velocity] : ending->notes)
            lines.push_back ("off " + std::to_string (note) + at);

    for (const auto& [note, velocity] : starting.notes)
        lines.push_back ("on " + std::to_string (note) + " v" + std::to_string (std::clamp (velocity, 1, 127)) + at);

    return lines;
}
}

class ClosedWindowTest : public PluginTest
{
protected:
    std::vector<std::string> press (AEffect* effect, int position)
    {
        const auto sent = host->processBlock (effect, { pedalDown (position), pedalUp (position + 1) });
        return describe (sent);
    }
};

TEST_F (ClosedWindowTest, RestoredGridStepsWithNoEditorEverOpened)
{
    auto* effect = createPlaying();
    host->setChunk (effect, makeGridChunk ({ cMajor, dMinor, fifths }));

    EXPECT_EQ (press (effect, 5), chordChange (nullptr, cMajor, 5)) << "the first press plays column 0";
    EXPECT_EQ (press (effect, 100), chordChange (&cMajor, dMinor, 100));
    EXPECT_EQ (press (effect, 0), chordChange (&dMinor, fifths, 0));
    EXPECT_EQ (press (effect, 510), chordChange (&fifths, cMajor, 510)) << "wraps after the last column";

    // A new state starts again before its column 0; the chord sounding still ends first.
    host->setChunk (effect, makeGridChunk ({ cluster, cMajor }));
    EXPECT_EQ (press (effect, 7), chordChange (&cMajor, cluster, 7));
}

TEST_F (ClosedWindowTest, ASizeQueryBuildsNoEditorAndLeavesThePedalToTheRestoredGrid)
{
    // Many hosts ask for the editor's size to lay out a window they may never show.
    auto* effect = createPlaying();
    ERect* rect = nullptr;
    EXPECT_NE (host->dispatch (effect, effEditGetRect, 0, 0, &rect), 0);
    ASSERT_NE (rect, nullptr);
    EXPECT_EQ (std::make_pair (rect->right - rect->left, rect->bottom - rect->top), std::make_pair (700, 800));
    EXPECT_TRUE (host->getChunk (effect).empty()) << "no editor was built to make a grid";

    host->setChunk (effect, makeGridChunk ({ cMajor, dMinor, fifths }));
    host->dispatch (effect, effEditGetRect, 0, 0, &rect);

    EXPECT_EQ (press (effect, 5), chordChange (nullptr, cMajor, 5));
    EXPECT_EQ (press (effect, 6), chordChange (&cMajor, dMinor, 6));
    EXPECT_EQ (host->getChunk (effect), makeGridChunk ({ cMajor, dMinor, fifths }));
}

// --editor-png: the editor drawn with no display, its grid as the run left it.

#include "tests/tools/PlayFixture.h"

#include <juce_graphics/juce_graphics.h>

namespace
{
const std::vector<Chord> threeLowChords { { { 48, 100 }, { 60, 100 } }, { { 50, 90 }, { 62, 90 } }, { { 52, 80 }, { 64, 80 } } };

const juce::Colour playingNote (0xFFFF0000);
const juce::Colour restingNote (0xFF7FFFD4);

juce::Image loadPng (const juce::File& png)
{
    juce::FileInputStream in (png);
    juce::PNGImageFormat format;
    return in.openedOk() ? format.decodeImage (in) : juce::Image();
}

// The middle of note's row in grid column: the grid view starts at (40, 10); columns are 64
// pixels wide with a 1-pixel gap, rows 6 pixels high with note 127 at the top.
juce::Colour cellColour (const juce::Image& editor, int column, int note)
{
    return editor.getPixelAt (40 + column * 65 + 32, 10 + (127 - note) * 6 + 3);
}
}

class EditorPngTest : public PlayTest
{
};

TEST_F (EditorPngTest, WritesAPngOfTheEditorsSize)
{
    const auto run = play ({ "--editor-png", "editor.png" });
    ASSERT_TRUE (run.exitedNormally) << testing::PrintToString (run);
    ASSERT_EQ (run.exitCode, 0) << testing::PrintToString (run);

    const auto image = loadPng (file ("editor.png"));
    ASSERT_TRUE (image.isValid());
    EXPECT_EQ (image.getWidth(), 700);
    EXPECT_EQ (image.getHeight(), 800);
}

TEST_F (EditorPngTest, ColumnOfTheLastPressIsMarkedPlaying)
{
    ASSERT_EQ (play ({ "--chords", writeChordsFile ("three.mid", threeLowChords), "--editor-png", "editor.png" }).exitCode, 0);
    const auto image = loadPng (file ("editor.png"));
    ASSERT_TRUE (image.isValid());

    EXPECT_EQ (cellColour (image, 2, 52), playingNote);
    EXPECT_EQ (cellColour (image, 2, 64), playingNote);
    EXPECT_EQ (cellColour (image, 0, 48), restingNote);
    EXPECT_EQ (cellColour (image, 1, 62), restingNote);
    EXPECT_NE (cellColour (image, 2, 100), playingNote) << "only the chord's notes are lit";
}

TEST_F (EditorPngTest, PlayPositionFollowsThePedalFileUnderTheSettings)
{
    // Three presses forward, one back: column 1.
    std::vector<TimedMessage> pedal;

    for (const auto& [controller, tick] : { std::pair { 64, 0 }, { 64, 960 }, { 64, 1920 }, { 67, 2880 } })
        pedal.insert (pedal.end(), { { tick, juce::MidiMessage::controllerEvent (1, controller, 127) },
                                     { tick + 480, juce::MidiMessage::controllerEvent (1, controller, 0) } });

    ASSERT_EQ (play ({ "--chords", writeChordsFile ("three.mid", threeLowChords), "--pedal", writeMessagesFile ("p.mid", pedal),
                       "--previous-cc", "67", "--editor-png", "editor.png" }).exitCode, 0);
    const auto image = loadPng (file ("editor.png"));
    ASSERT_TRUE (image.isValid());

    EXPECT_EQ (cellColour (image, 1, 50), playingNote);
    EXPECT_EQ (cellColour (image, 2, 52), restingNote);
    EXPECT_EQ (cellColour (image, 0, 48), restingNote);
}

TEST_F (EditorPngTest, UnwritablePictureIsReportedOnOneLine)
{
    const auto run = play ({ "--editor-png", path ("missing-folder/editor.png") });

    ASSERT_TRUE (run.exitedNormally) << testing::PrintToString (run);
    EXPECT_EQ (run.exitCode, 1);
    ASSERT_EQ (run.errLines().size(), 1u) << run.err;
    EXPECT_NE (run.err.find ("editor.png"), std::string::npos);
}

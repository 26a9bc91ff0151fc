// The editor inside a host's X window: the tests' own host loads the built plug-in, makes a plain
// X window and drives the editor opcodes as a Linux host does. Runs under a virtual X server.

#include "tests/display/XHostWindow.h"
#include "tests/support/EditorScreen.h"
#include "tests/support/HostIdleScenario.h"
#include "tests/support/PluginHost.h"
#include "tests/support/ResidentMemory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

namespace
{
using namespace EditorScreen;

class EmbeddedEditorTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE (XHostWindow::displayAvailable()) << "these tests need an X server (run them under xvfb-run)";
        library = std::make_unique<PluginLibrary> (builtPluginPath());
    }

    static void TearDownTestSuite() { library.reset(); }

    void SetUp() override
    {
        window = std::make_unique<XHostWindow> (900, 900);
        host = std::make_unique<PluginHost> (*library);
    }

    void TearDown() override
    {
        host.reset();
        window.reset();
    }

    AEffect* openEditorWith (const std::vector<ChordColumn>& grid)
    {
        auto* effect = host->createInstance();
        host->startPlaying (effect);

        if (! grid.empty())
            host->setChunk (effect, makeGridChunk (grid));

        EXPECT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1);
        return effect;
    }

    // Idles the editor until the pixel shows the colour, or the time is up.
    bool idleUntil (AEffect* effect, int x, int y, uint32_t colour, int milliseconds = 3000)
    {
        return loopUntil ([&] { host->dispatch (effect, effEditIdle); },
                          [&] { return window->pixel (x, y) == colour; }, milliseconds);
    }

    void idleFor (AEffect* effect, int milliseconds, int stepMs = 10)
    {
        loopFor ([&] { host->dispatch (effect, effEditIdle); }, milliseconds, stepMs);
    }

    // A click as a hand makes it: the button stays down for a moment.
    void clickAt (AEffect* effect, int x, int y)
    {
        window->moveMouse (x, y);
        idleFor (effect, 50);
        window->pressLeftButton();
        idleFor (effect, 50);
        window->releaseLeftButton();
    }

    inline static std::unique_ptr<PluginLibrary> library;
    std::unique_ptr<XHostWindow> window;
    std::unique_ptr<PluginHost> host;
};

const ChordColumn cMajor { { { 60, 100 }, { 64, 100 }, { 67, 100 } } };
const ChordColumn fMajor { { { 53, 100 }, { 57, 100 }, { 60, 100 } } };
}

TEST_F (EmbeddedEditorTest, OpenPutsTheEditorInTheHostsWindowAndItPaints)
{
    auto* effect = host->createInstance();
    ERect* rect = nullptr;
    ASSERT_NE (host->dispatch (effect, effEditGetRect, 0, 0, &rect), 0);
    ASSERT_NE (rect, nullptr);
    EXPECT_EQ (rect->top, 0);
    EXPECT_EQ (rect->left, 0);
    EXPECT_EQ (rect->bottom, 800);
    EXPECT_EQ (rect->right, 700);

    ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1);
    const auto children = window->children();
    ASSERT_EQ (children.size(), 1u);
    EXPECT_EQ (children[0].width, 700);
    EXPECT_EQ (children[0].height, 800);
    EXPECT_EQ (children[0].x, 0);
    EXPECT_EQ (children[0].y, 0);

    ASSERT_TRUE (idleUntil (effect, 3, 400, background)) << std::hex << window->pixel (3, 400);
    EXPECT_TRUE (window->children().at (0).mapped);
    EXPECT_EQ (window->pixel (1, 400), lightStrip);
    EXPECT_EQ (window->pixel (300, 2), lightStrip);
    EXPECT_EQ (window->pixel (300, 797), darkStrip);
    EXPECT_EQ (window->pixel (699, 300), darkStrip);

    int whiteKeyPixels = 0, blackKeyPixels = 0;

    for (int y = 10; y < 770; ++y)
    {
        whiteKeyPixels += window->pixel (36, y) == whiteKey ? 1 : 0;
        blackKeyPixels += window->pixel (26, y) == 0x000000 ? 1 : 0;
    }

    EXPECT_GT (whiteKeyPixels, 600) << "the keys' fronts run the keyboard's length";
    EXPECT_GT (blackKeyPixels, 250) << "53 black keys about 6 pixels long";
    EXPECT_EQ (window->pixel (column0X, rowY (60)), idleCRow);

    window->savePng (std::string (CORVADEL_TEST_OUTPUT_DIR) + "/embedded-editor.png");
    EXPECT_EQ (host->dispatch (effect, effEditClose), 0);
    EXPECT_TRUE (window->children().empty());
}

// A host that scales its windows hands the display's scale over in a vendor message; the player's
// zoom multiplies it. The size the host asks for, the window it gives, what shows where and where
// a click lands all scale once by their product, as in the other formats.
TEST_F (EmbeddedEditorTest, TheHostsScaleAndTheZoomScaleTheWindowItsPixelsAndItsClicksOnce)
{
    const auto sendScale = [this] (AEffect* effect, float scale)
    { return host->dispatch (effect, effVendorSpecific, kVendorScaleIndex, kVendorScaleValue, nullptr, scale); };
    const auto childSize = [this] { const auto c = window->children(); return c.size() == 1 ? std::pair (c[0].width, c[0].height) : std::pair (0, 0); };

    for (const auto& scaled : scaleCases)
    {
        SCOPED_TRACE (std::to_string (scaled.hostScale) + " × " + std::to_string (scaled.zoom) + " %");
        ASSERT_TRUE (choosePlayersZoom (scaled.zoom));
        // The host's window follows the editor's size changes: each case starts from a new one.
        window = std::make_unique<XHostWindow> (900, 900);
        auto* effect = host->createInstance();
        host->startPlaying (effect);
        EXPECT_EQ (sendScale (effect, scaled.hostScale), 1);

        ERect* rect = nullptr;
        ASSERT_NE (host->dispatch (effect, effEditGetRect, 0, 0, &rect), 0);
        EXPECT_EQ (std::pair (int (rect->right), int (rect->bottom)), std::pair (scaled.width, scaled.height)) << "the size asked before opening";
        ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1);
        EXPECT_EQ (childSize(), std::pair (scaled.width, scaled.height));

        const float f = scaled.hostScale * (float) scaled.zoom / 100.0f;
        ASSERT_TRUE (idleUntil (effect, (int) std::ceil (2 * f), 400, background));
        EXPECT_EQ (window->pixel ((int) std::floor (2 * f) - 1, 400), lightStrip) << "the 2-pixel strip, scaled";

        clickAt (effect, (int) (column0X * f), (int) (rowY (72) * f));
        EXPECT_TRUE (idleUntil (effect, (int) (column0X * f), (int) (rowY (72) * f), onCell));
        EXPECT_EQ (host->getChunk (effect), makeGridChunk ({ { { { 72, 100 } } }, {} })) << "the click landed on note 72";

        // A scale the host changes while the window is open resizes it; values no display has
        // change nothing.
        for (float nonsense : { 0.0f, -1.0f, std::nanf (""), std::numeric_limits<float>::infinity() })
            sendScale (effect, nonsense);
        EXPECT_EQ (childSize(), std::pair (scaled.width, scaled.height));
        sendScale (effect, 1.0f);
        EXPECT_EQ (childSize(), std::pair (7 * scaled.zoom, 8 * scaled.zoom));

        host->close (effect);
    }

    choosePlayersZoom (100);
}

TEST_F (EmbeddedEditorTest, IdleDeliversTheRepaintsOfAPedalPress)
{
    auto* effect = openEditorWith ({ cMajor, fMajor });
    ASSERT_TRUE (idleUntil (effect, column0X, rowY (60), onCell));
    EXPECT_EQ (window->pixel (column0X, rowY (64)), onCell);

    host->processBlock (effect, { { 0, 0xB0, 64, 127 }, { 10, 0xB0, 64, 0 } });
    ASSERT_TRUE (idleUntil (effect, column0X, rowY (60), playingOnCell)) << "the playing column turns red";
    EXPECT_EQ (window->pixel (column0X, rowY (67)), playingOnCell);

    host->processBlock (effect, { { 0, 0xB0, 64, 127 } });
    ASSERT_TRUE (idleUntil (effect, column0X, rowY (60), onCell)) << "and back when the next column plays";
    EXPECT_EQ (window->pixel (column0X + columnSpacing, rowY (57)), playingOnCell);
    window->savePng (std::string (CORVADEL_TEST_OUTPUT_DIR) + "/embedded-editor-playing.png");
}

TEST_F (EmbeddedEditorTest, OpeningTwiceDiscardsTheFirstEditor)
{
    auto* effect = openEditorWith ({ cMajor });
    idleFor (effect, 100);
    ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1);
    idleFor (effect, 100);

    const auto children = window->children();
    ASSERT_EQ (children.size(), 1u);
    EXPECT_TRUE (children[0].mapped);
    EXPECT_EQ (host->getChunk (effect), makeGridChunk ({ cMajor }));
}

TEST_F (EmbeddedEditorTest, FiftyOpenIdleCloseCyclesLeaveNoWindowAndNoGrowth)
{
    auto* effect = host->createInstance();
    host->startPlaying (effect);
    long residentAfterWarmUp = 0;

    for (int cycle = 0; cycle < 50; ++cycle)
    {
        ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1);
        idleFor (effect, 20, 5);
        host->dispatch (effect, effEditClose);
        idleFor (effect, 5, 5);
        ASSERT_TRUE (window->children().empty()) << "cycle " << cycle;

        if (cycle == 9)
            residentAfterWarmUp = residentKilobytes();
    }

    // Forty more editors (each with its images and windows) may not leave memory behind.
    EXPECT_LT (residentKilobytes() - residentAfterWarmUp, 8 * 1024);
}

TEST_F (EmbeddedEditorTest, HostIdlesOnlyWhileAMouseButtonIsHeldAndNeverReentrantly)
{
    auto* effect = openEditorWith ({ cMajor });
    ASSERT_TRUE (idleUntil (effect, 3, 400, background));

    expectHostIdleOnlyWhileAButtonIsHeld (
        *host, effect, [&] (int ms) { idleFor (effect, ms); },
        [&] { window->moveMouse (3, 400); window->pressLeftButton(); },
        [&] { window->releaseLeftButton(); });
}

TEST_F (EmbeddedEditorTest, EditorOpcodesWorkFromAThreadOtherThanTheLoadingOne)
{
    auto* effect = host->createInstance();
    host->startPlaying (effect);
    host->setChunk (effect, makeGridChunk ({ cMajor, fMajor }));

    bool painted = false, closed = false;
    std::thread gui ([&]
    {
        ERect* rect = nullptr;
        host->dispatch (effect, effEditGetRect, 0, 0, &rect);
        host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer());
        painted = idleUntil (effect, 3, 400, background);
        host->dispatch (effect, effEditClose);
        closed = window->children().empty();
        host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer());
        idleFor (effect, 50);
    });
    gui.join();

    EXPECT_TRUE (painted);
    EXPECT_TRUE (closed);

    // The audio side on this thread still steps the editor that the other thread opened.
    const auto sent = host->processBlock (effect, { { 0, 0xB0, 64, 127 } });
    EXPECT_EQ (sent.size(), 3u);

    std::thread closer ([&] { host->dispatch (effect, effEditClose); });
    closer.join();
    EXPECT_TRUE (window->children().empty());
}

TEST_F (EmbeddedEditorTest, AClickedNoteSurvivesClosingTheEditorAndIsSaved)
{
    auto* effect = openEditorWith ({});
    ASSERT_TRUE (idleUntil (effect, 3, 400, background));

    clickAt (effect, column0X, rowY (72));
    ASSERT_TRUE (idleUntil (effect, column0X, rowY (72), onCell)) << "the click switched note 72 on";

    host->dispatch (effect, effEditClose);
    const auto expected = makeGridChunk ({ { { { 72, 100 } } }, {} });
    EXPECT_EQ (host->getChunk (effect), expected) << "saved with the editor closed";

    ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1);
    EXPECT_TRUE (idleUntil (effect, column0X, rowY (72), onCell)) << "and shown again by the next editor";
    EXPECT_EQ (host->getChunk (effect), expected);

    const auto sent = host->processBlock (effect, { { 0, 0xB0, 64, 127 } });
    ASSERT_EQ (sent.size(), 1u);
    EXPECT_EQ (sent[0].note(), 72);
}

TEST_F (EmbeddedEditorTest, AClickThatArrivesWhileTheHostAsksForTheSizeIsNotLost)
{
    auto* effect = openEditorWith ({});
    ASSERT_TRUE (idleUntil (effect, 3, 400, background));
    window->moveMouse (column0X, rowY (48));
    idleFor (effect, 100);

    window->pressLeftButton();
    window->releaseLeftButton();
    std::this_thread::sleep_for (std::chrono::milliseconds (50));

    // The request ends by waiting for the server to answer everything the plug-in's framework
    // sent; the click's events, already on their way, are read with that answer.
    ERect* rect = nullptr;
    ASSERT_NE (host->dispatch (effect, effEditGetRect, 0, 0, &rect), 0);

    EXPECT_TRUE (idleUntil (effect, column0X, rowY (48), onCell, 1000)) << "the next idle requests handle the click";
}

TEST_F (EmbeddedEditorTest, TheWindowOpenOrClosedTheSequenceIsTheEnginesOne)
{
    const ChordColumn dMinor { { { 62, 90 }, { 65, 90 }, { 69, 90 } } };
    const ChordColumn fifths { { { 41, 70 }, { 48, 90 } } };
    const auto notesStartedBy = [&] (AEffect* effect, int at)
    {
        std::vector<int> started;
        for (const auto& e : host->processBlock (effect, { { at, 0xB0, 64, 127 }, { at + 1, 0xB0, 64, 0 } }))
            if (e.isNoteOn())
                started.push_back (e.note());
        return started;
    };

    // A fresh editor shows two empty columns, and they are the state, open or closed.
    auto* effect = openEditorWith ({});
    ASSERT_TRUE (idleUntil (effect, column0X, rowY (60), idleCRow));
    EXPECT_EQ (host->getChunk (effect), makeGridChunk ({ {}, {} }));
    host->dispatch (effect, effEditClose);
    EXPECT_EQ (host->getChunk (effect), makeGridChunk ({ {}, {} }));

    // Opened mid-sequence, the editor marks the column that sounds, and the pedal goes on from it.
    host->setChunk (effect, makeGridChunk ({ cMajor, dMinor, fifths, fMajor }));
    notesStartedBy (effect, 0);
    notesStartedBy (effect, 0);
    ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1);
    ASSERT_TRUE (idleUntil (effect, column0X + columnSpacing, rowY (62), playingOnCell)) << "column 1 sounds";
    EXPECT_EQ (notesStartedBy (effect, 3), (std::vector<int> { 41, 48 }));
    host->dispatch (effect, effEditClose);
    EXPECT_EQ (notesStartedBy (effect, 4), (std::vector<int> { 53, 57, 60 }));

    // A state restored with the window open (a host's undo, a preset) plays at the next press, is
    // what a save returns, and is what the open window shows.
    ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1);
    ASSERT_TRUE (idleUntil (effect, column0X + 3 * columnSpacing, rowY (53), playingOnCell));
    host->setChunk (effect, makeGridChunk ({ fifths, cMajor }));
    EXPECT_EQ (host->getChunk (effect), makeGridChunk ({ fifths, cMajor }));
    EXPECT_TRUE (idleUntil (effect, column0X + columnSpacing, rowY (64), onCell)) << "shown at once";
    EXPECT_EQ (window->pixel (column0X + 3 * columnSpacing, rowY (53)), background) << "the old grid's columns are gone";
    EXPECT_EQ (notesStartedBy (effect, 9), (std::vector<int> { 41, 48 })) << "from its first column";
    EXPECT_TRUE (idleUntil (effect, column0X, rowY (41), playingOnCell));
}

TEST_F (EmbeddedEditorTest, ClosingOrOpeningWhileAnotherThreadIdlesNeverOverlaps)
{
    // Hosts should keep the editor's calls on one thread; some idle from a timer thread of their
    // own. Built with the sanitizers, a close that frees what an idle is drawing is reported.
    auto* effect = openEditorWith ({ cMajor, fMajor });
    ASSERT_TRUE (idleUntil (effect, 3, 400, background));
    std::atomic<bool> running { true };
    std::atomic<int> idles { 0 };

    std::thread timerThread ([&]
    {
        while (running)
        {
            host->dispatch (effect, effEditIdle);
            ++idles;
        }
    });

    for (int cycle = 0; cycle < 10; ++cycle)
    {
        host->processBlock (effect, { { 0, 0xB0, 64, 127 }, { 1, 0xB0, 64, 0 } });
        std::this_thread::sleep_for (std::chrono::milliseconds (30));
        host->dispatch (effect, effEditClose);
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
        ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1) << "cycle " << cycle;
    }

    running = false;
    timerThread.join();
    EXPECT_GT (idles.load(), 100) << "the other thread idled all along";
    host->dispatch (effect, effEditClose);
    EXPECT_TRUE (window->children().empty());
    EXPECT_EQ (host->getChunk (effect), makeGridChunk ({ cMajor, fMajor }));
}

// The editor inside a host's Win32 window: the tests' own host loads Corvadel.dll, makes a
// frame with a window for the editor, runs its message loop and drives the editor opcodes as a
// Windows host does. Runs under wine with a virtual X server.

#include "tests/support/EditorScreen.h"
#include "tests/support/HostIdleScenario.h"
#include "tests/support/PluginHost.h"
#include "tests/windows/Win32HostWindow.h"

#include <gtest/gtest.h>

namespace
{
using namespace EditorScreen;

constexpr long childStyle = 0x40000000L;  // WS_CHILD
constexpr long popupStyle = (long) 0x80000000L;  // WS_POPUP
constexpr unsigned short returnKey = 0x0D;  // VK_RETURN

// The "Add" button runs down the editor's right edge.
constexpr int addButtonX = 680;

class EmbeddedEditorTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { library = std::make_unique<PluginLibrary> (builtPluginPath()); }
    static void TearDownTestSuite() { library.reset(); }

    void SetUp() override
    {
        window = std::make_unique<Win32HostWindow> (900, 900);
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

    // What a Windows host does between its other work: runs its message loop and idles the editor.
    void hostLoopOnce (AEffect* effect)
    {
        Win32HostWindow::pumpMessages();
        host->dispatch (effect, effEditIdle);
    }

    bool idleUntil (AEffect* effect, int x, int y, uint32_t colour, int milliseconds = 3000)
    {
        return loopUntil ([&] { hostLoopOnce (effect); },
                          [&] { return window->pixel (x, y) == colour; }, milliseconds);
    }

    void idleFor (AEffect* effect, int milliseconds)
    {
        loopFor ([&] { hostLoopOnce (effect); }, milliseconds);
    }

    inline static std::unique_ptr<PluginLibrary> library;
    std::unique_ptr<Win32HostWindow> window;
    std::unique_ptr<PluginHost> host;
};

const ChordColumn cMajor { { { 60, 100 }, { 64, 100 }, { 67, 100 } } };
const ChordColumn fMajor { { { 53, 100 }, { 57, 100 }, { 60, 100 } } };
}

TEST_F (EmbeddedEditorTest, OpenMakesTheEditorAChildOfTheHostsWindowAndItPaints)
{
    auto* effect = host->createInstance();
    ERect* rect = nullptr;
    ASSERT_NE (host->dispatch (effect, effEditGetRect, 0, 0, &rect), 0);
    ASSERT_NE (rect, nullptr);
    EXPECT_EQ (rect->bottom, 800);
    EXPECT_EQ (rect->right, 700);

    ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1);
    const auto children = window->children();
    ASSERT_EQ (children.size(), 1u);
    const auto editorWindow = children[0];
    EXPECT_EQ (Win32HostWindow::parentOf (editorWindow), window->hostWindow());
    EXPECT_NE (Win32HostWindow::styleOf (editorWindow) & childStyle, 0) << "a child window";
    EXPECT_EQ (Win32HostWindow::styleOf (editorWindow) & popupStyle, 0) << "not a pop-up";
    EXPECT_EQ (Win32HostWindow::outerSize (editorWindow), (Win32HostWindow::Size { 700, 800 }));

    ASSERT_TRUE (idleUntil (effect, 3, 400, background)) << std::hex << window->pixel (3, 400);
    EXPECT_EQ (window->pixel (1, 400), lightStrip);
    EXPECT_EQ (window->pixel (300, 2), lightStrip);
    EXPECT_EQ (window->pixel (300, 797), darkStrip);
    EXPECT_EQ (window->pixel (699, 300), darkStrip);
    EXPECT_NE (window->pixel (750, 300), darkStrip) << "the host's own window beside the editor";

    int whiteKeyPixels = 0, blackKeyPixels = 0;

    for (int y = 10; y < 770; ++y)
    {
        whiteKeyPixels += window->pixel (36, y) == whiteKey ? 1 : 0;
        blackKeyPixels += window->pixel (26, y) == 0x000000 ? 1 : 0;
    }

    EXPECT_GT (whiteKeyPixels, 600) << "the keys' fronts run the keyboard's length";
    EXPECT_GT (blackKeyPixels, 250) << "53 black keys about 6 pixels long";
    EXPECT_EQ (window->pixel (column0X, rowY (60)), idleCRow);

    EXPECT_EQ (host->dispatch (effect, effEditClose), 0);
    EXPECT_TRUE (window->children().empty());
    EXPECT_FALSE (Win32HostWindow::exists (editorWindow));
}

// The grid asks for its repaint through the host's message loop; the idle request paints it. (Under
// wine the screen-refresh signal that the framework otherwise waits for never comes, so here the
// repaints reach the screen through the idle request alone.)
TEST_F (EmbeddedEditorTest, PedalPressesRepaintTheGrid)
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
}

TEST_F (EmbeddedEditorTest, AClickedNoteIsSavedAndShownAgain)
{
    auto* effect = openEditorWith ({});
    ASSERT_TRUE (idleUntil (effect, 3, 400, background));

    window->moveMouse (column0X, rowY (72));
    idleFor (effect, 50);
    Win32HostWindow::pressLeftButton();
    idleFor (effect, 50);
    Win32HostWindow::releaseLeftButton();
    ASSERT_TRUE (idleUntil (effect, column0X, rowY (72), onCell)) << "the click switched note 72 on";

    const auto expected = makeGridChunk ({ { { { 72, 100 } } }, {} });
    EXPECT_EQ (host->getChunk (effect), expected) << "saved while open";
    host->dispatch (effect, effEditClose);
    EXPECT_EQ (host->getChunk (effect), expected) << "saved with the editor closed";

    ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1);
    EXPECT_TRUE (idleUntil (effect, column0X, rowY (72), onCell)) << "and shown again by the next editor";

    const auto sent = host->processBlock (effect, { { 0, 0xB0, 64, 127 } });
    ASSERT_EQ (sent.size(), 1u);
    EXPECT_EQ (sent[0].note(), 72);
}

TEST_F (EmbeddedEditorTest, TenOpenCloseCyclesLeaveNoWindowBehind)
{
    auto* effect = host->createInstance();
    host->startPlaying (effect);
    std::vector<Win32HostWindow::Handle> seen;

    for (int cycle = 0; cycle < 10; ++cycle)
    {
        ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1) << "cycle " << cycle;
        ASSERT_EQ (window->children().size(), 1u) << "cycle " << cycle;
        seen.push_back (window->children()[0]);
        ASSERT_TRUE (idleUntil (effect, 3, 400, background)) << "cycle " << cycle;
        host->dispatch (effect, effEditClose);
        idleFor (effect, 20);
        ASSERT_TRUE (window->children().empty()) << "cycle " << cycle;
    }

    for (auto w : seen)
        EXPECT_FALSE (Win32HostWindow::exists (w));
}

TEST_F (EmbeddedEditorTest, AHandleThatNamesNoWindowIsRefused)
{
    auto* effect = host->createInstance();
    host->startPlaying (effect);

    auto closedHost = std::make_unique<Win32HostWindow> (300, 300);
    const auto closedWindow = closedHost->hostWindow();
    closedHost.reset();
    ASSERT_FALSE (Win32HostWindow::exists (closedWindow));
    const int windowsBefore = Win32HostWindow::topLevelWindowsOfThisThread();

    EXPECT_EQ (host->dispatch (effect, effEditOpen, 0, 0, closedWindow), 0);
    EXPECT_EQ (host->dispatch (effect, effEditOpen, 0, 0, reinterpret_cast<void*> (0x1234)), 0);
    EXPECT_EQ (host->dispatch (effect, effEditIdle), 0);
    Win32HostWindow::pumpMessages();
    EXPECT_EQ (Win32HostWindow::topLevelWindowsOfThisThread(), windowsBefore) << "no editor window of its own was made";

    // The same instance still opens in a real window.
    ASSERT_EQ (host->dispatch (effect, effEditOpen, 0, 0, window->asHostPointer()), 1);
    EXPECT_EQ (window->children().size(), 1u);
    EXPECT_TRUE (idleUntil (effect, 3, 400, background));
}

TEST_F (EmbeddedEditorTest, AClickGivesTheEditorTheKeyboardAndClosingHandsItBack)
{
    auto* effect = openEditorWith ({});
    ASSERT_TRUE (idleUntil (effect, 3, 400, background));
    const auto editorWindow = window->children().at (0);
    const auto columns = [&] { return readInt32 (host->getChunk (effect), 0); };
    ASSERT_EQ (columns(), 2);

    // Keys typed while the host has the keyboard stay with the host.
    EXPECT_NE (Win32HostWindow::focusedWindow(), editorWindow);
    Win32HostWindow::typeKey (returnKey);
    idleFor (effect, 100);
    EXPECT_EQ (columns(), 2);

    window->moveMouse (addButtonX, 300);
    idleFor (effect, 50);
    Win32HostWindow::pressLeftButton();
    idleFor (effect, 50);
    Win32HostWindow::releaseLeftButton();
    idleFor (effect, 100);
    EXPECT_EQ (columns(), 3) << "the click added a column";
    EXPECT_EQ (Win32HostWindow::focusedWindow(), editorWindow) << "and gave the editor the keyboard";

    Win32HostWindow::typeKey (returnKey);
    idleFor (effect, 100);
    EXPECT_EQ (columns(), 4) << "the focused button took the key";

    host->dispatch (effect, effEditClose);
    idleFor (effect, 20);
    EXPECT_EQ (Win32HostWindow::focusedWindow(), window->hostWindow()) << "the keyboard goes back to the host's window";
}

TEST_F (EmbeddedEditorTest, HostIdlesOnlyWhileAMouseButtonIsHeldAndNeverReentrantly)
{
    auto* effect = openEditorWith ({ cMajor });
    ASSERT_TRUE (idleUntil (effect, 3, 400, background));

    expectHostIdleOnlyWhileAButtonIsHeld (
        *host, effect, [&] (int ms) { idleFor (effect, ms); },
        [&] { window->moveMouse (3, 400); idleFor (effect, 50); Win32HostWindow::pressLeftButton(); },
        [&] { Win32HostWindow::releaseLeftButton(); });
}

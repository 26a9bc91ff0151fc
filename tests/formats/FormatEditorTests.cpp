// The VST 3 and LV2 editors in a host's X window, under a virtual X server without a window
// manager. The host handles the X errors of its own framework's connection and leaves every other
// one to Xlib's default handler, which ends the program: a plug-in's X error that reached the host
// would end this test. The host's window is a plain X window; the framework's hosting embeds the
// plug-in's editor in it, and its colours are read back from the X server.

#include "tests/display/XHostWindow.h"
#include "tests/formats/GridScript.h"
#include "tests/formats/HostXErrors.h"
#include "tests/formats/HostedPlugin.h"
#include "tests/formats/TenEditorsScenario.h"
#include "tests/support/EditorScreen.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cmath>

namespace
{
using namespace EditorScreen;

// The Stop button's middle, in the editor's 700 × 800.
constexpr int stopX = 680;
constexpr int stopY = 750;

const PluginHost::InputEvent press { 40, 0xB0, 64, 127 };
const PluginHost::InputEvent release { 80, 0xB0, 64, 0 };

class FormatEditor : public ::testing::TestWithParam<PluginFormat>
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE (XHostWindow::displayAvailable()) << "these tests need an X server (run them under xvfb-run)";
        ASSERT_TRUE (HostXErrors::hostHandlerInChain()) << "the host handles its own connection's errors (FormatHostMain)";
    }

    void SetUp() override
    {
        window = std::make_unique<XHostWindow> (900, 900);
        ASSERT_FALSE (window->windowManagerRunning()) << "these tests are about an X server without a window manager";
        plugin = std::make_unique<HostedPlugin> (GetParam());
    }

    void TearDown() override
    {
        closeEditor();
        plugin.reset();
        window.reset();
    }

    void hostLoopOnce()
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        window->sync();
    }

    bool shows (int x, int y, uint32_t colour, int milliseconds = 15000)
    {
        return loopUntil ([this] { hostLoopOnce(); }, [&] { return window->pixel (x, y) == colour; }, milliseconds);
    }

    void openEditor()
    {
        editor = plugin->openEditorIn (window->asHostPointer());
        ASSERT_NE (editor, nullptr);
    }

    void closeEditor()
    {
        if (editor == nullptr)
            return;

        plugin->closeEditor (editor);
        loopFor ([this] { hostLoopOnce(); }, 100);
    }

    void click (int x, int y)
    {
        window->moveMouse (x, y);
        loopFor ([this] { hostLoopOnce(); }, 50);
        window->pressLeftButton();
        loopFor ([this] { hostLoopOnce(); }, 80);
        window->releaseLeftButton();
        loopFor ([this] { hostLoopOnce(); }, 80);
    }

    std::unique_ptr<XHostWindow> window;
    std::unique_ptr<HostedPlugin> plugin;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
};

}

// The framework's LV2 hosting (this test host's, not the plug-in's) now and then shows no editor
// at all after a few reopenings: the fifth or the ninth stays blank for good. The LV2 editor's ten
// reopenings are therefore checked in the host written on LV2's own interface
// (lv2_bare_host_tests), which shows every one; here the LV2 editor opens in the scenarios below.
using TenFormatEditors = FormatEditor;

TEST_P (TenFormatEditors, OpenShowTheirColoursTakeAClickAndClose)
{
    const auto clicked = runTenEditors (*window, { [this] { openEditor(); }, [this] { closeEditor(); },
                                                   [] { juce::MessageManager::getInstance()->runDispatchLoopUntil (5); } });

    EXPECT_EQ (plugin->saveGrid(), GridScript::chunkOf ({ clicked, {} })) << "the state holds what was clicked";
    EXPECT_TRUE (HostXErrors::hostHandlerInChain());
    std::cout << "X errors on the host's own framework connection: " << HostXErrors::ownErrors() << std::endl;
}

// The pedal steps the same grid from the same place whether the window is open or closed, and
// the editor shows the column that sounds.
TEST_P (FormatEditor, PressesStepTheSameGridWithTheWindowOpenOrClosed)
{
    const auto grid = GridScript::threeChords();
    plugin->loadGrid (GridScript::chunkOf (grid));
    GridScript::Player expected (grid);

    EXPECT_EQ (plugin->play ({ press }), expected.pressesAt ({ pedalSampleSeen (GetParam(), 40) })) << "closed: the first column";
    plugin->play ({ release });

    openEditor();
    ASSERT_TRUE (shows (column0X, rowY (60), playingOnCell)) << "the editor shows the first column sounding";
    EXPECT_EQ (plugin->play ({ press }), expected.pressesAt ({ pedalSampleSeen (GetParam(), 40) })) << "open: the second column";
    plugin->play ({ release });
    EXPECT_TRUE (shows (column0X + columnSpacing, rowY (57), playingOnCell)) << "the second column sounds";
    EXPECT_EQ (window->pixel (column0X, rowY (60)), onCell);
    closeEditor();

    EXPECT_EQ (plugin->play ({ press }), expected.pressesAt ({ pedalSampleSeen (GetParam(), 40) })) << "closed again: the third column";
    plugin->play ({ release });
    openEditor();
    EXPECT_TRUE (shows (column0X + 2 * columnSpacing, rowY (55), playingOnCell)) << "reopened on the third column";
    EXPECT_EQ (plugin->play ({ press }), expected.pressesAt ({ pedalSampleSeen (GetParam(), 40) })) << "open: wrapped to the first";
}

TEST_P (FormatEditor, StopEndsTheSoundingChordAtTheNextBlock)
{
    const auto grid = GridScript::threeChords();
    plugin->loadGrid (GridScript::chunkOf (grid));
    GridScript::Player expected (grid);
    openEditor();
    ASSERT_TRUE (shows (3, 400, background));

    EXPECT_EQ (plugin->play ({ press }), expected.pressesAt ({ pedalSampleSeen (GetParam(), 40) }));
    click (stopX, stopY);
    EXPECT_EQ (plugin->play ({}), expected.stop()) << "the first column's notes end at the block's start";
    EXPECT_TRUE (plugin->play ({}).empty()) << "and only once";
}

// The host's display scale (handed to the plug-in through the format: VST 3's content scale,
// LV2's scale factor option) and the zoom a player chose (a preference of the user's, in its file)
// multiply: the window the host gives the editor, what it shows and where its clicks land all
// scale once by their product.
TEST_P (FormatEditor, TheHostsScaleAndTheZoomScaleTheWindowItsPixelsAndItsClicksOnce)
{
    for (const auto& scaled : scaleCases)
    {
        SCOPED_TRACE (std::to_string (scaled.hostScale) + " × " + std::to_string (scaled.zoom) + " %");
        ASSERT_TRUE (choosePlayersZoom (scaled.zoom));
        auto grid = GridScript::threeChords();
        plugin->loadGrid (GridScript::chunkOf (grid));
        openEditor();
        editor->setScaleFactor (scaled.hostScale);
        const float f = scaled.hostScale * (float) scaled.zoom / 100.0f;

        EXPECT_TRUE (loopUntil ([this] { hostLoopOnce(); }, [&] { return editor->getWidth() == scaled.width && editor->getHeight() == scaled.height; }))
            << editor->getWidth() << " × " << editor->getHeight();
        EXPECT_TRUE (shows ((int) (column0X * f), (int) (rowY (67) * f), onCell)) << "column 0's note 67, where the scale puts it";
        EXPECT_EQ (window->pixel ((int) std::floor (2 * f) - 1, 400), lightStrip) << "the 2-pixel strip, scaled";
        EXPECT_EQ (window->pixel ((int) std::ceil (2 * f), 400), background) << "and no more";

        click ((int) ((column0X + columnSpacing) * f), (int) (rowY (100) * f));
        grid[1].notes.push_back ({ 100, 100 });
        EXPECT_EQ (plugin->saveGrid(), GridScript::chunkOf (grid)) << "the click switched column 1's note 100 on";
        closeEditor();
    }

    choosePlayersZoom (100);
}

// A click in the window gives the editor the keyboard: Ctrl+Z takes the click back, Ctrl+Y does
// it again, in the host's own window.
TEST_P (FormatEditor, TheUndoKeysReachTheEditorAfterAClick)
{
    // Under the framework's LV2 hosting here no key reaches the plug-in's window after a click.
    if (GetParam() == PluginFormat::lv2)
        GTEST_SKIP() << "keys do not reach an LV2 editor in this host";

    auto grid = GridScript::threeChords();
    plugin->loadGrid (GridScript::chunkOf (grid));
    const auto loaded = plugin->saveGrid();
    openEditor();
    ASSERT_TRUE (shows (column0X, rowY (60), onCell));

    click (column0X + columnSpacing, rowY (100));
    grid[1].notes.push_back ({ 100, 100 });
    ASSERT_EQ (plugin->saveGrid(), GridScript::chunkOf (grid));

    window->typeKeys ({ XK_Control_L, XK_z });
    EXPECT_TRUE (loopUntil ([this] { hostLoopOnce(); }, [&] { return plugin->saveGrid() == loaded; })) << "undone";
    window->typeKeys ({ XK_Control_L, XK_y });
    EXPECT_TRUE (loopUntil ([this] { hostLoopOnce(); }, [&] { return plugin->saveGrid() == GridScript::chunkOf (grid); })) << "redone";
}

INSTANTIATE_TEST_SUITE_P (EachFormat, FormatEditor, ::testing::Values (PluginFormat::vst3, PluginFormat::lv2), FormatTestName());
INSTANTIATE_TEST_SUITE_P (Vst3, TenFormatEditors, ::testing::Values (PluginFormat::vst3), FormatTestName());

// A host that installs no X error handler at all, on an X server without a window manager: Xlib's
// default handler ends such a host at the first X error, so the plug-in's window-system work may
// cause none that reaches it. The host opens, clicks into and closes the editor, and hands the
// plug-in a window that no longer exists. After every call into the plug-in, and inside every
// call the plug-in makes into the host, Xlib's default handler must be the one installed.

#include "tests/display/XHostWindow.h"
#include "tests/support/EditorScreen.h"
#include "tests/support/PluginHost.h"

#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool) break gtest's templates.
#include <X11/Xlib.h>

#include <iostream>

// Xlib's own handler, the one in force while a program has installed none (declared in Xlibint.h).
extern "C" int _XDefaultError (Display*, XErrorEvent*);

namespace
{
using namespace EditorScreen;

// XSetErrorHandler answers the handler it replaces. Passing none puts Xlib's default back, which
// is all that a host without a handler of its own ever has.
XErrorHandler installedHandler()
{
    return XSetErrorHandler (nullptr);
}

class HostWithoutXErrorHandler : public ::testing::Test
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
        ASSERT_EQ (installedHandler(), &_XDefaultError) << "this host installs no X error handler";
        window = std::make_unique<XHostWindow> (900, 900);
        ASSERT_FALSE (window->windowManagerRunning()) << "these tests are about an X server without a window manager";
        host = std::make_unique<PluginHost> (*library);

        host->answerOverride = [this] (const HostRequest& request) -> std::optional<VstIntPtr>
        {
            if (request.opcode == audioMasterIdle || request.opcode == audioMasterSizeWindow)
                handlersDuringHostCalls.push_back (installedHandler());

            return std::nullopt;
        };
    }

    void TearDown() override
    {
        host.reset();
        window.reset();
    }

    VstIntPtr dispatch (AEffect* effect, VstInt32 opcode, void* ptr = nullptr)
    {
        const auto answer = host->dispatch (effect, opcode, 0, 0, ptr);
        EXPECT_EQ (installedHandler(), &_XDefaultError) << "the plug-in left an X error handler behind after opcode " << opcode;
        return answer;
    }

    bool idleUntil (AEffect* effect, int x, int y, uint32_t colour, int milliseconds = 3000)
    {
        return loopUntil ([&] { dispatch (effect, effEditIdle); },
                          [&] { return window->pixel (x, y) == colour; }, milliseconds);
    }

    void idleFor (AEffect* effect, int milliseconds)
    {
        loopFor ([&] { dispatch (effect, effEditIdle); }, milliseconds);
    }

    void clickAt (AEffect* effect, int x, int y)
    {
        window->moveMouse (x, y);
        idleFor (effect, 30);
        window->pressLeftButton();
        idleFor (effect, 60);
        window->releaseLeftButton();
    }

    inline static std::unique_ptr<PluginLibrary> library;
    std::unique_ptr<XHostWindow> window;
    std::unique_ptr<PluginHost> host;
    std::vector<XErrorHandler> handlersDuringHostCalls;
};
}

TEST_F (HostWithoutXErrorHandler, TenEditorsOpenTakeAClickAndClose)
{
    std::cout << "window manager's WM_STATE atom before the first editor: "
              << (XHostWindow::atomExists ("WM_STATE") ? "exists" : "missing") << std::endl;

    auto* effect = host->createInstance();
    host->startPlaying (effect);
    ChordColumn clicked;

    for (int cycle = 0; cycle < 10; ++cycle)
    {
        ASSERT_EQ (dispatch (effect, effEditOpen, window->asHostPointer()), 1) << "cycle " << cycle;
        ASSERT_TRUE (idleUntil (effect, 3, 400, background)) << "cycle " << cycle << ": " << std::hex << window->pixel (3, 400);
        EXPECT_EQ (window->pixel (1, 400), lightStrip);

        // Each editor shows the notes clicked into the ones before it and takes one more.
        for (const auto& [note, velocity] : clicked.notes)
            EXPECT_EQ (window->pixel (column0X, rowY (note)), onCell) << "cycle " << cycle << ", note " << note;

        const int note = 60 + cycle;
        clickAt (effect, column0X, rowY (note));
        ASSERT_TRUE (idleUntil (effect, column0X, rowY (note), onCell)) << "cycle " << cycle << ": the click reached the editor";
        clicked.notes.push_back ({ note, 100 });

        EXPECT_EQ (dispatch (effect, effEditClose), 0);
        EXPECT_TRUE (window->children().empty()) << "cycle " << cycle;
    }

    EXPECT_EQ (host->getChunk (effect), makeGridChunk ({ clicked, {} }));
    // Held buttons make the plug-in give the host idle time: those calls run with the host's handler.
    EXPECT_FALSE (handlersDuringHostCalls.empty());

    for (auto handler : handlersDuringHostCalls)
        EXPECT_EQ (handler, &_XDefaultError) << "a call into the host ran with the plug-in's X error handler";
}

TEST_F (HostWithoutXErrorHandler, AWindowThatNamesNoWindowGetsNoEditorAndTheHostGoesOn)
{
    const ChordColumn cMajor { { { 60, 100 }, { 64, 100 }, { 67, 100 } } };
    auto* effect = host->createInstance();
    host->startPlaying (effect);
    host->setChunk (effect, makeGridChunk ({ cMajor }));

    // The host asks for the size first, so an editor exists when the open request comes.
    ERect* rect = nullptr;
    ASSERT_NE (dispatch (effect, effEditGetRect, &rect), 0);

    const auto vanished = window->vanishedWindowId();
    EXPECT_EQ (dispatch (effect, effEditOpen, reinterpret_cast<void*> (vanished)), 0);
    idleFor (effect, 200);
    // Nor did the editor become a window of its own somewhere on the screen.
    EXPECT_EQ (window->viewableTopLevelWindows(), 1);
    EXPECT_EQ (dispatch (effect, effEditClose), 0);

    ASSERT_EQ (dispatch (effect, effEditOpen, window->asHostPointer()), 1);
    EXPECT_TRUE (idleUntil (effect, column0X, rowY (64), onCell)) << "the editor paints in a real window afterwards";
    EXPECT_EQ (host->processBlock (effect, { { 0, 0xB0, 64, 127 } }).size(), 3u) << "and the pedal steps its grid";

    EXPECT_EQ (dispatch (effect, effEditOpen, reinterpret_cast<void*> (vanished)), 0) << "an open editor is not kept either";
    EXPECT_TRUE (window->children().empty());
}

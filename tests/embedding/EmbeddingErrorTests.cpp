// The framework's X requests made inside the plug-in's stretches of window-system calls, on a
// server without a window manager, with a host's handler that counts: none of their errors
// reaches the host, not even the ones that the server answers after the stretch has ended.

#include "bridge/EditorCompWrapper.h"
#include "bridge/JuceVSTWrapper.h"
#include "bridge/PluginWindowCalls.h"
#include "bridge/X11ErrorTrap.h"
#include "host/EffectFactory.h"
#include "tests/display/XHostWindow.h"

#include <gtest/gtest.h>

namespace
{
VstIntPtr quietHost (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// A request with an answer on the framework's own connection: every error of the requests sent
// before it arrives first, under whatever handler is installed at the time.
void makeFrameworkReadItsConnection()
{
    juce::Desktop::getMousePosition();
}

class EmbeddingErrorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (XHostWindow::displayAvailable()) << "run under xvfb-run";
        XHostWindow::countErrorsFromNowOn();
        window = std::make_unique<XHostWindow> (700, 800);
        ASSERT_FALSE (window->windowManagerRunning());
        bridge = static_cast<JuceVSTWrapper*> (createEffectInstance (&quietHost));
    }

    void TearDown() override
    {
        bridge->dispatcher (effClose, 0, 0, nullptr, 0.0f);
        delete bridge;
        window.reset();
    }

    std::unique_ptr<XHostWindow> window;
    JuceVSTWrapper* bridge = nullptr;
};
}

TEST_F (EmbeddingErrorTest, AnEditorOpenedIdledAndClosedCausesNoXErrorAtAll)
{
    const int hostErrorsBefore = XHostWindow::errorCount();
    const int ignoredBefore = X11ErrorTrap::ignoredErrorCount();

    for (int cycle = 0; cycle < 3; ++cycle)
    {
        ASSERT_EQ (bridge->dispatcher (effEditOpen, 0, 0, window->asHostPointer(), 0.0f), 1);

        for (int i = 0; i < 10; ++i)
            bridge->dispatcher (effEditIdle, 0, 0, nullptr, 0.0f);

        bridge->dispatcher (effEditClose, 0, 0, nullptr, 0.0f);
    }

    makeFrameworkReadItsConnection();
    // The window manager's atoms exist before the framework looks them up, so nothing failed.
    EXPECT_EQ (X11ErrorTrap::ignoredErrorCount(), ignoredBefore);
    EXPECT_EQ (XHostWindow::errorCount(), hostErrorsBefore);
    EXPECT_TRUE (XHostWindow::errorCounterInstalled());
}

TEST_F (EmbeddingErrorTest, AHostWindowThatVanishesJustBeforeEmbeddingGivesNoEditorWindow)
{
    bridge->createEditorComp();
    ASSERT_NE (bridge->getEditorComp(), nullptr);
    const int hostErrorsBefore = XHostWindow::errorCount();
    const int ignoredBefore = X11ErrorTrap::ignoredErrorCount();

    {
        // As the bridge's open does after its check, had the host closed its window meanwhile.
        const PluginWindowCalls windowCalls;
        EXPECT_FALSE (bridge->getEditorComp()->embedInHostWindow (reinterpret_cast<void*> (window->vanishedWindowId())));
    }

    makeFrameworkReadItsConnection();
    EXPECT_GT (X11ErrorTrap::ignoredErrorCount(), ignoredBefore) << "the framework's window could not be made";
    EXPECT_EQ (XHostWindow::errorCount(), hostErrorsBefore);
    EXPECT_TRUE (XHostWindow::errorCounterInstalled());
}

TEST_F (EmbeddingErrorTest, ErrorsTheServerReportsAfterAStretchHasEndedStillNeverReachTheHost)
{
    juce::Component component;
    component.setSize (100, 100);

    {
        const PluginWindowCalls windowCalls;
        component.addToDesktop (0, window->asHostPointer());
    }

    ASSERT_NE (component.getPeer(), nullptr);
    // The framework's window disappears behind its back: what it sends about it now fails, and
    // renaming it waits for no answer.
    window->destroyOthersWindow ((unsigned long) (uintptr_t) component.getPeer()->getNativeHandle());
    const int hostErrorsBefore = XHostWindow::errorCount();

    {
        const PluginWindowCalls windowCalls;
        component.getPeer()->setTitle ("renamed");
    }

    makeFrameworkReadItsConnection();
    EXPECT_EQ (XHostWindow::errorCount(), hostErrorsBefore);

    // The same outside the plug-in's calls: the host's handler hears of it, so the requests did fail.
    component.getPeer()->setTitle ("renamed again");
    makeFrameworkReadItsConnection();
    EXPECT_GT (XHostWindow::errorCount(), hostErrorsBefore);

    const PluginWindowCalls windowCalls;
    component.removeFromDesktop();
}

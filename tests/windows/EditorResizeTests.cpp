// When the editor changes size, the holder and the host's windows follow: through the host's
// sizeWindow when it can do that, otherwise by the walk up the host's Win32 windows, which stops
// at an MDI client, at a frame exactly two fixed-frame thicknesses wider than its child, and
// below a window far larger than its child. Brought to the front, the editor raises the host's
// frame. In-process, so the test can resize the editor itself.

#include "bridge/EditorCompWrapper.h"
#include "bridge/JuceVSTWrapper.h"
#include "host/EffectFactory.h"
#include "tests/support/ResizingHost.h"
#include "tests/windows/Win32HostWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using Arrangement = Win32HostWindow::Arrangement;
using Size = Win32HostWindow::Size;

using ResizingHost::answers;
using ResizingHost::sizeRequests;
using ResizingHost::Answers;

// The host's message loop and the framework's pending messages.
void pump (int milliseconds = 100)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;

    while (juce::Time::getMillisecondCounter() < end)
    {
        Win32HostWindow::pumpMessages();
        juce::Thread::sleep (5);
    }
}

Size plus (Size s, int width, int height)
{
    return { s.width + width, s.height + height };
}

class EditorResizeTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (bridge != nullptr)
        {
            bridge->dispatcher (effClose, 0, 0, nullptr, 0.0f);
            delete bridge;
        }

        window.reset();
        pump (20);
    }

    juce::Component& openEditorIn (Arrangement arrangement, Answers hostAnswers = {})
    {
        answers = hostAnswers;
        sizeRequests.clear();
        window = std::make_unique<Win32HostWindow> (700, 800, arrangement);
        bridge = static_cast<JuceVSTWrapper*> (createEffectInstance (&ResizingHost::callback));
        EXPECT_EQ (bridge->dispatcher (effEditOpen, 0, 0, window->asHostPointer(), 0.0f), 1);
        pump();
        return *bridge->getEditorComp()->getChildComponent (0);
    }

    Win32HostWindow::Handle editorWindow() const
    {
        return bridge->getEditorComp()->getPeer()->getNativeHandle();
    }

    std::unique_ptr<Win32HostWindow> window;
    JuceVSTWrapper* bridge = nullptr;
};
}

TEST_F (EditorResizeTest, HostFrameFollowsKeepingItsCaptionAndBorders)
{
    auto& editor = openEditorIn (Arrangement::filledFrame);
    const auto frameBefore = Win32HostWindow::outerSize (window->frameWindow());
    ASSERT_GT (frameBefore.height, 800) << "the frame's caption and borders lie around the host's window";

    editor.setSize (640, 480);
    pump();

    EXPECT_EQ (editor.getPosition(), juce::Point<int> (0, 0));
    EXPECT_EQ (bridge->getEditorComp()->getWidth(), 640);
    EXPECT_EQ (bridge->getEditorComp()->getHeight(), 480);
    EXPECT_EQ (Win32HostWindow::outerSize (editorWindow()), (Size { 640, 480 }));
    EXPECT_EQ (Win32HostWindow::outerSize (window->hostWindow()), (Size { 640, 480 }));
    EXPECT_EQ (Win32HostWindow::outerSize (window->frameWindow()), plus (frameBefore, -60, -320));
    EXPECT_TRUE (sizeRequests.empty()) << "a host that cannot resize is not asked to";

    editor.setSize (760, 820);
    pump();
    EXPECT_EQ (Win32HostWindow::outerSize (window->hostWindow()), (Size { 760, 820 }));
    EXPECT_EQ (Win32HostWindow::outerSize (window->frameWindow()), plus (frameBefore, 60, 20)) << "and grows back";
}

TEST_F (EditorResizeTest, WalkStopsAtTheMdiClient)
{
    auto& editor = openEditorIn (Arrangement::mdiChild);
    ASSERT_EQ (Win32HostWindow::classNameOf (window->containerWindow()), "MDIClient");
    const auto childBefore = Win32HostWindow::outerSize (window->hostWindow());
    const auto clientBefore = Win32HostWindow::outerSize (window->containerWindow());
    const auto frameBefore = Win32HostWindow::outerSize (window->frameWindow());
    ASSERT_EQ (Win32HostWindow::clientSize (window->hostWindow()), (Size { 700, 800 }));

    editor.setSize (640, 480);
    pump();

    EXPECT_EQ (Win32HostWindow::outerSize (editorWindow()), (Size { 640, 480 }));
    EXPECT_EQ (Win32HostWindow::outerSize (window->hostWindow()), plus (childBefore, -60, -320)) << "the MDI child follows";
    EXPECT_EQ (Win32HostWindow::clientSize (window->hostWindow()), (Size { 640, 480 }));
    EXPECT_EQ (Win32HostWindow::outerSize (window->containerWindow()), clientBefore) << "the MDI client stays";
    EXPECT_EQ (Win32HostWindow::outerSize (window->frameWindow()), frameBefore);
}

TEST_F (EditorResizeTest, WalkEndsAtAWindowWithAFixedFrame)
{
    auto& editor = openEditorIn (Arrangement::dialogFramed);
    const int frame = Win32HostWindow::fixedFrameThickness();
    ASSERT_EQ (Win32HostWindow::outerSize (window->hostWindow()), (Size { 700 + 2 * frame, 800 + 2 * frame }));
    const auto frameBefore = Win32HostWindow::outerSize (window->frameWindow());

    editor.setSize (640, 480);
    pump();

    EXPECT_EQ (Win32HostWindow::outerSize (window->hostWindow()), (Size { 640 + 2 * frame, 480 + 2 * frame }));
    EXPECT_EQ (Win32HostWindow::outerSize (window->frameWindow()), frameBefore) << "the walk ended at the framed window";
}

TEST_F (EditorResizeTest, WindowsFarLargerThanTheirChildAreLeftAlone)
{
    auto& editor = openEditorIn (Arrangement::insideLargePanel);
    const auto panelBefore = Win32HostWindow::outerSize (window->containerWindow());
    const auto frameBefore = Win32HostWindow::outerSize (window->frameWindow());

    editor.setSize (640, 480);
    pump();

    EXPECT_EQ (Win32HostWindow::outerSize (window->hostWindow()), (Size { 640, 480 }));
    EXPECT_EQ (Win32HostWindow::outerSize (window->containerWindow()), panelBefore);
    EXPECT_EQ (Win32HostWindow::outerSize (window->frameWindow()), frameBefore);
}

TEST_F (EditorResizeTest, HostThatResizesItselfIsAskedAndItsWindowsLeftAlone)
{
    auto& editor = openEditorIn (Arrangement::filledFrame, { 1, 1 });
    const auto frameBefore = Win32HostWindow::outerSize (window->frameWindow());

    editor.setSize (640, 480);
    pump();

    ASSERT_FALSE (sizeRequests.empty());
    EXPECT_EQ (sizeRequests.back(), std::make_pair ((VstIntPtr) 640, (VstIntPtr) 480));
    EXPECT_EQ (Win32HostWindow::outerSize (editorWindow()), (Size { 640, 480 }));
    EXPECT_EQ (Win32HostWindow::outerSize (window->hostWindow()), (Size { 700, 800 }));
    EXPECT_EQ (Win32HostWindow::outerSize (window->frameWindow()), frameBefore);
}

TEST_F (EditorResizeTest, HostThatRefusesToResizeGetsTheWalk)
{
    auto& editor = openEditorIn (Arrangement::filledFrame, { 1, 0 });

    editor.setSize (640, 480);
    pump();

    ASSERT_EQ (sizeRequests.size(), 1u);
    EXPECT_EQ (Win32HostWindow::outerSize (window->hostWindow()), (Size { 640, 480 }));
}

TEST_F (EditorResizeTest, BroughtToFrontRaisesTheHostsFrame)
{
    openEditorIn (Arrangement::filledFrame);
    Win32HostWindow other (300, 300);
    ASSERT_EQ (Win32HostWindow::topmostWindowOfThisThread(), other.frameWindow()) << "the newer frame starts in front";

    bridge->getEditorComp()->toFront (false);
    pump();

    EXPECT_EQ (Win32HostWindow::topmostWindowOfThisThread(), window->frameWindow());
}

// When the editor changes size, the holder and the host's window follow: through the host's
// sizeWindow when it can do that, otherwise by walking the windows. Runs in-process under a
// virtual X server, so the test can resize the editor itself.

#include "bridge/EditorCompWrapper.h"
#include "bridge/JuceVSTWrapper.h"
#include "host/EffectFactory.h"
#include "tests/display/XHostWindow.h"
#include "tests/support/ResizingHost.h"

#include <gtest/gtest.h>

namespace
{
using ResizingHost::answers;
using ResizingHost::sizeRequests;

void pump (int milliseconds = 100)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

class EditorResizeTest : public ::testing::TestWithParam<std::tuple<VstIntPtr, VstIntPtr>>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (XHostWindow::displayAvailable()) << "run under xvfb-run";
        // This program runs the framework itself and pumps it outside the plug-in's calls.
        XHostWindow::countErrorsFromNowOn();
        sizeRequests.clear();
        answers = { std::get<0> (GetParam()), std::get<1> (GetParam()) };
        window = std::make_unique<XHostWindow> (700, 800);
        bridge = static_cast<JuceVSTWrapper*> (createEffectInstance (&ResizingHost::callback));
    }

    void TearDown() override
    {
        if (bridge != nullptr)
        {
            bridge->dispatcher (effClose, 0, 0, nullptr, 0.0f);
            delete bridge;
        }

        window.reset();
    }

    juce::Component& openEditor()
    {
        EXPECT_EQ (bridge->dispatcher (effEditOpen, 0, 0, window->asHostPointer(), 0.0f), 1);
        pump();
        return *bridge->getEditorComp()->getChildComponent (0);
    }

    std::unique_ptr<XHostWindow> window;
    JuceVSTWrapper* bridge = nullptr;
};
}

TEST_P (EditorResizeTest, HolderAndHostWindowFollowTheEditor)
{
    auto& editor = openEditor();
    auto* holder = bridge->getEditorComp();

    editor.setSize (640, 480);
    pump();

    EXPECT_EQ (editor.getPosition(), juce::Point<int> (0, 0));
    EXPECT_EQ (holder->getWidth(), 640);
    EXPECT_EQ (holder->getHeight(), 480);

    const auto children = window->children();
    ASSERT_EQ (children.size(), 1u);
    EXPECT_EQ (children[0].width, 640);
    EXPECT_EQ (children[0].height, 480);

    const bool hostCanResize = answers.canDoSizeWindow != 0;
    const bool hostResized = hostCanResize && answers.sizeWindow != 0;

    if (hostCanResize)
    {
        ASSERT_FALSE (sizeRequests.empty()) << "a host that answers " << answers.canDoSizeWindow << " is asked";
        EXPECT_EQ (sizeRequests.back(), std::make_pair ((VstIntPtr) 640, (VstIntPtr) 480));
    }
    else
    {
        EXPECT_TRUE (sizeRequests.empty());
    }

    // A host that resized its window itself is left alone; otherwise the walk resizes the host's
    // window, which is exactly as large as the editor was.
    EXPECT_EQ (window->width(), hostResized ? 700 : 640);
    EXPECT_EQ (window->height(), hostResized ? 800 : 480);
}

INSTANTIATE_TEST_SUITE_P (HostAnswers, EditorResizeTest,
                          ::testing::Values (std::make_tuple ((VstIntPtr) 1, (VstIntPtr) 1),
                                             std::make_tuple ((VstIntPtr) -1, (VstIntPtr) 1),
                                             std::make_tuple ((VstIntPtr) 1, (VstIntPtr) 0),
                                             std::make_tuple ((VstIntPtr) 0, (VstIntPtr) 1)));

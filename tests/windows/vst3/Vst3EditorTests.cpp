// The Windows VST 3 editor as the framework's hosting shows it in a host's Win32 window, under a
// virtual X server: ten opens and closes, each showing the editor's colours and taking a click on a
// cell, and the clicked cells in the plug-in's saved state.

#include "tests/formats/GridScript.h"
#include "tests/formats/HostedPlugin.h"
#include "tests/formats/TenEditorsScenario.h"
#include "tests/windows/Win32HostWindow.h"

#include <gtest/gtest.h>

namespace
{
class Vst3Editor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<Win32HostWindow> (900, 900);
        plugin = std::make_unique<HostedPlugin> (PluginFormat::vst3);
    }

    void TearDown() override
    {
        if (plugin != nullptr)
            plugin->closeEditor (editor);

        plugin.reset();
        window.reset();
    }

    static void hostLoopOnce()
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        Win32HostWindow::pumpMessages();
    }

    std::unique_ptr<Win32HostWindow> window;
    std::unique_ptr<HostedPlugin> plugin;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
};
}

TEST_F (Vst3Editor, TenEditorsInAWin32WindowShowTheirColoursAndTheClickedCellsAreSaved)
{
    const auto clicked = runTenEditors (*window, { [this] { editor = plugin->openEditorIn (window->asHostPointer()); },
                                                   [this] { plugin->closeEditor (editor); }, [] { hostLoopOnce(); } });

    EXPECT_EQ (plugin->saveGrid(), GridScript::chunkOf ({ clicked, {} })) << "the state holds what was clicked";
}

#pragma once

// One editor scenario for every host the format tests build (the framework's hosting, the bare
// VST 3 host, the bare LV2 host, on X11 or in a Win32 window): ten editors opened in the host's
// window, each showing the editor's colours and the notes clicked into the ones before it, taking
// a click on one more note, and leaving no window behind when closed.

#include "tests/support/EditorScreen.h"
#include "tests/support/PluginHost.h"

#include <gtest/gtest.h>

#include <functional>

struct EditorHost
{
    std::function<void()> open;
    std::function<void()> close;
    // One turn of the host's loop (its idle, its events, its timers).
    std::function<void()> runOnce;
};

// HostWindow: XHostWindow or Win32HostWindow. Reports each failure to the running test; answers
// the notes clicked, each at velocity 100.
template <typename HostWindow>
ChordColumn runTenEditors (HostWindow& window, const EditorHost& host)
{
    using namespace EditorScreen;

    const auto hostLoop = [&] { host.runOnce(); window.sync(); };
    // JUCE's own LV2 hosting now and then takes two seconds to show the editor; a loaded machine
    // adds to that.
    const auto shows = [&] (int x, int y, uint32_t colour) {
        return loopUntil (hostLoop, [&] { return window.pixel (x, y) == colour; }, 15000, 0);
    };
    ChordColumn clicked;

    for (int cycle = 0; cycle < 10; ++cycle)
    {
        host.open();

        if (! shows (3, 400, background))
        {
            ADD_FAILURE() << "cycle " << cycle << ": no editor shows, " << std::hex << window.pixel (3, 400);
            host.close();
            return clicked;
        }

        EXPECT_EQ (window.pixel (1, 400), lightStrip) << "cycle " << cycle;

        for (const auto& [note, velocity] : clicked.notes)
            EXPECT_EQ (window.pixel (column0X, rowY (note)), onCell) << "cycle " << cycle << ", note " << note;

        const int note = 60 + cycle;
        window.moveMouse (column0X, rowY (note));
        loopFor (hostLoop, 50, 0);
        window.pressLeftButton();
        loopFor (hostLoop, 80, 0);
        window.releaseLeftButton();
        loopFor (hostLoop, 80, 0);
        EXPECT_TRUE (shows (column0X, rowY (note), onCell)) << "cycle " << cycle << ": the click reached the editor";
        clicked.notes.push_back ({ note, 100 });

        host.close();
        loopFor (hostLoop, 100, 0);
        EXPECT_TRUE (window.children().empty()) << "cycle " << cycle << ": the editor's windows are gone";
    }

    return clicked;
}

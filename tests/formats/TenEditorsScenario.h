#pragma once

// One editor scenario for every host the format tests build (the framework's hosting, the bare
// VST 3 host, the bare LV2 host): ten editors opened in the host's X window, each showing the
// editor's colours and the notes clicked into the ones before it, taking a click on one more
// note, and leaving no window behind when closed.

#include "tests/display/XHostWindow.h"
#include "tests/support/PluginHost.h"

#include <functional>

struct EditorHost
{
    std::function<void()> open;
    std::function<void()> close;
    // One turn of the host's loop (its idle, its events, its timers).
    std::function<void()> runOnce;
};

// Reports each failure to the running test; answers the notes clicked, each at velocity 100.
ChordColumn runTenEditors (XHostWindow& window, const EditorHost& host);

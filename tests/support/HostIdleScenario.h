#pragma once

#include "tests/support/PluginHost.h"

#include <functional>

// The editor's calls for the host's idle time, as any platform's host sees them: none while no
// mouse button is held; while one is held, at least 20 ms apart and never from inside the host's
// own idle handler (which idles the editor in turn); none again once it is released.
//
// idleFor (ms) runs the host's loop that long (idling the editor); pressButton and releaseButton
// hold and let go of the left button over the open editor.
void expectHostIdleOnlyWhileAButtonIsHeld (PluginHost& host, AEffect* effect,
                                           const std::function<void (int milliseconds)>& idleFor,
                                           const std::function<void()>& pressButton,
                                           const std::function<void()>& releaseButton);

#pragma once

namespace juce
{
// The framework's own dispatcher of one pending message; it has no public declaration.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

// Hosts give the framework no message loop of their own; the editor's idle request lets the
// framework catch up on its pending messages, window events and repaints here.
class FrameworkEventPump
{
public:
    // Dispatches what is pending for the editor's window, bounded so one idle request never
    // runs long.
    static void dispatchPendingWork (void* nativeWindow);

    static constexpr int maxMillisecondsPerCall = 20;
    static constexpr int maxDispatchesPerCall = 64;
};

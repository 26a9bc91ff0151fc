#include "bridge/FrameworkEventPump.h"

#include <juce_events/juce_events.h>

#if defined(_WIN32)
#include <windows.h>

void FrameworkEventPump::dispatchPendingWork (void* nativeWindow)
{
    // Windows hosts run the message loop; the editor only needs its pending paint.
    MSG message;

    if (PeekMessageA (&message, static_cast<HWND> (nativeWindow), WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA (&message);
}

#else
#include "bridge/X11ErrorTrap.h"

#include <juce_events/native/juce_linux_EventLoopInternal.h>

void FrameworkEventPump::dispatchPendingWork (void*)
{
    // Events that the end of the last request read off the framework's X connection wait in
    // Xlib's queue; the framework's loop looks only at a connection with data to read.
    const int queuedConnection = X11ErrorTrap::frameworkConnectionWithQueuedEvents();

    if (queuedConnection >= 0)
        juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd (queuedConnection);

    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) maxMillisecondsPerCall;

    for (int i = 0; i < maxDispatchesPerCall && juce::Time::getMillisecondCounter() < deadline; ++i)
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            break;
}
#endif

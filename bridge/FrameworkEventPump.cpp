#include "bridge/FrameworkEventPump.h"

#include <juce_events/juce_events.h>

#if defined(_WIN32)
#include <juce_gui_basics/juce_gui_basics.h>

void FrameworkEventPump::dispatchPendingWork (void* nativeWindow)
{
    // Windows hosts run the message loop that delivers the framework's messages. The editor's
    // repaints wait for the next screen refresh, which comes through that loop; a host busy
    // elsewhere still idles its editors, so the pending repaint is made and painted here.
    for (int i = juce::ComponentPeer::getNumPeers(); --i >= 0;)
    {
        auto* peer = juce::ComponentPeer::getPeer (i);

        if (peer != nullptr && peer->getNativeHandle() == nativeWindow)
        {
            peer->performAnyPendingRepaintsNow();
            return;
        }
    }
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

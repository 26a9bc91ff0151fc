#pragma once

#include "bridge/FrameworkEventPump.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

namespace editortest
{
    // Delivers everything posted so far and runs the timers due by then (the grid repaints the
    // columns the audio thread marked from a timer), as the host's idle calls would.
    inline void deliverPendingMessages()
    {
        for (int i = 0; i < 1000 && juce::dispatchNextMessageOnSystemQueue (true); ++i)
        {
        }

        std::this_thread::sleep_for (std::chrono::milliseconds (25));
        juce::Timer::callPendingTimersSynchronously();
    }

    inline juce::MouseEvent mouseDownAt (juce::Component& component, float x, float y,
                                         juce::ModifierKeys::Flags button)
    {
        const juce::ModifierKeys mods (button);
        const juce::Point<float> position (x, y);
        const auto now = juce::Time::getCurrentTime();

        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, mods,
                                 juce::MouseInputSource::defaultPressure,
                                 juce::MouseInputSource::defaultOrientation,
                                 juce::MouseInputSource::defaultRotation,
                                 juce::MouseInputSource::defaultTiltX,
                                 juce::MouseInputSource::defaultTiltY,
                                 &component, &component, now, position, now, 1, false);
    }

    inline juce::MouseEvent leftClickAt (juce::Component& component, float x, float y)
    {
        return mouseDownAt (component, x, y, juce::ModifierKeys::leftButtonModifier);
    }

    inline juce::MouseEvent rightClickAt (juce::Component& component, float x, float y)
    {
        return mouseDownAt (component, x, y, juce::ModifierKeys::rightButtonModifier);
    }

    // What the component and its children show, drawn the way a window would draw it.
    inline juce::Image render (juce::Component& component)
    {
        juce::Image image (juce::Image::ARGB, component.getWidth(), component.getHeight(), true);
        juce::Graphics g (image);
        component.paintEntireComponent (g, false);
        return image;
    }

    inline juce::uint32 argbAt (const juce::Image& image, int x, int y)
    {
        return image.getPixelAt (x, y).getARGB();
    }

    inline bool isCloseTo (juce::Colour actual, juce::Colour expected, int tolerance)
    {
        return std::abs ((int) actual.getRed() - (int) expected.getRed()) <= tolerance
            && std::abs ((int) actual.getGreen() - (int) expected.getGreen()) <= tolerance
            && std::abs ((int) actual.getBlue() - (int) expected.getBlue()) <= tolerance;
    }

    // Holds the lock on another thread for a while and tells whether the action waited for it.
    inline bool actionWaitsForLock (juce::CriticalSection& lock, const std::function<void()>& action)
    {
        std::atomic<bool> held { false };
        std::atomic<bool> released { false };

        std::thread holder ([&] {
            const juce::ScopedLock sl (lock);
            held = true;
            juce::Thread::sleep (60);
            released = true;
        });

        while (! held)
            std::this_thread::yield();

        action();
        const bool waited = released.load();
        holder.join();
        return waited;
    }
}

#pragma once

// The host's side of the window system in the Windows tests: the window a host gives the
// plug-in's editor, inside the windows hosts wrap it in, with the thread's message loop, pixels
// read back from the screen and a mouse driven through the system's input queue.
// windows.h stays inside the source file: it clashes with the framework's names.

#include <cstdint>
#include <string>
#include <vector>

class Win32HostWindow
{
public:
    using Handle = void*;  // a window handle (HWND)

    // How the host wraps the window it gives the editor.
    enum class Arrangement
    {
        filledFrame,       // the client area of a top-level frame window
        mdiChild,          // an MDI child window inside an MDI client inside a frame
        dialogFramed,      // a child with a fixed dialog frame, inside a top-level frame
        insideLargePanel   // a child in a panel far larger than it, inside a top-level frame
    };

    Win32HostWindow (int width, int height, Arrangement arrangement = Arrangement::filledFrame);
    ~Win32HostWindow();

    Win32HostWindow (const Win32HostWindow&) = delete;
    Win32HostWindow& operator= (const Win32HostWindow&) = delete;

    // The window handed to the plug-in with effEditOpen.
    Handle hostWindow() const { return host; }
    void* asHostPointer() const { return host; }
    // The top-level window and the window the host's window sits in (the frame itself, the MDI
    // client or the panel).
    Handle frameWindow() const { return frame; }
    Handle containerWindow() const { return container; }

    // Runs the thread's message loop until nothing is pending, as a host's loop does.
    static void pumpMessages();
    // Waits until what this thread drew has reached the screen, before pixels are read.
    static void sync();

    std::vector<Handle> children() const;  // direct children of the host's window
    static Handle parentOf (Handle window);
    static long styleOf (Handle window);
    static bool exists (Handle window);
    static std::string classNameOf (Handle window);
    // Visible or not, as a control that a window was made where the host did not ask for one.
    static int topLevelWindowsOfThisThread();
    // The visible top-level window of this thread that is in front of the others.
    static Handle topmostWindowOfThisThread();

    struct Size
    {
        int width = 0, height = 0;
        bool operator== (const Size& o) const { return width == o.width && height == o.height; }
    };
    // The outer size of a window, frame and caption included.
    static Size outerSize (Handle window);
    static Size clientSize (Handle window);
    // The thickness of a fixed (dialog) frame, as the system draws it.
    static int fixedFrameThickness();

    // 0xRRGGBB on the screen at a point of the host's window.
    uint32_t pixel (int x, int y) const;

    // The mouse, through the system's input queue as a hand moves it; points in the host's window.
    void moveMouse (int x, int y) const;
    static void pressLeftButton();
    static void releaseLeftButton();

    // A key typed on the keyboard, through the system's input queue.
    static void typeKey (unsigned short virtualKey);
    static Handle focusedWindow();

private:
    Handle frame = nullptr, container = nullptr, host = nullptr;
};

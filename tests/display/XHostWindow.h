#pragma once

#include <initializer_list>

// The host's side of the window system in the display tests: a plain X window for the plug-in's
// editor, reading pixels back, the window tree below it, and a mouse driven through XTest.
// Xlib's names stay inside the source file.

#include <cstdint>
#include <string>
#include <vector>

class XHostWindow
{
public:
    XHostWindow (int width, int height);
    ~XHostWindow();

    static bool displayAvailable();

    unsigned long windowId() const { return window; }
    void* asHostPointer() const { return reinterpret_cast<void*> (window); }

    struct ChildWindow
    {
        unsigned long id;
        int x, y, width, height;
        bool mapped;
    };
    std::vector<ChildWindow> children() const;
    // Windows shown on the screen at the top level, this host's own included.
    int viewableTopLevelWindows() const;

    // 0xRRGGBB at a point of the host window, as the X server has it.
    uint32_t pixel (int x, int y) const;
    int width() const;
    int height() const;
    bool savePng (const std::string& path) const;

    // Moves the pointer to a point of the window (or of the screen) and presses or releases a
    // button (1 left, 3 right).
    void moveMouse (int x, int y) const;
    void moveMouseOnScreen (int x, int y) const;
    void pressLeftButton() const { pressButton (1); }
    void releaseLeftButton() const { releaseButton (1); }
    void pressButton (int button) const;
    void releaseButton (int button) const;
    // Presses the keys (X keysyms) in order and lets them go in reverse, as fingers on a chord of
    // keys do (Control, then z).
    void typeKeys (std::initializer_list<unsigned long> keysyms) const;
    void sync() const;

    // Whether a window manager announces itself on the screen (a bare X server has none).
    bool windowManagerRunning() const;
    static bool atomExists (const char* name);

    // The id of a window that this host made and destroyed again: it names no window.
    unsigned long vanishedWindowId() const;

    // For test programs that run the framework themselves, as an application does: from now on
    // X errors are counted instead of ending the program. A host of the plug-in installs nothing.
    static void countErrorsFromNowOn();
    static int errorCount();
    static bool errorCounterInstalled();
    // Whether Xlib's own default handler, which ends the process at the first error, is the one
    // installed: a host with no X error handler of its own.
    static bool xlibDefaultHandlerInstalled();

    // Destroys a window of another client's (the plug-in's) behind its back.
    void destroyOthersWindow (unsigned long id) const;

private:
    void* display = nullptr;
    unsigned long window = 0;
};

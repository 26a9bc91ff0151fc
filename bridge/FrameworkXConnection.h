#pragma once

// The framework opens an X connection of its own the first time it needs the window system and
// talks to the server through it on the plug-in's behalf; the window layer reaches it here to
// have the server answer everything sent on it.
class FrameworkXConnection
{
public:
    // The framework's Display, as an opaque pointer; nullptr while it has none open (no editor
    // has been built yet, or there is no X server). Message thread; waits on nothing.
    static void* display();
};

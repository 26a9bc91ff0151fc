#if ! defined(_WIN32)

// The framework declares its X11 classes only when asked to; it then includes Xlib's headers
// itself, in the order its own sources use, and undoes the macros that clash with its names.
// Nothing here calls Xlib: the connection goes to the window layer as an opaque pointer.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

#include "bridge/FrameworkXConnection.h"

void* FrameworkXConnection::display()
{
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    return windowSystem != nullptr ? static_cast<void*> (windowSystem->getDisplay()) : nullptr;
}

#endif

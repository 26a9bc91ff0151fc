#pragma once

#include "host/VstInterface.h"

#include <juce_events/juce_events.h>

#include <memory>

class AudioFilterBase;
class EditorCompWrapper;
class JuceVSTWrapper;

// The filter's editor in the host's window, for one bridge: building it for the host's size
// request, embedding it in the host's window, idling, resizing the host's window with it, and
// deleting it (the filter is told first).
//
// Threads: everything here runs on the host's user-interface thread, which the bridge makes the
// framework's message thread, or from the framework's timers and messages on that thread. Some
// hosts idle the editor from a timer thread of their own while their user-interface thread opens
// or closes it: the entry points below never overlap (one waits for the other; an idle that
// would wait is skipped instead). They wait on that, on filterLock (briefly, to track the editor)
// and on the window system; the audio thread never waits on any of it.
class EditorHosting
{
public:
    EditorHosting (JuceVSTWrapper& bridge, AudioFilterBase& filter);
    ~EditorHosting();

    // Builds the editor and its holder, not yet in any window; nothing when one exists already.
    void createEditorComp();
    // Tells the filter, then deletes the holder with the editor.
    void deleteEditorComp();

    // effEditGetRect: the editor's size, without building it; 0 when the filter has no editor.
    VstIntPtr getEditorRect (void* rectDestination);

    enum class OpenResult { opened, refused, noEditor };
    // effEditOpen: a fresh editor in the host's window. refused: the window does not exist or
    // the editor cannot live in it; noEditor: the filter makes none.
    OpenResult openEditor (void* hostWindow);

    // effEditIdle: runs the framework's due timers and pending work; nothing while another
    // editor call is under way on another thread.
    VstIntPtr handleEditorIdle();

    // Gives the host its idle time while a mouse button is held in the editor, at most every
    // 20 ms.
    void idleHostWhileMouseDown();

    // The editor's size changed: the host's window follows, through the host or the window walk.
    void resizeHostWindow (int width, int height);

    // The host's display scale (1.5 for 150 %): the editor is drawn that much larger, and its
    // size as the host sees it (effEditGetRect, the host's window) grows with it. The player's
    // zoom multiplies it. Values a display cannot have (not a number, zero or less) are ignored;
    // others are held to 1 to 4. Applied at once to an open editor.
    void setDisplayScale (float scale);

    EditorCompWrapper* getEditorComp() const noexcept { return editorComp.get(); }

    // Held by each editor call from its start: taken by the bridge before the call makes its
    // thread the framework's message thread.
    juce::CriticalSection& getCallLock() noexcept { return editorCalls; }

    // Process-wide: the framework's timers and messages are shared by every instance in the
    // process, and any of them may run inside any instance's call to the host. Set while a bridge
    // is inside a call that may lead back into it (its own idle call to the host, the host's
    // editor-idle request, deleting an editor). Read and written on the message thread only.
    static bool hostCallGuard;
    // Process-wide for the same reason: the host's idle is one for all instances.
    static juce::uint32 lastHostIdleTime;

private:
    static bool isHostIdleDue();
    void rescaleOpenEditor();

    JuceVSTWrapper& bridge;
    AudioFilterBase& filter;
    // Held for the whole of each editor call; re-entrant, as a call may lead into another
    // through the host.
    juce::CriticalSection editorCalls;
    std::unique_ptr<EditorCompWrapper> editorComp;
    ERect editorRect {};
    float displayScale = 1.0f;

    JUCE_DECLARE_NON_COPYABLE (EditorHosting)
};

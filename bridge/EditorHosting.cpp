#include "bridge/EditorHosting.h"

#include "bridge/AudioFilterEditor.h"
#include "bridge/EditorCompWrapper.h"
#include "bridge/FrameworkEventPump.h"
#include "bridge/HostWindowChain.h"
#include "bridge/JuceVSTWrapper.h"
#include "bridge/PluginWindowCalls.h"

#include <cmath>

bool EditorHosting::hostCallGuard = false;
juce::uint32 EditorHosting::lastHostIdleTime = 0;

namespace
{
constexpr int mouseButtonMask = juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::rightButtonModifier
                                | juce::ModifierKeys::middleButtonModifier;
constexpr juce::uint32 minimumHostIdleGapMs = 20;
}

EditorHosting::EditorHosting (JuceVSTWrapper& owner, AudioFilterBase& filterToHost)
    : bridge (owner), filter (filterToHost)
{
}

// The bridge deletes the editor through deleteEditorComp before the filter goes.
EditorHosting::~EditorHosting() = default;

void EditorHosting::createEditorComp()
{
    const juce::ScopedLock sl (editorCalls);

    if (editorComp != nullptr)
        return;

    auto* editor = filter.createAndTrackEditor();

    if (editor == nullptr)
        return;

    editor->setOpaque (true);
    editor->setVisible (true);

    editorComp = std::make_unique<EditorCompWrapper> (bridge);
    editorComp->addAndMakeVisible (editor);
    editor->toFront (false);
    editor->setTopLeftPosition (0, 0);
    // The host learns the size from effEditGetRect before it opens the window: nothing to resize.
    editor->setTransform (juce::AffineTransform::scale (displayScale));
    editorComp->setBounds (editor->getBoundsInParent());
}

void EditorHosting::setDisplayScale (float scale)
{
    const juce::ScopedLock sl (editorCalls);

    if (! std::isfinite (scale) || scale <= 0.0f)
        return;

    displayScale = juce::jlimit (1.0f, 4.0f, scale);
    rescaleOpenEditor();
}

void EditorHosting::rescaleOpenEditor()
{
    if (editorComp == nullptr)
        return;

    if (auto* editor = editorComp->getChildComponent (0))
    {
        // The holder takes the scaled size from the editor and passes it on to the host's window.
        editor->setTransform (juce::AffineTransform::scale (displayScale));
        editorComp->childBoundsChanged (editor);
    }
}

void EditorHosting::deleteEditorComp()
{
    // Also reached from effClose and the destructor: the editor's windows are destroyed here.
    const juce::ScopedLock sl (editorCalls);
    const PluginWindowCalls windowCalls;
    const bool guardBefore = hostCallGuard;
    hostCallGuard = true;

    if (editorComp != nullptr)
    {
        filter.forgetEditor (dynamic_cast<AudioFilterEditor*> (editorComp->getChildComponent (0)));
        editorComp.reset();
    }

    hostCallGuard = guardBefore;
}

VstIntPtr EditorHosting::getEditorRect (void* rectDestination)
{
    const juce::ScopedLock sl (editorCalls);
    int width = 0, height = 0;

    // Hosts ask before they open the editor, and some ask without ever opening it: the answer
    // builds nothing.
    if (editorComp != nullptr)
    {
        width = editorComp->getWidth();
        height = editorComp->getHeight();
    }
    else if (filter.getEditorSize (width, height))
    {
        // Rounded as the open editor's scaled bounds will be.
        const auto scaled = juce::Rectangle<int> (width, height).transformedBy (juce::AffineTransform::scale (displayScale));
        width = scaled.getWidth();
        height = scaled.getHeight();
    }
    else
    {
        return 0;
    }

    editorRect.top = 0;
    editorRect.left = 0;
    editorRect.bottom = (int16_t) height;
    editorRect.right = (int16_t) width;

    if (rectDestination != nullptr)
        *static_cast<ERect**> (rectDestination) = &editorRect;

    return (VstIntPtr) &editorRect;
}

EditorHosting::OpenResult EditorHosting::openEditor (void* hostWindow)
{
    const juce::ScopedLock sl (editorCalls);

    // Without a window of the host's to live in, the editor would become a window of its own.
    if (hostWindow == nullptr)
        return OpenResult::refused;

    // Every open builds a fresh editor.
    deleteEditorComp();

    // A host may hand over a window that it has already closed; the framework would make its own
    // window inside it regardless.
    if (! NativeWindowLayer::platformLayer().windowExists ((NativeWindowLayer::Window) hostWindow))
        return OpenResult::refused;

    createEditorComp();

    if (editorComp == nullptr)
        return OpenResult::noEditor;

    if (! editorComp->embedInHostWindow (hostWindow))
    {
        deleteEditorComp();
        return OpenResult::refused;
    }

    return OpenResult::opened;
}

VstIntPtr EditorHosting::handleEditorIdle()
{
    // Idle is the one call a host makes again and again: skipping one while another thread opens
    // or closes the editor costs nothing, and waiting could keep that thread's host waiting.
    const juce::ScopedTryLock sl (editorCalls);

    if (! sl.isLocked() || hostCallGuard)
        return 0;

    hostCallGuard = true;
    juce::Timer::callPendingTimersSynchronously();

    if (editorComp != nullptr && editorComp->isVisible())
        if (auto* peer = editorComp->getPeer())
            FrameworkEventPump::dispatchPendingWork (peer->getNativeHandle());

    hostCallGuard = false;

    // The framework's timers and repaints ran inside this request, where the guard kept them from
    // calling the host; the host's idle call for a held mouse button is made here instead.
    idleHostWhileMouseDown();
    return 0;
}

void EditorHosting::idleHostWhileMouseDown()
{
    if ((juce::ModifierKeys::currentModifiers.getRawFlags() & mouseButtonMask) == 0 || hostCallGuard
        || editorComp == nullptr || ! isHostIdleDue())
        return;

    hostCallGuard = true;

    {
        const PluginWindowCalls::HostCall hostCall;

        // Handing the host its error handling back waits on the window system; the spacing is
        // measured after it, right before the call, as the host sees it.
        if (isHostIdleDue())
        {
            lastHostIdleTime = juce::Time::getMillisecondCounter();
            bridge.masterIdle();
        }
    }

    hostCallGuard = false;
}

bool EditorHosting::isHostIdleDue()
{
    return juce::Time::getMillisecondCounter() > lastHostIdleTime + minimumHostIdleGapMs;
}

void EditorHosting::resizeHostWindow (int width, int height)
{
    if (editorComp == nullptr)
        return;

    char sizeWindowText[] = "sizeWindow";
    bool hostResized = false;

    {
        const PluginWindowCalls::HostCall hostCall;
        hostResized = bridge.canHostDo (sizeWindowText) != 0 && bridge.sizeWindow (width, height);
    }

    const PluginWindowCalls windowCalls;

    if (! hostResized)
        if (auto* peer = editorComp->getPeer())
            HostWindowChain::resizeChain (NativeWindowLayer::platformLayer(),
                                          (NativeWindowLayer::Window) peer->getNativeHandle(), width, height);

    if (auto* peer = editorComp->getPeer())
        peer->handleMovedOrResized();
}

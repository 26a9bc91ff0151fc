#include "bridge/EditorCompWrapper.h"

#include "bridge/HostWindowChain.h"
#include "bridge/JuceVSTWrapper.h"

EditorCompWrapper::EditorCompWrapper (JuceVSTWrapper& owner) : ownerBridge (owner)
{
    setOpaque (true);
}

EditorCompWrapper::~EditorCompWrapper()
{
    deleteAllChildren();
}

bool EditorCompWrapper::embedInHostWindow (void* hostWindow)
{
    setOpaque (true);
    setVisible (false);
    addToDesktop (0, hostWindow);

    // With no window system to talk to, the framework makes a peer without a native window.
    auto* peer = getPeer();

    if (peer == nullptr || peer->getNativeHandle() == nullptr)
        return false;

    // Had the host's window gone in the meantime, the framework's window could not be made in it.
    if (! NativeWindowLayer::platformLayer().windowExists ((NativeWindowLayer::Window) peer->getNativeHandle()))
        return false;

    setVisible (true);
    return true;
}

void EditorCompWrapper::paint (juce::Graphics&)
{
}

void EditorCompWrapper::paintOverChildren (juce::Graphics&)
{
    // Repaints come while the user drags; the host is given its idle time after them.
    triggerAsyncUpdate();
}

void EditorCompWrapper::resized()
{
    // The editor may be drawn scaled: its own bounds are this area in its coordinates.
    if (auto* editor = getChildComponent (0))
        editor->setBounds (editor->getLocalArea (this, getLocalBounds()));
}

void EditorCompWrapper::childBoundsChanged (juce::Component* child)
{
    if (child == nullptr)
        return;

    child->setTopLeftPosition (0, 0);
    const auto scaled = child->getBoundsInParent();
    ownerBridge.resizeHostWindow (scaled.getWidth(), scaled.getHeight());
    setSize (scaled.getWidth(), scaled.getHeight());
}

void EditorCompWrapper::broughtToFront()
{
    if (auto* peer = getPeer())
    {
        auto& layer = NativeWindowLayer::platformLayer();
        const auto frame = HostWindowChain::findHostFrameWindow (layer, (NativeWindowLayer::Window) peer->getNativeHandle());

        if (frame != NativeWindowLayer::noWindow)
            layer.raiseToTop (frame);
    }
}

void EditorCompWrapper::handleAsyncUpdate()
{
    ownerBridge.idleHostWhileMouseDown();
}

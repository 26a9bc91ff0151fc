#include "engine/Corvadel.h"

#include "editor/DemoEditorComponent.h"
#include "engine/ProductIdentity.h"
#include "engine/StateChunk.h"

#include <cstring>

AudioFilterBase* createFilterInstance()
{
    return new Corvadel();
}

Corvadel::Corvadel()
{
    currentProgram = 0;
}

Corvadel::~Corvadel() = default;

void Corvadel::fillFilterProperties (FilterProperties& p)
{
    p.uniqueId = ProductIdentity::uniqueId;
    p.numInputChannels = 2;
    p.numOutputChannels = 2;
    p.latencySamples = 0;
    p.isSynth = true;
    p.wantsMidiInput = true;
    p.producesMidiOutput = true;
    p.hasNoTail = false;
}

void Corvadel::prepareForPlayback (double, int)
{
    // Notes are placed by the sample positions of the presses alone: neither the rate nor the
    // block size matters to the chords (the bridge keeps both for the filter).
    player.prepare();
}

void Corvadel::releasePlaybackResources()
{
    // The host stops the playing here (a suspend, a deactivation): nothing it hears may sound on.
    player.requestSilence();
}

void Corvadel::processBypassedBlock (juce::MidiBuffer& midiMessages)
{
    player.handleBypassedMidi (midiMessages);
}

void Corvadel::processNextBlock (juce::AudioBuffer<float>&, juce::AudioBuffer<float>&, bool,
                                 juce::MidiBuffer& midiMessages)
{
    handlePedalMidi (midiMessages);
}

void Corvadel::handlePedalMidi (juce::MidiBuffer& midiMessages)
{
    player.handlePedalMidi (midiMessages);
}

void Corvadel::requestStop()
{
    player.requestStop();
}

AudioFilterEditor* Corvadel::createFilterEditor()
{
    return new DemoEditorComponent (*this);
}

bool Corvadel::getEditorSize (int& width, int& height) const
{
    const int zoom = EditorZoom::load();
    width = DemoEditorComponent::defaultWidth * zoom / 100;
    height = DemoEditorComponent::defaultHeight * zoom / 100;
    return true;
}

void Corvadel::saveState (juce::MemoryBlock& destination)
{
    if (const auto sequence = player.getSequence())
        StateChunk::write (*sequence, player.getSettings(), destination);
}

void Corvadel::restoreState (const void* data, int sizeInBytes)
{
    if (isStateSavedNow (data, sizeInBytes))
        return;

    if (auto restored = StateChunk::read (data, sizeInBytes))
    {
        player.publishState (std::move (restored->grid), restored->settings);
        player.getHistory().clear();
    }
}

bool Corvadel::isStateSavedNow (const void* data, int sizeInBytes)
{
    juce::MemoryBlock now;
    saveState (now);
    return data != nullptr && sizeInBytes > 0 && now.getSize() == (size_t) sizeInBytes
        && std::memcmp (now.getData(), data, now.getSize()) == 0;
}

void Corvadel::handleMessage (const juce::Message&)
{
}

#include "EditorSnapshot.h"

#include "InputError.h"

#include "editor/DemoEditorComponent.h"
#include "engine/Corvadel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace
{
// The messages go through the filter's own handling, under the settings of the final state, so
// the play position ends on the column where the plug-in's ended.
void replayPedal (Corvadel& filter, const PedalSchedule& pedal)
{
    juce::MidiBuffer midi;
    int order = 0;

    // Only the order matters here: positions keep it.
    for (const auto& event : pedal.getEvents())
        midi.addEvent (event.bytes, (int) sizeof (event.bytes), order++);

    const juce::ScopedLock sl (filter.filterLock);
    filter.handlePedalMidi (midi);
}

juce::Image drawEditor (const juce::MemoryBlock& finalState, const PedalSchedule& pedal)
{
    Corvadel filter;

    if (finalState.getSize() > 0)
        filter.restoreState (finalState.getData(), (int) finalState.getSize());

    std::unique_ptr<AudioFilterEditor> editor (filter.createAndTrackEditor());

    if (editor == nullptr)
        throw InputError ("cannot draw the editor: the filter built none");

    replayPedal (filter, pedal);

    // The grid takes up the play position at its next refresh; the picture is drawn now.
    if (auto* demoEditor = dynamic_cast<DemoEditorComponent*> (editor.get()))
        demoEditor->getGrid()->refreshFromPlayer();

    auto image = editor->createComponentSnapshot (editor->getLocalBounds());

    filter.forgetEditor (editor.get());
    editor.reset();
    return image;
}
}

juce::MemoryBlock EditorSnapshot::drawPng (const juce::MemoryBlock& finalState, const PedalSchedule& pedal)
{
    const juce::ScopedJuceInitialiser_GUI framework;
    const auto image = drawEditor (finalState, pedal);

    juce::MemoryOutputStream png;
    juce::PNGImageFormat format;

    if (! image.isValid() || ! format.writeImageToStream (image, png))
        throw InputError ("cannot draw the editor into a PNG");

    return png.getMemoryBlock();
}

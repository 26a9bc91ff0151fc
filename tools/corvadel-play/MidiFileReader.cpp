#include "MidiFileReader.h"

juce::MidiFile MidiFileReader::read (const juce::File& file, const ProblemReport& problem)
{
    if (file.isDirectory())
        throw problem ("it is a folder");

    if (! file.existsAsFile())
        throw problem ("no such file");

    juce::FileInputStream in (file);

    if (in.failedToOpen())
        throw problem ("it cannot be opened");

    juce::MidiFile midi;

    // Note-offs are not needed: a missing one must not invent events.
    if (! midi.readFrom (in, false))
        throw problem ("not a MIDI file");

    return midi;
}

#include "MidiFileReader.h"

juce::MidiFile MidiFileReader::read (const juce::File& file, const ProblemReport& problem)
{
    const auto bytes = LimitedFileReader::read (file, maxFileBytes, "more than this program reads as MIDI", problem);
    juce::MemoryInputStream in (bytes, false);
    juce::MidiFile midi;

    // Note-offs are not needed: a missing one must not invent events.
    if (! midi.readFrom (in, false))
        throw problem ("not a MIDI file");

    return midi;
}

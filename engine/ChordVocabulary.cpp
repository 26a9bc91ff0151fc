#include "engine/ChordVocabulary.h"

#include "engine/ChordNameParser.h"
#include "engine/ChordNamer.h"

#include <algorithm>
#include <vector>

juce::String ChordVocabulary::nameOf (const NoteCell* cells, int count)
{
    std::vector<int> notes;

    for (int note = 0; cells != nullptr && note < std::min (count, notesPerChord); ++note)
        if (cells[note].isOn != 0)
            notes.push_back (note);

    return ChordNamer::name (notes);
}

juce::Result ChordVocabulary::parse (const juce::String& name, NoteCell* cells, int count)
{
    std::vector<int> notes;
    const auto result = ChordNameParser::parse (name, notes);

    if (result.failed() || cells == nullptr)
        return result;

    std::fill (cells, cells + std::max (0, count), NoteCell {});

    for (int note : notes)
    {
        if (note < count)
        {
            cells[note].isOn = 1;
            cells[note].velocity = voicingVelocity;
        }
    }

    return result;
}

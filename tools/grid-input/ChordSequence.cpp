#include "ChordSequence.h"

#include "InputError.h"
#include "LimitedFileReader.h"
#include "MidiFileReader.h"

#include "engine/ChordChartReader.h"

#include <algorithm>
#include <map>

const char* const ChordSequence::noChordText = "N.C.";

namespace
{
bool marksNoChord (const juce::MidiMessage& message)
{
    const int type = message.isMetaEvent() ? message.getMetaEventType() : -1;
    const int text = 1, marker = 6;
    return (type == text || type == marker)
        && message.getTextFromTextMetaEvent().trim() == ChordSequence::noChordText;
}
}

ChordSequence::ChordSequence (juce::MemoryBlock chunkBytes, juce::String originText, bool fromSavedState)
    : chunk (std::move (chunkBytes)), origin (std::move (originText)), savedState (fromSavedState)
{
}

ChordSequence ChordSequence::demo()
{
    // C, Am, F, G, Em, Am, Dm7, G7: the bass note a little stronger than the chord above it.
    const auto chord = [] (int bass, std::initializer_list<int> upper, int velocity) {
        Chord c { { bass, std::min (127, velocity + 12) } };

        for (int note : upper)
            c.push_back ({ note, velocity });

        return c;
    };

    return fromChords ({ chord (48, { 60, 64, 67 }, 90),
                         chord (45, { 57, 60, 64 }, 72),
                         chord (41, { 57, 60, 65 }, 84),
                         chord (43, { 55, 59, 62 }, 96),
                         chord (40, { 55, 59, 64 }, 70),
                         chord (45, { 57, 60, 64 }, 80),
                         chord (50, { 57, 60, 65 }, 88),
                         chord (43, { 53, 59, 62 }, 105) },
                       "the demo progression");
}

ChordSequence ChordSequence::fromChords (const std::vector<Chord>& chords, const juce::String& origin)
{
    return ChordSequence (chunkFor (chords), origin, false);
}

ChordSequence ChordSequence::fromMidiFile (const juce::File& file)
{
    const auto problem = [&file] (const juce::String& why) {
        return InputError ("cannot read chords from " + file.getFullPathName().toStdString() + ": " + why.toStdString());
    };

    const auto midi = MidiFileReader::read (file, problem);
    const auto chords = chordsIn (midi);

    if (chords.empty())
        throw problem ("it holds no notes (nor \"" + juce::String (noChordText) + "\" text events)");

    if (chords.size() > (size_t) GridState::maxColumns)
        throw problem ("it holds " + juce::String ((juce::int64) chords.size()) + " chords, more than the "
                       + juce::String (GridState::maxColumns) + " the plug-in's grid takes");

    return fromChords (chords, file.getFullPathName());
}

ChordSequence ChordSequence::fromStateFile (const juce::File& file)
{
    const auto problem = [&file] (const juce::String& why) {
        return InputError ("cannot read the state from " + file.getFullPathName().toStdString() + ": " + why.toStdString());
    };

    auto bytes = LimitedFileReader::read (file, maxStateBytes, "more than the largest state the plug-in takes", problem);

    if (bytes.isEmpty())
        throw problem ("it is empty");

    return ChordSequence (std::move (bytes), file.getFullPathName(), true);
}

ChordSequence ChordSequence::fromChart (const std::string& argument)
{
    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (argument));
    const bool inFile = file.exists();
    const auto origin = inFile ? file.getFullPathName() : juce::String ("the chart given with --chart");
    const auto problem = [&] (const juce::String& why) {
        return InputError ((inFile ? "cannot use the chart in " : "cannot use ") + origin.toStdString() + ": "
                           + why.toStdString());
    };

    // Every byte is read: a NUL or any other byte that is no UTF-8 text refuses the chart.
    const auto bytes = inFile ? LimitedFileReader::read (file, maxChartBytes, "more than a chart of the largest grid", problem)
                              : juce::MemoryBlock (argument.data(), argument.size());
    const auto chart = ChordChartReader::read (bytes.getData(), bytes.getSize());

    if (chart.grid == nullptr)
        throw problem (chart.error);

    if (chart.grid->getNumColumns() == 0)
        throw problem ("it holds no chords");

    juce::MemoryBlock chunk;
    chart.grid->appendTo (chunk);
    return ChordSequence (std::move (chunk), origin, false);
}

std::vector<ChordSequence::Chord> ChordSequence::chordsIn (const juce::MidiFile& file)
{
    // Ticks to notes to velocities: one note sounding on two channels at once is one cell.
    std::map<double, std::map<int, int>> notesAtTick;

    for (int t = 0; t < file.getNumTracks(); ++t)
    {
        for (const auto* event : *file.getTrack (t))
        {
            const auto& message = event->message;

            // An empty chord, unless notes start at the same tick.
            if (marksNoChord (message))
                notesAtTick[message.getTimeStamp()];

            if (! message.isNoteOn (false))
                continue;

            auto& velocity = notesAtTick[message.getTimeStamp()][message.getNoteNumber()];
            velocity = std::max (velocity, (int) message.getVelocity());
        }
    }

    std::vector<Chord> chords;

    for (const auto& [tick, notes] : notesAtTick)
    {
        Chord chord;

        for (const auto& [number, velocity] : notes)
            chord.push_back ({ number, velocity });

        chords.push_back (std::move (chord));
    }

    return chords;
}

juce::MemoryBlock ChordSequence::chunkFor (const std::vector<Chord>& chords)
{
    // The plug-in's own state format, written by its own code.
    GridState state ((int) chords.size(), cellsPerColumn);

    for (size_t i = 0; i < chords.size(); ++i)
    {
        auto* column = state.column ((int) i);

        for (const auto& note : chords[i])
        {
            if (note.number < 0 || note.number >= cellsPerColumn)
                continue;

            column[note.number].isOn = 1;
            column[note.number].velocity = note.velocity;
        }
    }

    juce::MemoryBlock chunk;
    state.appendTo (chunk);
    return chunk;
}

#include "StartingGrid.h"

#include "InputError.h"
#include "StartingState.h"

#include "engine/NoteCell.h"
#include "engine/StateChunk.h"

namespace
{
// As many as a new plug-in's window starts with.
constexpr int freshColumns = 2;

bool playerTakes (const juce::MemoryBlock& chunk)
{
    return StateChunk::read (chunk.getData(), (int64_t) chunk.getSize()).has_value();
}
}

StartingGrid StartingGrid::choose (const GridSourceOptions& given, const juce::File& keptFile)
{
    if (given.givesChords())
        return fromCommandLine (given, keptFile.existsAsFile());

    if (keptFile.existsAsFile())
        return fromKeptFile (given, keptFile);

    return empty (given.settings, KeptFileAction::create);
}

StartingGrid StartingGrid::fromCommandLine (const GridSourceOptions& given, bool keptFileExists)
{
    const auto chords = given.loadChords();
    StartingGrid grid;
    grid.chunk = StartingState::compose (chords, given.settings).getChunk();
    grid.origin = chords.getOrigin();
    grid.action = keptFileExists ? KeptFileAction::replace : KeptFileAction::create;

    if (! playerTakes (grid.chunk))
        throw InputError ("the player refuses the chords from " + chords.getOrigin().toStdString());

    return grid;
}

StartingGrid StartingGrid::fromKeptFile (const GridSourceOptions& given, const juce::File& keptFile)
{
    try
    {
        const auto kept = ChordSequence::fromStateFile (keptFile);
        StartingGrid grid;
        grid.chunk = StartingState::compose (kept, given.settings).getChunk();
        grid.origin = "the kept grid " + keptFile.getFullPathName();
        grid.action = given.settings.any() ? KeptFileAction::replace : KeptFileAction::keep;

        if (playerTakes (grid.chunk))
            return grid;

        auto bad = empty (given.settings, KeptFileAction::setAsideAsBad);
        bad.problem = keptFile.getFullPathName() + " holds no grid the player takes";
        return bad;
    }
    catch (const InputError& error)
    {
        auto bad = empty (given.settings, KeptFileAction::setAsideAsBad);
        bad.problem = error.what();
        return bad;
    }
}

StartingGrid StartingGrid::empty (const SettingsOptions& settings, KeptFileAction action)
{
    StartingGrid grid;
    StateChunk::write (GridState (freshColumns, notesPerChord), settings.applyTo (PlayerSettings()), grid.chunk);
    grid.origin = "a new grid";
    grid.action = action;
    return grid;
}

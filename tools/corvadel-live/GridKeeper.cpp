#include "GridKeeper.h"

#include "engine/Corvadel.h"
#include "engine/StateChunk.h"

#include <iostream>

GridKeeper::GridKeeper (Corvadel& filterToKeep, KeptGridFile& keptFile) : filter (filterToKeep), file (keptFile)
{
}

GridKeeper::~GridKeeper()
{
    stopTimer();
}

void GridKeeper::markWritten()
{
    writtenGrid = filter.getPlayer().getSequence();
    writtenSettings = filter.getPlayer().getSettings();
}

void GridKeeper::startWatching()
{
    startTimerHz (looksPerSecond);
}

void GridKeeper::timerCallback()
{
    saveIfChanged();
}

bool GridKeeper::saveIfChanged()
{
    auto& player = filter.getPlayer();
    auto grid = player.getSequence();
    const auto settings = player.getSettings();

    if (grid == nullptr || (grid == writtenGrid && settings == writtenSettings))
        return grid != nullptr;

    // The bytes the plug-in saves: the grid, and the settings block when they differ from the
    // defaults.
    juce::MemoryBlock state;
    StateChunk::write (*grid, settings, state);
    juce::String problem;

    if (! file.write (state, problem))
    {
        if (! failing)
            std::cerr << "corvadel-live: " << problem << "; trying again while the grid plays on" << std::endl;

        failing = true;
        return false;
    }

    if (failing)
        std::cerr << "corvadel-live: the grid is saved again in " << file.getFile().getFullPathName() << std::endl;

    failing = false;
    writtenGrid = std::move (grid);
    writtenSettings = settings;
    return true;
}

#pragma once

#include "KeptGridFile.h"

#include "engine/GridState.h"
#include "engine/PlayerSettings.h"

#include <juce_events/juce_events.h>

#include <memory>

class Corvadel;

// Keeps the kept grid file up to date with the player: a few times a second it looks whether the
// grid or the settings changed (an edit in the window publishes a new grid; a setting or a
// learnt trigger changes the settings) and writes the state when they did. A write that fails is
// reported once and tried again at the next look, and the grid plays on meanwhile.
//
// Threads: the message thread (its timer and every call); waits on the file system.
class GridKeeper : private juce::Timer
{
public:
    GridKeeper (Corvadel& filter, KeptGridFile& file);
    ~GridKeeper() override;

    // The file holds the grid as it is now: nothing to write until it changes.
    void markWritten();
    void startWatching();
    // Writes the state if it changed since the last write; whether the file holds it now.
    bool saveIfChanged();

    static constexpr int looksPerSecond = 4;

private:
    void timerCallback() override;

    Corvadel& filter;
    KeptGridFile& file;
    // Held, not just compared: a new grid can never reuse the address of one still held here.
    std::shared_ptr<const GridState> writtenGrid;
    PlayerSettings writtenSettings;
    bool failing = false;

    JUCE_DECLARE_NON_COPYABLE (GridKeeper)
};

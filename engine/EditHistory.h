#pragma once

#include "engine/GridState.h"
#include "engine/PlayPositionChange.h"
#include "engine/PlayerSettings.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

class SequencePlayer;

// The edits a player can take back and do again: the grid's (a cell, a velocity drag, a column
// added, inserted, deleted, moved, pasted) and the playing settings'. It belongs to the player,
// so it outlives any editor window; a restore of another state clears it.
//
// A grid step keeps only the columns the edit changed, before and after (the columns the grids
// on either side share are not kept twice): the edited grid and the one before it differ in one
// run of columns, found by comparing from both ends. Undoing puts the run from before back into
// the published grid and publishes the result as an edit, so it plays at once and is saved next.
// The steps hold at most maxBytes of columns and at most maxSteps steps; the oldest go first.
//
// Threads: recording, undoing and redoing from the message thread; clear from any non-audio
// thread (a host's restore). Each waits on the history's own lock, and undo and redo also on
// the player's block lock, briefly.
class EditHistory
{
public:
    static constexpr int maxSteps = 1000;
    static constexpr int64_t maxBytes = 64 * 1024 * 1024;

    // A grid edit as the editor describes it: its name in the menu ("delete column 7"), how it
    // moves the play position when done and when undone, and a key that merges the edits of one
    // gesture (a velocity drag publishes many) into one step (0: a step of its own). The columns
    // selected before and after it are selected again when it is undone or redone.
    struct GridEdit
    {
        juce::String name;
        PlayPositionChange done, undone;
        int64_t mergeKey = 0;
        juce::Range<int> selectedBefore, selectedAfter;
    };

    // The editor published after in place of before. Message thread.
    void recordGridEdit (const std::shared_ptr<const GridState>& before, const std::shared_ptr<const GridState>& after,
                         const GridEdit& edit);
    // The settings changed from before to after through the editor. Message thread.
    void recordSettingsChange (const PlayerSettings& before, const PlayerSettings& after);

    // Takes back the last step (does again the last undone), publishing it through player, and
    // gives the columns to select after it (a grid step's; left as it is for a settings step).
    // false when there was none, or when the grid published is not the one the history left
    // (published by someone else): then the history no longer applies and is cleared.
    bool undo (SequencePlayer& player, juce::Range<int>* selectAfter = nullptr);
    bool redo (SequencePlayer& player, juce::Range<int>* selectAfter = nullptr);

    // The name of the step undo (redo) would take, empty when none.
    juce::String getUndoName() const;
    juce::String getRedoName() const;
    int getNumUndoSteps() const;
    // The bytes of columns the steps hold.
    int64_t getBytesHeld() const;

    void clear();

    // "output channel", "transpose": what changed from one settings to the other.
    static juce::String describeSettingsChange (const PlayerSettings& before, const PlayerSettings& after);

private:
    struct Step
    {
        juce::String name;
        bool isGrid = true;
        // The columns from column index at that the edit replaced (removed) by others (added).
        int at = 0;
        std::shared_ptr<const GridState> removed, added;
        PlayPositionChange done, undone;
        juce::Range<int> selectedBefore, selectedAfter;
        PlayerSettings settingsBefore, settingsAfter;
        int64_t mergeKey = 0;

        int64_t bytes() const noexcept;
    };

    using Steps = std::deque<Step>;

    static Step gridStep (const GridState& before, const GridState& after);
    bool takeStep (SequencePlayer& player, Steps& from, Steps& to, bool forward, juce::Range<int>* selectAfter);
    bool applyGridStep (SequencePlayer& player, const Step& step, bool forward);
    static bool applySettingsStep (SequencePlayer& player, const Step& step, bool forward);
    bool mergeIntoLast (Step& step);
    void push (Step step);
    void keepWithinBounds();
    void clearLocked();

    mutable std::mutex lock;
    Steps undoSteps, redoSteps;
    int64_t bytesHeld = 0;
    // The grid the last recorded, undone or redone step left published.
    std::shared_ptr<const GridState> latest;
};

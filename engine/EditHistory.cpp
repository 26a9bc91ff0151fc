#include "engine/EditHistory.h"

#include "engine/SequencePlayer.h"

#include <algorithm>

namespace
{
    // The settings with every field that differs between from and to set as in to: the others
    // stay as they are now (a trigger learnt since keeps its controller).
    PlayerSettings withChangedFields (PlayerSettings now, const PlayerSettings& from, const PlayerSettings& to)
    {
        const auto take = [] (auto& field, const auto& before, const auto& after) { if (before != after) field = after; };
        take (now.nextController, from.nextController, to.nextController);
        take (now.previousController, from.previousController, to.previousController);
        take (now.resetController, from.resetController, to.resetController);
        take (now.jumpByProgramChange, from.jumpByProgramChange, to.jumpByProgramChange);
        take (now.endOfGrid, from.endOfGrid, to.endOfGrid);
        take (now.passThrough, from.passThrough, to.passThrough);
        take (now.outputChannel, from.outputChannel, to.outputChannel);
        take (now.transpose, from.transpose, to.transpose);
        return now.withOneControllerPerTrigger();
    }
}

int64_t EditHistory::Step::bytes() const noexcept
{
    return (removed != nullptr ? removed->getMemorySize() : 0) + (added != nullptr ? added->getMemorySize() : 0);
}

EditHistory::Step EditHistory::gridStep (const GridState& before, const GridState& after)
{
    Step step;
    const int numBefore = before.getNumColumns();
    const int numAfter = after.getNumColumns();

    // A grid whose columns grew (an old state with short columns) differs everywhere.
    if (before.getCellsPerColumn() != after.getCellsPerColumn())
    {
        step.removed = std::make_shared<GridState> (before);
        step.added = std::make_shared<GridState> (after);
        return step;
    }

    int same = 0;
    while (same < std::min (numBefore, numAfter) && before.columnEquals (same, after, same))
        ++same;

    int sameAtEnd = 0;
    while (sameAtEnd < std::min (numBefore, numAfter) - same
           && before.columnEquals (numBefore - 1 - sameAtEnd, after, numAfter - 1 - sameAtEnd))
        ++sameAtEnd;

    step.at = same;
    step.removed = before.columnsFrom (same, numBefore - same - sameAtEnd);
    step.added = after.columnsFrom (same, numAfter - same - sameAtEnd);
    return step;
}

void EditHistory::recordGridEdit (const std::shared_ptr<const GridState>& before,
                                  const std::shared_ptr<const GridState>& after, const GridEdit& edit)
{
    if (before == nullptr || after == nullptr)
        return;

    const std::lock_guard<std::mutex> sl (lock);

    // Someone else published in between (a first grid, a restore): older steps no longer apply.
    if (latest != nullptr && latest != before)
        clearLocked();

    latest = after;
    auto step = gridStep (*before, *after);

    if (step.removed->getNumColumns() == 0 && step.added->getNumColumns() == 0)
        return;

    step.name = edit.name;
    step.done = edit.done;
    step.undone = edit.undone;
    step.mergeKey = edit.mergeKey;
    step.selectedBefore = edit.selectedBefore;
    step.selectedAfter = edit.selectedAfter;

    if (! mergeIntoLast (step))
        push (std::move (step));
}

bool EditHistory::mergeIntoLast (Step& step)
{
    if (step.mergeKey == 0 || undoSteps.empty() || ! redoSteps.empty())
        return false;

    auto& last = undoSteps.back();

    if (! last.isGrid || last.mergeKey != step.mergeKey || last.at != step.at
        || last.added->getNumColumns() != step.removed->getNumColumns())
        return false;

    bytesHeld -= last.bytes();
    last.added = step.added;
    last.selectedAfter = step.selectedAfter;

    // A drag that came back to where it began leaves nothing to undo.
    if (gridStep (*last.removed, *last.added).removed->getNumColumns() == 0
        && last.removed->getNumColumns() == last.added->getNumColumns())
    {
        undoSteps.pop_back();
        return true;
    }

    bytesHeld += last.bytes();
    return true;
}

void EditHistory::recordSettingsChange (const PlayerSettings& before, const PlayerSettings& after)
{
    if (before == after)
        return;

    Step step;
    step.isGrid = false;
    step.name = "change " + describeSettingsChange (before, after);
    step.settingsBefore = before;
    step.settingsAfter = after;

    const std::lock_guard<std::mutex> sl (lock);
    push (std::move (step));
}

void EditHistory::push (Step step)
{
    for (const auto& undone : redoSteps)
        bytesHeld -= undone.bytes();

    redoSteps.clear();
    bytesHeld += step.bytes();
    undoSteps.push_back (std::move (step));
    keepWithinBounds();
}

void EditHistory::keepWithinBounds()
{
    while (! undoSteps.empty() && (bytesHeld > maxBytes || (int) undoSteps.size() > maxSteps))
    {
        bytesHeld -= undoSteps.front().bytes();
        undoSteps.pop_front();
    }
}

bool EditHistory::undo (SequencePlayer& player, juce::Range<int>* selectAfter)
{
    const std::lock_guard<std::mutex> sl (lock);
    return takeStep (player, undoSteps, redoSteps, false, selectAfter);
}

bool EditHistory::redo (SequencePlayer& player, juce::Range<int>* selectAfter)
{
    const std::lock_guard<std::mutex> sl (lock);
    return takeStep (player, redoSteps, undoSteps, true, selectAfter);
}

bool EditHistory::takeStep (SequencePlayer& player, Steps& from, Steps& to, bool forward, juce::Range<int>* selectAfter)
{
    if (from.empty())
        return false;

    const auto& step = from.back();
    const bool taken = step.isGrid ? applyGridStep (player, step, forward) : applySettingsStep (player, step, forward);

    if (! taken)
    {
        clearLocked();
        return false;
    }

    if (selectAfter != nullptr && step.isGrid)
        *selectAfter = forward ? step.selectedAfter : step.selectedBefore;

    to.push_back (std::move (from.back()));
    from.pop_back();
    return true;
}

bool EditHistory::applyGridStep (SequencePlayer& player, const Step& step, bool forward)
{
    const auto current = player.getSequence();

    if (current == nullptr || current != latest)
        return false;

    const auto& replaced = forward ? step.removed : step.added;
    const auto& replacement = forward ? step.added : step.removed;
    std::shared_ptr<const GridState> result = current->withColumnsReplaced (step.at, replaced->getNumColumns(), *replacement);

    if (! player.publishEdit (current, result, forward ? step.done : step.undone))
        return false;

    latest = std::move (result);
    return true;
}

bool EditHistory::applySettingsStep (SequencePlayer& player, const Step& step, bool forward)
{
    const auto& from = forward ? step.settingsBefore : step.settingsAfter;
    const auto& to = forward ? step.settingsAfter : step.settingsBefore;

    player.changeSettings ([&] (PlayerSettings& settings) { settings = withChangedFields (settings, from, to); return true; });
    return true;
}

juce::String EditHistory::getUndoName() const
{
    const std::lock_guard<std::mutex> sl (lock);
    return undoSteps.empty() ? juce::String() : undoSteps.back().name;
}

juce::String EditHistory::getRedoName() const
{
    const std::lock_guard<std::mutex> sl (lock);
    return redoSteps.empty() ? juce::String() : redoSteps.back().name;
}

int EditHistory::getNumUndoSteps() const
{
    const std::lock_guard<std::mutex> sl (lock);
    return (int) undoSteps.size();
}

int64_t EditHistory::getBytesHeld() const
{
    const std::lock_guard<std::mutex> sl (lock);
    return bytesHeld;
}

void EditHistory::clear()
{
    const std::lock_guard<std::mutex> sl (lock);
    clearLocked();
}

void EditHistory::clearLocked()
{
    undoSteps.clear();
    redoSteps.clear();
    bytesHeld = 0;
    latest = nullptr;
}

juce::String EditHistory::describeSettingsChange (const PlayerSettings& before, const PlayerSettings& after)
{
    juce::StringArray changed;
    const auto note = [&changed] (bool differs, const char* name) { if (differs) changed.add (name); };
    note (before.nextController != after.nextController, "next trigger");
    note (before.previousController != after.previousController, "previous trigger");
    note (before.resetController != after.resetController, "reset trigger");
    note (before.jumpByProgramChange != after.jumpByProgramChange, "jump by program change");
    note (before.endOfGrid != after.endOfGrid, "end of the grid");
    note (before.passThrough != after.passThrough, "pass through");
    note (before.outputChannel != after.outputChannel, "output channel");
    note (before.transpose != after.transpose, "transpose");
    return changed.joinIntoString (", ");
}

#pragma once

#include "engine/SequencePlayer.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The player's settings as a menu: each shows its current value (ticked, and in its item's
// text), and choosing an item changes that setting at once. A trigger can be learnt: the next
// controller that moves becomes it. Message thread.
class PlayerSettingsMenu
{
public:
    // Every id of this menu lies in [firstItem, lastItem].
    static constexpr int firstItem = 3000;
    static constexpr int lastItem = 6999;

    static juce::PopupMenu create (const SequencePlayer& player);
    // Whether the id is one of this menu's; if so, does what it says to the player's settings.
    static bool perform (SequencePlayer& player, int itemId);

    // Ids, for tests and for the grid's menu.
    static int controllerItem (SequencePlayer::Trigger trigger, int controller);
    static int noControllerItem (SequencePlayer::Trigger trigger);
    static int learnItem (SequencePlayer::Trigger trigger);
    static constexpr int jumpItem = 6000;
    static int endOfGridItem (PlayerSettings::EndOfGrid end) { return 6100 + (int) end; }
    static int passThroughItem (bool passThrough) { return 6200 + (passThrough ? 1 : 0); }
    static int channelItem (int channel) { return 6300 + channel; }
    static int transposeItem (int semitones) { return 6400 + semitones + PlayerSettings::maxTranspose; }
    static constexpr int stopLearningItem = 6500;

    // "64 (Sustain)", "none".
    static juce::String describeController (int controller);

private:
    static bool changeSetting (SequencePlayer& player, int itemId);
    static juce::PopupMenu triggerMenu (const PlayerSettings& settings, SequencePlayer::Trigger trigger, bool learning);
    static int triggerBase (SequencePlayer::Trigger trigger);
};

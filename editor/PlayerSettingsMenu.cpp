#include "editor/PlayerSettingsMenu.h"

namespace
{
using Trigger = SequencePlayer::Trigger;
using EndOfGrid = PlayerSettings::EndOfGrid;

constexpr int noControllerOffset = 500;
constexpr int learnOffset = 600;
constexpr int controllersPerSubmenu = 32;

const char* triggerName (Trigger trigger)
{
    switch (trigger)
    {
        case Trigger::next:     return "Next";
        case Trigger::previous: return "Previous";
        case Trigger::reset:    return "Reset";
        case Trigger::none:     break;
    }

    return "";
}

const char* endOfGridName (EndOfGrid end)
{
    switch (end)
    {
        case EndOfGrid::stop: return "stop";
        case EndOfGrid::hold: return "hold the last chord";
        case EndOfGrid::wrap: break;
    }

    return "wrap to the first column";
}

juce::String signedSemitones (int semitones)
{
    return (semitones > 0 ? "+" : "") + juce::String (semitones);
}
}

int PlayerSettingsMenu::triggerBase (Trigger trigger)
{
    switch (trigger)
    {
        case Trigger::previous: return 4000;
        case Trigger::reset:    return 5000;
        case Trigger::next:
        case Trigger::none:     break;
    }

    return 3000;
}

int PlayerSettingsMenu::controllerItem (Trigger trigger, int controller) { return triggerBase (trigger) + controller; }
int PlayerSettingsMenu::noControllerItem (Trigger trigger)               { return triggerBase (trigger) + noControllerOffset; }
int PlayerSettingsMenu::learnItem (Trigger trigger)                      { return triggerBase (trigger) + learnOffset; }

juce::String PlayerSettingsMenu::describeController (int controller)
{
    if (controller == PlayerSettings::noController)
        return "none";

    // The framework's names end in "(on/off)" for the switches, which would nest in ours.
    const char* name = juce::MidiMessage::getControllerName (controller);
    const auto plainName = juce::String (name != nullptr ? name : "").upToFirstOccurrenceOf (" (", false, false);
    return juce::String (controller) + (plainName.isNotEmpty() ? " (" + plainName + ")" : juce::String());
}

juce::PopupMenu PlayerSettingsMenu::triggerMenu (const PlayerSettings& settings, Trigger trigger, bool learning)
{
    juce::PopupMenu menu;
    const int current = settings.controllerOf (trigger);

    menu.addItem (learnItem (trigger), learning ? "Learning: move a controller..." : "Learn: move a controller",
                  ! learning, learning);

    if (trigger != Trigger::next)
        menu.addItem (noControllerItem (trigger), "None", true, current == PlayerSettings::noController);

    menu.addSeparator();

    for (int first = 0; first <= PlayerSettings::maxTriggerController; first += controllersPerSubmenu)
    {
        juce::PopupMenu range;
        const int last = std::min (first + controllersPerSubmenu - 1, PlayerSettings::maxTriggerController);

        for (int c = first; c <= last; ++c)
        {
            // The controller that steps forward cannot also step back or go to the top.
            const bool usable = trigger == Trigger::next || c != settings.nextController;
            range.addItem (controllerItem (trigger, c), describeController (c), usable, c == current);
        }

        menu.addSubMenu ("Controllers " + juce::String (first) + " to " + juce::String (last), range, true, nullptr,
                         current >= first && current <= last);
    }

    return menu;
}

juce::PopupMenu PlayerSettingsMenu::create (const SequencePlayer& player)
{
    const auto settings = player.getSettings();
    const auto learning = player.getTriggerBeingLearnt();
    juce::PopupMenu menu;

    for (auto trigger : { Trigger::next, Trigger::previous, Trigger::reset })
        menu.addSubMenu (juce::String (triggerName (trigger)) + " trigger: " + describeController (settings.controllerOf (trigger)),
                         triggerMenu (settings, trigger, learning == trigger));

    if (learning != Trigger::none)
        menu.addItem (stopLearningItem, "Stop learning");

    menu.addItem (jumpItem, "Program change n jumps to column n", true, settings.jumpByProgramChange);

    juce::PopupMenu ends;
    for (auto end : { EndOfGrid::wrap, EndOfGrid::stop, EndOfGrid::hold })
        ends.addItem (endOfGridItem (end), endOfGridName (end), true, settings.endOfGrid == end);
    menu.addSubMenu (juce::String ("At the end of the grid: ") + endOfGridName (settings.endOfGrid), ends);

    juce::PopupMenu others;
    others.addItem (passThroughItem (false), "Swallowed", true, ! settings.passThrough);
    others.addItem (passThroughItem (true), "Passed through", true, settings.passThrough);
    menu.addSubMenu (juce::String ("Other incoming MIDI: ") + (settings.passThrough ? "passed through" : "swallowed"), others);

    juce::PopupMenu channels;
    for (int channel = 1; channel <= 16; ++channel)
        channels.addItem (channelItem (channel), juce::String (channel), true, settings.outputChannel == channel);
    menu.addSubMenu ("Output channel: " + juce::String (settings.outputChannel), channels);

    juce::PopupMenu transpose;
    for (int semitones = -PlayerSettings::maxTranspose; semitones <= PlayerSettings::maxTranspose; ++semitones)
        transpose.addItem (transposeItem (semitones), signedSemitones (semitones), true, settings.transpose == semitones);
    menu.addSubMenu ("Transpose: " + signedSemitones (settings.transpose), transpose);

    return menu;
}

bool PlayerSettingsMenu::perform (SequencePlayer& player, int itemId)
{
    if (itemId < firstItem || itemId > lastItem)
        return false;

    // A change the menu makes is a step the player can undo; a trigger learnt later is not.
    const auto before = player.getSettings();
    const bool known = changeSetting (player, itemId);

    if (known)
        player.getHistory().recordSettingsChange (before, player.getSettings());

    return known;
}

bool PlayerSettingsMenu::changeSetting (SequencePlayer& player, int itemId)
{

    for (auto trigger : { Trigger::next, Trigger::previous, Trigger::reset })
    {
        const int offset = itemId - triggerBase (trigger);

        if (offset < 0 || offset >= 1000)
            continue;

        if (offset == learnOffset)
            player.learnTrigger (trigger);
        else
            player.assignTrigger (trigger, offset == noControllerOffset ? PlayerSettings::noController : offset);

        return true;
    }

    // Only the setting chosen changes, over whatever the others are now.
    const auto change = [&player] (auto&& changeOne) { player.changeSettings ([&] (PlayerSettings& s) { changeOne (s); return true; }); };

    if (itemId == stopLearningItem)
        player.learnTrigger (Trigger::none);
    else if (itemId == jumpItem)
        change ([] (auto& s) { s.jumpByProgramChange = ! s.jumpByProgramChange; });
    else if (itemId >= endOfGridItem (EndOfGrid::wrap) && itemId <= endOfGridItem (EndOfGrid::hold))
        change ([=] (auto& s) { s.endOfGrid = (EndOfGrid) (itemId - endOfGridItem (EndOfGrid::wrap)); });
    else if (itemId == passThroughItem (false) || itemId == passThroughItem (true))
        change ([=] (auto& s) { s.passThrough = itemId == passThroughItem (true); });
    else if (itemId >= channelItem (1) && itemId <= channelItem (16))
        change ([=] (auto& s) { s.outputChannel = itemId - channelItem (0); });
    else if (itemId >= transposeItem (-PlayerSettings::maxTranspose) && itemId <= transposeItem (PlayerSettings::maxTranspose))
        change ([=] (auto& s) { s.transpose = itemId - transposeItem (0); });
    else
        return false;

    return true;
}

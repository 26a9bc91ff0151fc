#include "SettingsOptions.h"

#include "UsageError.h"

#include <charconv>
#include <sstream>
#include <tuple>

namespace
{
using EndOfGrid = PlayerSettings::EndOfGrid;

const char* const noneWord = "none";

const std::pair<EndOfGrid, const char*> endOfGridWords[] { { EndOfGrid::wrap, "wrap" },
                                                           { EndOfGrid::stop, "stop" },
                                                           { EndOfGrid::hold, "hold" } };

const char* wordFor (EndOfGrid end)
{
    for (const auto& [value, word] : endOfGridWords)
        if (value == end)
            return word;

    return "?";
}

// A whole decimal number within [low, high], written plainly: digits, with a leading '-' (or a
// '+' where the sign matters to the reader), and nothing else.
std::optional<int> integerWithin (const std::string& value, int low, int high, bool plusAllowed)
{
    const bool plus = plusAllowed && value.size() > 1 && value[0] == '+' && value[1] != '-';
    const auto* begin = value.data() + (plus ? 1 : 0);
    const auto* end = value.data() + value.size();
    int number = 0;
    const auto [stop, error] = std::from_chars (begin, end, number);

    if (begin == end || error != std::errc() || stop != end || number < low || number > high)
        return std::nullopt;

    return number;
}

std::string signedText (int number)
{
    return (number > 0 ? "+" : "") + std::to_string (number);
}

UsageError badValue (const std::string& option, const std::string& wanted, const std::string& value)
{
    return UsageError (option + " needs " + wanted + ", not '" + value + "'");
}
}

bool SettingsOptions::isSwitch (const std::string& option)
{
    return option == "--jump-by-program" || option == "--no-jump-by-program" || option == "--pass-through"
        || option == "--no-pass-through";
}

bool SettingsOptions::takesValue (const std::string& option)
{
    return option == "--next-cc" || option == "--previous-cc" || option == "--reset-cc" || option == "--at-end"
        || option == "--channel" || option == "--transpose";
}

void SettingsOptions::setSwitch (const std::string& option)
{
    if (option == "--jump-by-program" || option == "--no-jump-by-program")
        jumpByProgramChange = option == "--jump-by-program";
    else if (option == "--pass-through" || option == "--no-pass-through")
        passThrough = option == "--pass-through";
}

void SettingsOptions::set (const std::string& option, const std::string& value)
{
    const auto number = [&] (int low, int high, bool plusAllowed, const std::string& wanted) {
        if (const auto n = integerWithin (value, low, high, plusAllowed))
            return *n;

        throw badValue (option, wanted, value);
    };
    const auto controller = [&] (bool noneAllowed) {
        if (noneAllowed && value == noneWord)
            return PlayerSettings::noController;

        return number (0, PlayerSettings::maxTriggerController, false,
                       "a controller number from 0 to " + std::to_string (PlayerSettings::maxTriggerController)
                           + (noneAllowed ? " or none" : ""));
    };

    if (option == "--next-cc")
        nextController = controller (false);
    else if (option == "--previous-cc")
        previousController = controller (true);
    else if (option == "--reset-cc")
        resetController = controller (true);
    else if (option == "--channel")
        outputChannel = number (1, 16, false, "a MIDI channel from 1 to 16");
    else if (option == "--transpose")
        transpose = number (-PlayerSettings::maxTranspose, PlayerSettings::maxTranspose, true,
                            "a number of semitones from -24 to +24");
    else if (option == "--at-end")
        endOfGrid = endOfGridFrom (value);
}

PlayerSettings::EndOfGrid SettingsOptions::endOfGridFrom (const std::string& value)
{
    for (const auto& [end, word] : endOfGridWords)
        if (value == word)
            return end;

    throw badValue ("--at-end", "wrap, stop or hold", value);
}

bool SettingsOptions::any() const noexcept
{
    return nextController || previousController || resetController || jumpByProgramChange || passThrough || endOfGrid
        || outputChannel || transpose;
}

PlayerSettings SettingsOptions::applyTo (PlayerSettings settings) const
{
    checkTriggersDiffer();
    applyTriggersTo (settings);
    settings.jumpByProgramChange = jumpByProgramChange.value_or (settings.jumpByProgramChange);
    settings.passThrough = passThrough.value_or (settings.passThrough);
    settings.endOfGrid = endOfGrid.value_or (settings.endOfGrid);
    settings.outputChannel = outputChannel.value_or (settings.outputChannel);
    settings.transpose = transpose.value_or (settings.transpose);
    return settings;
}

void SettingsOptions::checkTriggersDiffer() const
{
    const std::pair<const char*, const std::optional<int>&> given[] { { "--next-cc", nextController },
                                                                      { "--previous-cc", previousController },
                                                                      { "--reset-cc", resetController } };

    for (auto a = std::begin (given); a != std::end (given); ++a)
        for (auto b = a + 1; b != std::end (given); ++b)
            if (a->second && a->second == b->second && *a->second != PlayerSettings::noController)
                throw UsageError (std::string (a->first) + " and " + b->first + " both name controller "
                                  + std::to_string (*a->second) + ": one controller is one trigger");
}

void SettingsOptions::applyTriggersTo (PlayerSettings& settings) const
{
    using Trigger = PlayerSettings::Trigger;
    const std::tuple<const char*, const std::optional<int>&, Trigger> triggers[] {
        { "--next-cc", nextController, Trigger::next },
        { "--previous-cc", previousController, Trigger::previous },
        { "--reset-cc", resetController, Trigger::reset } };

    // The engine's rule, as the editor's menu follows it: a trigger the command line leaves alone
    // gives up the controller it gives to another. The next trigger goes first, so the others
    // are checked against the controller it ends with.
    for (const auto& [option, given, trigger] : triggers)
    {
        if (given && ! settings.assignTrigger (trigger, *given))
            throw UsageError (std::string (option) + " " + std::to_string (*given)
                              + " names the controller that steps forward: one controller is one trigger "
                                "(--next-cc gives the next trigger another)");
    }
}

std::string SettingsOptions::describe (const PlayerSettings& settings)
{
    const PlayerSettings defaults;
    std::string text;
    const auto add = [&text] (const std::string& words) { text += (text.empty() ? "" : " ") + words; };

    if (settings.nextController != defaults.nextController)
        add ("--next-cc " + std::to_string (settings.nextController));

    if (settings.previousController != PlayerSettings::noController)
        add ("--previous-cc " + std::to_string (settings.previousController));

    if (settings.resetController != PlayerSettings::noController)
        add ("--reset-cc " + std::to_string (settings.resetController));

    if (settings.jumpByProgramChange)
        add ("--jump-by-program");

    if (settings.endOfGrid != defaults.endOfGrid)
        add (std::string ("--at-end ") + wordFor (settings.endOfGrid));

    if (settings.passThrough)
        add ("--pass-through");

    if (settings.outputChannel != defaults.outputChannel)
        add ("--channel " + std::to_string (settings.outputChannel));

    if (settings.transpose != defaults.transpose)
        add ("--transpose " + signedText (settings.transpose));

    return text;
}

std::string SettingsOptions::usage()
{
    std::ostringstream text;
    text << "Playing settings (each replaces that setting of the --state file; otherwise the default):\n"
         << "  --next-cc N          the controller that steps forward, 0 to 119 (default 64, the\n"
         << "                       sustain pedal); a --pedal file must press it\n"
         << "  --previous-cc N|none the controller that steps back one column (default none)\n"
         << "  --reset-cc N|none    the controller that ends the chord and makes the next press play\n"
         << "                       the first column (default none)\n"
         << "  --jump-by-program    program change n makes column n (from 0) the next to play\n"
         << "  --at-end wrap|stop|hold\n"
         << "                       after the last column: the first again, silence until previous,\n"
         << "                       reset or a jump, or the last chord held (default wrap)\n"
         << "  --pass-through       the --pedal file's other messages come out as they went in\n"
         << "  --no-jump-by-program, --no-pass-through\n"
         << "                       switch a state file's setting off\n"
         << "  --channel N          the chords' MIDI channel, 1 to 16 (default 1)\n"
         << "  --transpose N        semitones, -24 to +24 (default 0); a note pushed outside 0 to 127\n"
         << "                       is not played\n"
         << "A controller given to one trigger is taken from the --state file's trigger that had it.\n";
    return text.str();
}

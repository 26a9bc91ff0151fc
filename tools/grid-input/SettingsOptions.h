#pragma once

#include "engine/PlayerSettings.h"

#include <optional>
#include <string>

// The playing settings given on the command line (--next-cc, --at-end, --transpose, ...). Each
// one given replaces that setting; the others keep the values of the state they are applied to
// (a state file's settings block, or the defaults).
class SettingsOptions
{
public:
    // Whether option is one of the settings' switches, which take no value (--pass-through, ...).
    static bool isSwitch (const std::string& option);
    // Whether option is one of the settings' options that take a value (--next-cc N, ...).
    static bool takesValue (const std::string& option);

    // Main thread. Records a switch, or an option with its value. Throws UsageError for a value
    // out of the setting's range or not plainly written (a decimal number, "none", "wrap", ...).
    void setSwitch (const std::string& option);
    void set (const std::string& option, const std::string& value);

    // Whether any setting was given.
    bool any() const noexcept;

    // The settings of base with the given ones in their place. A controller given to one trigger
    // is taken from the trigger that had it, as the editor's "Learn" takes it, except from the
    // next trigger, which always has one. Throws UsageError when two options name one controller,
    // or an option names the controller that base's next trigger keeps.
    PlayerSettings applyTo (PlayerSettings base) const;

    // The options that give these settings, from defaults: "--previous-cc 67 --transpose +5";
    // empty for the defaults.
    static std::string describe (const PlayerSettings& settings);

    // The options' lines of the help text.
    static std::string usage();

private:
    static PlayerSettings::EndOfGrid endOfGridFrom (const std::string& value);
    // Throws UsageError when two options name one controller.
    void checkTriggersDiffer() const;
    // Throws UsageError when an option names the controller that settings' next trigger keeps.
    void applyTriggersTo (PlayerSettings& settings) const;

    std::optional<int> nextController, previousController, resetController;
    std::optional<bool> jumpByProgramChange, passThrough;
    std::optional<PlayerSettings::EndOfGrid> endOfGrid;
    std::optional<int> outputChannel, transpose;
};

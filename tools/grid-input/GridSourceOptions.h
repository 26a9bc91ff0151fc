#pragma once

#include "ChordSequence.h"
#include "SettingsOptions.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <string>

// The grid as a command line gives it: at most one source of chords (--chords FILE.mid,
// --state FILE, --chart TEXT-or-FILE) and the playing-setting options. Relative paths are taken
// from the current folder. Main thread only.
class GridSourceOptions
{
public:
    // Whether option is one of the settings' switches, which take no value (--pass-through, ...).
    static bool isSwitch (const std::string& option);
    // Whether option is a source or a setting that takes a value.
    static bool takesValue (const std::string& option);

    void setSwitch (const std::string& option);
    // Throws UsageError for an empty file name or chart, or a setting's value out of its range.
    void set (const std::string& option, const std::string& value);

    // Throws UsageError when more than one source is given or, without a state file (whose
    // settings are only known once it is read), when two triggers name one controller.
    void check() const;

    bool givesChords() const noexcept { return chordsFile || stateFile || chart; }
    // The chords of the source given, or the demo when none is. Throws InputError as
    // ChordSequence's readers do.
    ChordSequence loadChords() const;

    // A file named on the command line. Throws UsageError for an empty name.
    static juce::File fileFromArgument (const std::string& option, const std::string& value);

    std::optional<juce::File> chordsFile;
    std::optional<juce::File> stateFile;
    // A chord chart: the file it names when one exists there, otherwise the text itself.
    std::optional<std::string> chart;
    SettingsOptions settings;
};

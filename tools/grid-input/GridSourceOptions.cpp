#include "GridSourceOptions.h"

#include "UsageError.h"

bool GridSourceOptions::isSwitch (const std::string& option)
{
    return SettingsOptions::isSwitch (option);
}

bool GridSourceOptions::takesValue (const std::string& option)
{
    return option == "--chords" || option == "--state" || option == "--chart" || SettingsOptions::takesValue (option);
}

void GridSourceOptions::setSwitch (const std::string& option)
{
    settings.setSwitch (option);
}

void GridSourceOptions::set (const std::string& option, const std::string& value)
{
    if (option == "--chords")
        chordsFile = fileFromArgument (option, value);
    else if (option == "--state")
        stateFile = fileFromArgument (option, value);
    else if (option == "--chart")
    {
        if (juce::String (value).trim().isEmpty())
            throw UsageError ("--chart needs a chart or the name of a file holding one");

        chart = value;
    }
    else
        settings.set (option, value);
}

void GridSourceOptions::check() const
{
    if ((chordsFile ? 1 : 0) + (stateFile ? 1 : 0) + (chart ? 1 : 0) > 1)
        throw UsageError ("--chords, --state and --chart each give the chord sequence: choose one");

    // Without a state file the settings go over the defaults, so two triggers on one controller
    // are known now, before any file is read.
    if (! stateFile)
        settings.applyTo (PlayerSettings());
}

ChordSequence GridSourceOptions::loadChords() const
{
    if (chordsFile)
        return ChordSequence::fromMidiFile (*chordsFile);

    if (stateFile)
        return ChordSequence::fromStateFile (*stateFile);

    if (chart)
        return ChordSequence::fromChart (*chart);

    return ChordSequence::demo();
}

juce::File GridSourceOptions::fileFromArgument (const std::string& option, const std::string& value)
{
    if (value.empty())
        throw UsageError (option + " needs a file name");

    return juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (value));
}

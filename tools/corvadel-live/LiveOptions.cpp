#include "LiveOptions.h"

#include "UsageError.h"

#include <cstdlib>
#include <sstream>

LiveOptions LiveOptions::parse (const std::vector<std::string>& arguments)
{
    LiveOptions options;
    options.gridFile = defaultGridFile();

    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const auto& option = arguments[i];

        if (option == "--help" || option == "-h")
            options.helpRequested = true;
        else if (option == "--no-window")
            options.showWindow = false;
        else if (GridSourceOptions::isSwitch (option))
            options.grid.setSwitch (option);
        else if (option == "--grid" || option == "--connect-in" || option == "--connect-out"
                 || GridSourceOptions::takesValue (option))
        {
            if (i + 1 >= arguments.size())
                throw UsageError (option + " needs a value");

            const auto& value = arguments[++i];

            if (option == "--grid")
                options.gridFile = GridSourceOptions::fileFromArgument (option, value);
            else if (option != "--connect-in" && option != "--connect-out")
                options.grid.set (option, value);
            else if (value.empty())
                throw UsageError (option + " needs a part of a port's name");
            else
                (option == "--connect-in" ? options.connectIn : options.connectOut).push_back (value);
        }
        else if (option.rfind ("-", 0) != 0)
            throw UsageError ("unexpected argument " + option + " (files are given with their options)");
        else
            throw UsageError ("unknown option " + option);
    }

    options.grid.check();
    return options;
}

juce::File LiveOptions::defaultGridFile()
{
    const char* configHome = std::getenv ("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid by the XDG base directory rules, and ignored.
    const juce::String configFolder = configHome != nullptr && configHome[0] == '/'
                                          ? juce::String (configHome)
                                          : juce::File::getSpecialLocation (juce::File::userHomeDirectory)
                                                .getChildFile (".config").getFullPathName();
    return juce::File (configFolder).getChildFile ("corvadel").getChildFile ("live.state");
}

std::string LiveOptions::synopsis()
{
    return "usage: corvadel-live [--chords FILE.mid | --state FILE | --chart TEXT-or-FILE] [--grid FILE] "
           "[--no-window] [--connect-in PATTERN]... [--connect-out PATTERN]... [--next-cc N] "
           "[--previous-cc N|none] [--reset-cc N|none] [--jump-by-program] [--at-end wrap|stop|hold] "
           "[--pass-through] [--channel N] [--transpose N] [--help]";
}

std::string LiveOptions::usage()
{
    std::ostringstream text;
    text << synopsis() << "\n\n"
         << "Plays the Corvadel chord stepper as a JACK MIDI client named 'corvadel', with no host:\n"
         << "each press of the sustain pedal (or the --next-cc controller) on midi_in ends the sounding\n"
         << "chord and starts the next one on midi_out, at the press's frame. The grid shows in a window\n"
         << "of its own; every edit plays at once and is kept for the next run. Ends cleanly on Ctrl-C,\n"
         << "SIGTERM or when the window closes: the sounding chord ends and the grid is saved.\n\n"
         << "  --chords FILE.mid    the grid from a MIDI file's chords (notes starting together)\n"
         << "  --state FILE         the grid from a saved plug-in state\n"
         << "  --chart TEXT-or-FILE the grid from a chord chart, such as 'C Am7 | F/A G7'\n"
         << "                       (a grid given here replaces the kept one, which is kept as .prev)\n"
         << "  --grid FILE          where the grid is kept (default " << defaultGridFile().getFullPathName() << ")\n"
         << "  --no-window          run without a window (a board with no screen)\n"
         << "  --connect-in PATTERN connect midi_in from every MIDI output port whose name contains\n"
         << "                       PATTERN, now and whenever one appears (repeatable)\n"
         << "  --connect-out PATTERN\n"
         << "                       connect midi_out to every MIDI input port whose name contains\n"
         << "                       PATTERN, now and whenever one appears (repeatable)\n"
         << "  --help               show this text\n\n"
         << SettingsOptions::usage() << "\n"
         << "Exit codes: 0 ended cleanly, 1 no JACK server, the server went away or unusable input,\n"
         << "2 wrong command line.\n";
    return text.str();
}

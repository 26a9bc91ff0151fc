#include "PlayOptions.h"

#include "UsageError.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <sstream>

namespace
{
const char* const defaultOutputName = "corvadel-out.mid";

bool takesValue (const std::string& option)
{
    return option == "--plugin" || option == "--pedal" || option == "--bpm" || option == "--out"
        || option == "--save-state" || option == "--editor-png" || option == "--export-chords";
}

juce::File fileFromArgument (const std::string& option, const std::string& value)
{
    return GridSourceOptions::fileFromArgument (option, value);
}
}

PlayOptions PlayOptions::parse (const std::vector<std::string>& arguments)
{
    PlayOptions options;
    options.pluginFile = defaultPluginFile();
    options.outputFile = juce::File::getCurrentWorkingDirectory().getChildFile (defaultOutputName);

    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const auto& option = arguments[i];

        if (option == "--help" || option == "-h")
        {
            options.helpRequested = true;
            continue;
        }

        if (option == "--print-chart")
        {
            options.printChart = true;
            continue;
        }

        if (GridSourceOptions::isSwitch (option))
        {
            options.grid.setSwitch (option);
            continue;
        }

        if (option.rfind ("-", 0) != 0)
            throw UsageError ("unexpected argument " + option + " (files are given with their options)");

        if (! takesValue (option) && ! GridSourceOptions::takesValue (option))
            throw UsageError ("unknown option " + option);

        if (i + 1 >= arguments.size())
            throw UsageError (option + " needs a value");

        const auto& value = arguments[++i];

        if (option == "--bpm")
            options.bpm = bpmFromArgument (value);
        else if (option == "--plugin")
            options.pluginFile = fileFromArgument (option, value);
        else if (option == "--pedal")
            options.pedalFile = fileFromArgument (option, value);
        else if (option == "--out")
            options.outputFile = fileFromArgument (option, value);
        else if (option == "--save-state")
            options.saveStateFile = fileFromArgument (option, value);
        else if (option == "--editor-png")
            options.editorPngFile = fileFromArgument (option, value);
        else if (option == "--export-chords")
            options.exportChordsFile = fileFromArgument (option, value);
        else
            options.grid.set (option, value);
    }

    options.grid.check();
    return options;
}

double PlayOptions::bpmFromArgument (const std::string& value)
{
    // from_chars, not strtod: strtod would also take leading spaces, a '+' and hexadecimal.
    double bpm = 0.0;
    const auto* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars (value.data(), end, bpm, std::chars_format::general);

    if (value.empty() || error != std::errc() || stop != end || ! std::isfinite (bpm) || bpm < minBpm || bpm > maxBpm)
        throw UsageError ("--bpm needs a number of beats per minute from " + std::to_string ((int) minBpm) + " to "
                          + std::to_string ((int) maxBpm) + ", not '" + value + "'");

    return bpm;
}

juce::File PlayOptions::defaultPluginFile()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink ("/proc/self/exe", error);

    if (error)
        return juce::File::getCurrentWorkingDirectory().getChildFile ("Corvadel.so");

    return juce::File (executable.string()).getParentDirectory().getParentDirectory().getChildFile ("Corvadel.so");
}

std::string PlayOptions::synopsis()
{
    return "usage: corvadel-play [--plugin PATH] [--chords FILE.mid | --state FILE | --chart TEXT-or-FILE] "
           "[--pedal FILE.mid] [--bpm N] [--out FILE.mid] [--save-state FILE] [--editor-png FILE] "
           "[--export-chords FILE.mid] [--print-chart] [--next-cc N] [--previous-cc N|none] [--reset-cc N|none] "
           "[--jump-by-program] [--at-end wrap|stop|hold] [--pass-through] [--channel N] [--transpose N] [--help]";
}

std::string PlayOptions::usage()
{
    std::ostringstream text;
    text << synopsis() << "\n\n"
         << "Plays a chord sequence through the Corvadel plug-in as a host would: each sustain-pedal\n"
         << "press (or a press of the --next-cc controller) ends the sounding chord and starts the\n"
         << "next one. Writes the MIDI the plug-in sends back as a MIDI file and lists it, ending the\n"
         << "notes left sounding half a beat after the last press (or at the end of the --pedal file,\n"
         << "if later). A run plays at most an hour of music, and writes its files only once all of it\n"
         << "has succeeded. An output path that names a symbolic link writes the file it points to; a\n"
         << "FIFO or device is written directly (a FIFO must have a reader); a folder, a read-only file\n"
         << "or two outputs naming one file are refused.\n\n"
         << "  --plugin PATH        the plug-in to load (default: Corvadel.so in the build folder,\n"
         << "                       " << defaultPluginFile().getFullPathName() << ")\n"
         << "  --chords FILE.mid    the chords: notes starting together on any track or channel make\n"
         << "                       one chord, each note with its note-on velocity (default: a demo\n"
         << "                       progression of eight chords)\n"
         << "  --state FILE         a saved plug-in state, handed to the plug-in as it is (with the\n"
         << "                       playing settings given below in place of its own)\n"
         << "  --chart TEXT-or-FILE a chord chart: names separated by spaces and bar lines, such as\n"
         << "                       'C Am7 | F/A G7 | N.C.'; read from the file of that name when one\n"
         << "                       exists, otherwise taken as the chart itself. Each chord is voiced\n"
         << "                       with its bass in octave 3 and its notes in octave 4, velocity 100\n"
         << "  --pedal FILE.mid     the channel messages of this file (controllers, program changes,\n"
         << "                       notes, ...) at its tempo; it must press the next trigger (default:\n"
         << "                       one press a beat for each chord, released half a beat later)\n"
         << "  --bpm N              the tempo of the default presses, from " << (int) minBpm << " to " << (int) maxBpm
         << " (default 120)\n"
         << "  --out FILE.mid       where to write the plug-in's MIDI (default " << defaultOutputName << ")\n"
         << "  --save-state FILE    save the plug-in's state after the run\n"
         << "  --editor-png FILE    draw the plug-in's editor, as it stands at the end, into a PNG\n"
         << "  --export-chords FILE.mid\n"
         << "                       write the grid as a MIDI file of chords, one a beat at --bpm,\n"
         << "                       each named in a text event; --chords reads it back to the same\n"
         << "                       grid\n"
         << "  --print-chart        print the grid as a chord chart, and nothing else, on standard\n"
         << "                       output (the run still plays and writes its files)\n"
         << "  --help               show this text\n\n"
         << SettingsOptions::usage() << "\n"
         << "Exit codes: 0 done, 1 unusable input, 2 wrong command line.\n";
    return text.str();
}

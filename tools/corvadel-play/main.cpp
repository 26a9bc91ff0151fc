// corvadel-play: plays a chord sequence through the Corvadel plug-in, as a host would, and
// writes down the MIDI that the plug-in sends back.

#include "ChordSequence.h"
#include "EditorSnapshot.h"
#include "InputError.h"
#include "PedalSchedule.h"
#include "PerformanceWriter.h"
#include "PlayOptions.h"
#include "PluginLibrary.h"
#include "PluginSession.h"
#include "UsageError.h"

#include <iostream>
#include <string>
#include <vector>

namespace
{
// Runs longer than this report how far they have got.
constexpr double quietRunSeconds = 60.0;

struct Performance
{
    PluginSession::Description description;
    std::vector<PluginSession::ReturnedEvent> events;
    juce::MemoryBlock finalState;
};

ChordSequence loadChords (const PlayOptions& options)
{
    if (options.chordsFile)
        return ChordSequence::fromMidiFile (*options.chordsFile);

    if (options.stateFile)
        return ChordSequence::fromStateFile (*options.stateFile);

    return ChordSequence::demo();
}

PedalSchedule loadPedal (const PlayOptions& options, const ChordSequence& chords)
{
    if (options.pedalFile)
        return PedalSchedule::fromMidiFile (*options.pedalFile, options.bpm);

    return PedalSchedule::everyBeat (chords.getNumColumns(), options.bpm);
}

PluginSession::ProgressCallback progressReportFor (const PedalSchedule& pedal)
{
    const double totalSeconds = pedal.getLastEventSeconds();

    if (totalSeconds <= quietRunSeconds)
        return {};

    return [totalSeconds, lastTenth = 0] (double fraction) mutable {
        const int tenth = (int) (fraction * 10.0);

        if (tenth <= lastTenth)
            return;

        lastTenth = tenth;
        std::cerr << "corvadel-play: " << tenth * 10 << "% played (" << juce::String (fraction * totalSeconds, 1)
                  << " of " << juce::String (totalSeconds, 1) << " s)" << std::endl;
    };
}

Performance perform (const juce::File& pluginFile, const ChordSequence& chords, const PedalSchedule& pedal)
{
    const PluginLibrary library (pluginFile);
    Performance performance;

    // The session closes the instance before the library goes away.
    PluginSession session (library);
    performance.description = session.describe();
    session.startPlayback();

    if (! session.handOverState (chords.getChunk()))
        throw InputError (std::string (chords.isSavedState() ? "the plug-in refused the state in "
                                                             : "the plug-in refused the chords from ")
                          + chords.getOrigin().toStdString());

    if (! session.createEditor())
        throw InputError ("the plug-in " + pluginFile.getFullPathName().toStdString()
                          + " offers no editor, so its pedal cannot step through the chords");

    performance.events = session.play (pedal, progressReportFor (pedal));
    performance.finalState = session.fetchState();
    return performance;
}

juce::String categoryName (int category)
{
    switch (category)
    {
        case kPlugCategEffect: return "effect";
        case kPlugCategSynth: return "instrument";
        default: return "unknown (" + juce::String (category) + ")";
    }
}

juce::String idAsCharacters (int32_t id)
{
    juce::String text;

    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const auto c = (char) ((id >> shift) & 0xFF);
        text << (c >= 32 && c < 127 ? juce::String::charToString (c) : juce::String ("?"));
    }

    return text;
}

void printWhatAHostSees (const PluginSession::Description& d)
{
    std::cout << "What a host sees:\n"
              << "  name " << d.name << ", product " << d.product << ", vendor " << d.vendor
              << ", vendor version " << d.vendorVersion << "\n"
              << "  id " << d.uniqueId << " ('" << idAsCharacters (d.uniqueId) << "'), category "
              << categoryName (d.category) << ", flags 0x" << juce::String::toHexString (d.flags) << "\n"
              << "  audio " << d.numInputs << " in, " << d.numOutputs << " out; " << d.numPrograms << " programs, "
              << d.numParameters << " parameters\n"
              << "  can do:";

    for (const auto& [capability, answer] : d.capabilities)
        std::cout << " " << capability << "=" << answer;

    std::cout << "\n\n";
}

void printHeading (const PlayOptions& options, const ChordSequence& chords, const PedalSchedule& pedal)
{
    std::cout << options.pluginFile.getFileName() << ": " << chords.getNumColumns() << " chords from "
              << chords.getOrigin() << ", " << pedal.countPresses() << " pedal presses " << pedal.getOrigin()
              << "\n";
}

void saveState (const juce::MemoryBlock& state, const juce::File& destination)
{
    if (destination.isDirectory() || ! destination.replaceWithData (state.getData(), state.getSize()))
        throw InputError ("cannot write the state file " + destination.getFullPathName().toStdString());

    std::cout << "Saved the plug-in's state (" << state.getSize() << " bytes) to " << destination.getFullPathName() << "\n";
}

int play (const PlayOptions& options)
{
    const auto chords = loadChords (options);
    const auto pedal = loadPedal (options, chords);

    const auto performance = perform (options.pluginFile, chords, pedal);
    printWhatAHostSees (performance.description);
    printHeading (options, chords, pedal);

    const PerformanceWriter writer (performance.events, pedal.getTempoMap());
    writer.printListing (std::cout);
    writer.writeMidiFile (options.outputFile);
    std::cout << "Wrote " << performance.events.size() << " events to " << options.outputFile.getFullPathName() << "\n";

    if (options.saveStateFile)
        saveState (performance.finalState, *options.saveStateFile);

    if (options.editorPngFile)
    {
        EditorSnapshot::write (performance.finalState, pedal, *options.editorPngFile);
        std::cout << "Drew the editor into " << options.editorPngFile->getFullPathName() << "\n";
    }

    return 0;
}
}

int main (int argc, char* argv[])
{
    const std::vector<std::string> arguments (argv + 1, argv + argc);

    try
    {
        const auto options = PlayOptions::parse (arguments);

        if (options.helpRequested)
        {
            std::cout << PlayOptions::usage();
            return 0;
        }

        return play (options);
    }
    catch (const UsageError& error)
    {
        // One line: what is wrong, then the usage in brief.
        std::cerr << "corvadel-play: " << error.what() << "; " << PlayOptions::synopsis() << std::endl;
        return 2;
    }
    catch (const std::exception& error)
    {
        std::cerr << "corvadel-play: " << error.what() << std::endl;
        return 1;
    }
}

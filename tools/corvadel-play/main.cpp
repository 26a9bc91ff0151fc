// corvadel-play: plays a chord sequence through the Corvadel plug-in, as a host would, and
// writes down the MIDI that the plug-in sends back.

#include "ChordFileWriter.h"
#include "ChordSequence.h"
#include "EditorSnapshot.h"
#include "InputError.h"
#include "OutputFiles.h"
#include "PedalSchedule.h"
#include "PerformanceWriter.h"
#include "PlayOptions.h"
#include "PluginLibrary.h"
#include "PluginSession.h"
#include "RunEnding.h"
#include "StartingState.h"
#include "UsageError.h"

#include "engine/ChordChartWriter.h"
#include "engine/GridState.h"
#include "engine/StateChunk.h"

#include <csignal>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace
{
// Runs longer than this report how far they have got.
constexpr double quietRunSeconds = 60.0;

struct Performance
{
    PluginSession::Description description;
    int numColumns = 0;  // of the state the plug-in kept
    PlayerSettings settings;  // the same
    std::optional<PedalSchedule> pedal;
    std::vector<PluginSession::ReturnedEvent> events;
    std::vector<PluginSession::ReturnedEvent> ending;  // the note-offs after the plug-in's
    juce::MemoryBlock finalState;
};

std::vector<OutputFiles::Destination> destinationsOf (const PlayOptions& options)
{
    std::vector<OutputFiles::Destination> destinations { { "--out", options.outputFile, "the MIDI file" } };

    if (options.saveStateFile)
        destinations.push_back ({ "--save-state", *options.saveStateFile, "the state file" });

    if (options.editorPngFile)
        destinations.push_back ({ "--editor-png", *options.editorPngFile, "the editor picture" });

    if (options.exportChordsFile)
        destinations.push_back ({ "--export-chords", *options.exportChordsFile, "the chords file" });

    return destinations;
}

// Read before the plug-in is loaded, so a bad file is found at once.
std::optional<PedalSchedule> loadPedalFile (const PlayOptions& options, const PlayerSettings& settings)
{
    if (! options.pedalFile)
        return std::nullopt;

    return PedalSchedule::fromMidiFile (*options.pedalFile, options.bpm, settings);
}

// Fills in the number of columns and the settings the plug-in keeps: its answer, not what the
// chunk claims, decides how many presses the default pedal makes.
void handOverChords (PluginSession& session, const ChordSequence& chords, const StartingState& starting,
                     const juce::File& pluginFile, Performance& performance)
{
    const auto kept = session.handOverState (starting.getChunk());

    if (kept.isEmpty())
        throw InputError (std::string (chords.isSavedState() ? "the plug-in refused the state in "
                                                             : "the plug-in refused the chords from ")
                          + chords.getOrigin().toStdString());

    // Checked as any other input: the plug-in's answer could claim anything.
    const auto state = StateChunk::read (kept.getData(), (int64_t) kept.getSize());

    if (! state)
        throw InputError ("the plug-in " + pluginFile.getFullPathName().toStdString()
                          + " answers with a malformed state after taking " + chords.getOrigin().toStdString());

    // A plug-in that knows no settings keeps the grid alone, and would play the defaults.
    if (state->settings != starting.getSettings())
    {
        const auto keptSettings = SettingsOptions::describe (state->settings);
        throw InputError ("the plug-in " + pluginFile.getFullPathName().toStdString()
                          + " did not take the playing settings it was given: it keeps "
                          + (keptSettings.empty() ? "the defaults" : "'" + keptSettings + "'"));
    }

    performance.numColumns = state->grid->getNumColumns();
    performance.settings = state->settings;
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

std::unique_ptr<PluginLibrary> loadPlugin (const juce::File& file)
{
    try
    {
        return std::make_unique<PluginLibrary> (file.getFullPathName().toStdString());
    }
    catch (const PluginLibrary::LoadError& e)
    {
        throw InputError (e.what());
    }
}

Performance perform (const PlayOptions& options, const ChordSequence& chords, const StartingState& starting,
                     const std::optional<PedalSchedule>& pedalFile)
{
    const auto library = loadPlugin (options.pluginFile);
    Performance performance;

    // The session closes the instance before the library goes away.
    PluginSession session (*library);
    performance.description = session.describe();
    session.startPlayback();
    handOverChords (session, chords, starting, options.pluginFile, performance);
    performance.pedal = pedalFile ? *pedalFile
                                  : PedalSchedule::everyBeat (performance.numColumns, options.bpm, performance.settings);

    performance.events = session.play (*performance.pedal, progressReportFor (*performance.pedal));
    performance.ending = RunEnding::noteOffsFor (performance.events,
                                                 PluginSession::samplePositionOf (performance.pedal->getEndSeconds()));
    performance.finalState = session.fetchState();
    return performance;
}

// The grid the plug-in holds after the run, for the chart and the chords file.
std::unique_ptr<GridState> finalGrid (const Performance& performance, const juce::File& pluginFile)
{
    auto grid = GridState::fromChunk (performance.finalState.getData(), (int64_t) performance.finalState.getSize());

    if (grid == nullptr)
        throw InputError ("the plug-in " + pluginFile.getFullPathName().toStdString()
                          + " answers with a state that is no grid after the run");

    return grid;
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

void printHeading (const PlayOptions& options, const ChordSequence& chords, const Performance& performance)
{
    std::cout << options.pluginFile.getFileName() << ": " << performance.numColumns << " chords from "
              << chords.getOrigin() << ", " << performance.pedal->countPresses() << " presses of controller "
              << performance.settings.nextController << " " << performance.pedal->getOrigin() << "\n";

    if (! performance.settings.isDefault())
        std::cout << "Playing settings: " << SettingsOptions::describe (performance.settings) << "\n";
}

int play (const PlayOptions& options)
{
    // Before anything is played: a run of an hour should not end in an unwritable file.
    OutputFiles outputs (destinationsOf (options));
    const auto chords = options.grid.loadChords();
    const auto starting = StartingState::compose (chords, options.grid.settings);
    const auto pedalFile = loadPedalFile (options, starting.getSettings());
    const auto performance = perform (options, chords, starting, pedalFile);
    const auto& pedal = *performance.pedal;
    const PerformanceWriter writer (performance.events, performance.ending, pedal.getTempoMap());
    const auto grid = options.printChart || options.exportChordsFile ? finalGrid (performance, options.pluginFile) : nullptr;

    outputs.stage ("--out", writer.createMidiFileBytes());

    if (options.saveStateFile)
        outputs.stage ("--save-state", performance.finalState);

    if (options.editorPngFile)
        outputs.stage ("--editor-png", EditorSnapshot::drawPng (performance.finalState, pedal));

    if (options.exportChordsFile)
        outputs.stage ("--export-chords", ChordFileWriter::write (*grid, options.bpm));

    outputs.commit();

    if (options.printChart)
    {
        // Nothing else on standard output, so that it can be saved and read back with --chart.
        std::cout << ChordChartWriter::write (*grid);
        return 0;
    }

    printWhatAHostSees (performance.description);
    printHeading (options, chords, performance);
    writer.printListing (std::cout);
    std::cout << "Wrote " << performance.events.size() + performance.ending.size() << " events to "
              << options.outputFile.getFullPathName() << "\n";

    if (options.saveStateFile)
        std::cout << "Saved the plug-in's state (" << performance.finalState.getSize() << " bytes) to "
                  << options.saveStateFile->getFullPathName() << "\n";

    if (options.editorPngFile)
        std::cout << "Drew the editor into " << options.editorPngFile->getFullPathName() << "\n";

    if (options.exportChordsFile)
        std::cout << "Wrote the grid's " << grid->getNumColumns() << " chords, one a beat, to "
                  << options.exportChordsFile->getFullPathName() << "\n";

    return 0;
}
}

int main (int argc, char* argv[])
{
    const std::vector<std::string> arguments (argv + 1, argv + argc);

    // A FIFO whose reader goes away, or a closed standard output, makes a write fail with an
    // error to report, rather than end the program with a signal.
    std::signal (SIGPIPE, SIG_IGN);

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

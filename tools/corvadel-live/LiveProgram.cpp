#include "LiveProgram.h"

#include "GridKeeper.h"
#include "InputError.h"
#include "JackMidiClient.h"
#include "KeptGridFile.h"
#include "LiveWindow.h"
#include "PortConnector.h"
#include "StartingGrid.h"
#include "StopSignals.h"

#include "engine/Corvadel.h"
#include "formats/FrameworkXErrorFilter.h"

#include <iostream>
#include <optional>
#include <thread>

namespace juce
{
// The framework's message pump, declared in no public header: true when it dispatched one.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace
{
// The main loop's rest between looks: short enough for the window to feel immediate.
constexpr auto loopRest = std::chrono::milliseconds (5);
// At most this many messages before the loop looks at its flags again.
constexpr int messagesPerLook = 200;

void dispatchPendingMessages()
{
    for (int i = 0; i < messagesPerLook && juce::dispatchNextMessageOnSystemQueue (true); ++i)
    {
    }
}

void requireDisplay()
{
    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
        throw InputError ("no display to show the window on (is DISPLAY set?); run with --no-window on a "
                          "machine without a screen");
}
}

LiveProgram::LiveProgram (const LiveOptions& liveOptions, std::chrono::steady_clock::time_point start)
    : options (liveOptions), startTime (start)
{
}

int LiveProgram::run()
{
    KeptGridFile kept (options.gridFile);
    const auto start = StartingGrid::choose (options.grid, kept.getFile());

    const juce::ScopedJuceInitialiser_GUI framework;
    // After the framework, whose own SIGINT handler this replaces.
    StopSignals::install();
    JackMidiClient::quietLibjackMessages();

    // The framework's X errors (a window manager it does not expect, a bare X server) would
    // otherwise reach Xlib's default handler, which ends the program.
    std::optional<FrameworkXErrorFilter> xErrors;

    if (options.showWindow)
    {
        xErrors.emplace();
        requireDisplay();
    }

    Corvadel filter;
    JackMidiClient jack (filter, "corvadel");
    GridKeeper keeper (filter, kept);
    putGridInPlace (filter, start, kept, keeper);
    keeper.startWatching();

    jack.activate();
    PortConnector connector (jack.getClient(), jack.getInputPort(), jack.getOutputPort(), options.connectIn,
                             options.connectOut);
    std::unique_ptr<LiveWindow> window;

    if (options.showWindow)
        window = std::make_unique<LiveWindow> (filter);

    const auto ending = runUntilEnding (jack, connector, window.get(), [&] { reportStart (jack, filter, start, kept); });
    window.reset();

    if (ending != Ending::serverGone)
        jack.endSoundingChord();

    const bool saved = keeper.saveIfChanged();
    reportEnd (jack, ending, saved, kept);
    return ending == Ending::serverGone || ! saved ? 1 : 0;
}

LiveProgram::Ending LiveProgram::runUntilEnding (JackMidiClient& jack, PortConnector& connector, const LiveWindow* window,
                                                 const std::function<void()>& reportFirstCycle)
{
    bool firstCycleReported = false;

    for (;;)
    {
        dispatchPendingMessages();

        if (StopSignals::received() != 0)
            return Ending::signal;

        if (jack.serverWentAway())
            return Ending::serverGone;

        if (window != nullptr && window->wasClosed())
            return Ending::windowClosed;

        if (jack.takePortsChanged())
            connector.connectNewPorts();

        if (! firstCycleReported && jack.getCyclesRun() > 0)
        {
            reportFirstCycle();
            firstCycleReported = true;
        }

        std::this_thread::sleep_for (loopRest);
    }
}

void LiveProgram::reportEnd (const JackMidiClient& jack, Ending ending, bool saved, const KeptGridFile& kept)
{
    const auto dropped = jack.getDroppedEvents();
    std::cout << "corvadel-live: " << (ending == Ending::serverGone ? "the JACK server went away; " : "ended; ")
              << (saved ? "the grid is saved in " : "the grid could NOT be saved in ")
              << kept.getFile().getFullPathName() << " (" << jack.getCyclesRun() << " cycles, "
              << juce::String (jack.getMeanCycleMicroseconds(), 1) << " us mean, "
              << juce::String (jack.getLongestCycleMicroseconds(), 1) << " us longest"
              << (dropped > 0 ? ", " + std::to_string (dropped) + " events dropped for want of room" : "") << ")"
              << std::endl;
}

void LiveProgram::putGridInPlace (Corvadel& filter, const StartingGrid& start, KeptGridFile& kept, GridKeeper& keeper)
{
    filter.restoreState (start.chunk.getData(), (int) start.chunk.getSize());
    juce::String problem;

    switch (start.action)
    {
        case StartingGrid::KeptFileAction::keep:
            keeper.markWritten();
            return;

        case StartingGrid::KeptFileAction::create:
            break;

        case StartingGrid::KeptFileAction::replace:
            if (! kept.moveAside (".prev", problem))
                throw InputError (problem.toStdString() + "; the kept grid is left as it was");
            break;

        case StartingGrid::KeptFileAction::setAsideAsBad:
            if (! kept.moveAside (".bad", problem))
                throw InputError (problem.toStdString());

            std::cerr << "corvadel-live: " << start.problem << "; kept aside as "
                      << kept.withSuffix (".bad").getFileName() << ", starting with an empty grid" << std::endl;
            break;
    }

    keeper.saveIfChanged();
}

void LiveProgram::reportStart (const JackMidiClient& jack, Corvadel& filter, const StartingGrid& start,
                               const KeptGridFile& kept)
{
    const auto toFirstCycle = std::chrono::duration_cast<std::chrono::milliseconds> (jack.getFirstCycleTime() - startTime);
    const auto grid = filter.getPlayer().getSequence();
    std::cout << "corvadel-live: playing as " << jack.getClientName() << " (" << jack.getSampleRate() << " Hz, "
              << jack.getBufferSize() << " frames a cycle): " << (grid != nullptr ? grid->getNumColumns() : 0)
              << " chords from " << start.origin << ", kept in "
              << kept.getFile().getFullPathName() << "; first cycle " << toFirstCycle.count() << " ms after start"
              << std::endl;
}

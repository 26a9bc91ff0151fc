#pragma once

#include "LiveOptions.h"

#include <chrono>
#include <functional>

class Corvadel;
class GridKeeper;
class JackMidiClient;
class KeptGridFile;
class LiveWindow;
class PortConnector;
class StartingGrid;

// One run of corvadel-live: the kept grid locked and loaded, the filter, the JACK client and the
// window, then the main loop (the framework's messages, the signals, new ports, the server's
// going away) until the run ends, and the clean ending: the sounding chord ended, the grid
// saved.
//
// Threads: the main thread, which is the framework's message thread.
class LiveProgram
{
public:
    LiveProgram (const LiveOptions& options, std::chrono::steady_clock::time_point startTime);

    // The exit code: 0 after a signal or the window's closing, 1 when the server went away or
    // the grid could not be saved at the end. Throws InputError (no server, a grid that cannot be used, a file in use) before anything
    // plays.
    int run();

private:
    enum class Ending { signal, windowClosed, serverGone };

    // Pumps the framework's messages and connects new ports until a signal, the window's closing
    // or the server's going away ends the run.
    static Ending runUntilEnding (JackMidiClient& jack, PortConnector& connector, const LiveWindow* window,
                                  const std::function<void()>& reportFirstCycle);
    static void reportEnd (const JackMidiClient& jack, Ending ending, bool saved, const KeptGridFile& kept);
    void putGridInPlace (Corvadel& filter, const StartingGrid& start, KeptGridFile& kept, GridKeeper& keeper);
    void reportStart (const JackMidiClient& jack, Corvadel& filter, const StartingGrid& start,
                      const KeptGridFile& kept);

    const LiveOptions& options;
    const std::chrono::steady_clock::time_point startTime;
};

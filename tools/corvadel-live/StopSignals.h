#pragma once

// SIGINT, SIGTERM and SIGHUP end the program cleanly: the handler only records the signal, and the main
// loop, which looks at it several times a second, does the ending.
namespace StopSignals
{
// Main thread, after the framework has installed its own SIGINT handler (this one replaces it).
void install();
// Any thread; waits on nothing. The signal received, or 0.
int received() noexcept;
}

#include "StopSignals.h"

#include <csignal>

namespace
{
volatile std::sig_atomic_t receivedSignal = 0;

void recordSignal (int signal)
{
    receivedSignal = signal;
}
}

void StopSignals::install()
{
    struct sigaction action {};
    action.sa_handler = recordSignal;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction (SIGINT, &action, nullptr);
    sigaction (SIGTERM, &action, nullptr);
    // The terminal it was started from closing.
    sigaction (SIGHUP, &action, nullptr);
}

int StopSignals::received() noexcept
{
    return receivedSignal;
}

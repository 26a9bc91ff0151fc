#include "tests/fuzz/CrashSeedReporter.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
 #include <sanitizer/common_interface_defs.h>
#endif

namespace
{
// Written before each round, read from a signal handler: no formatting may happen there.
char message[160] = {};

void writeMessage()
{
    if (message[0] != 0)
    {
        const auto ignored = write (STDERR_FILENO, message, std::strlen (message));
        (void) ignored;
    }
}

#if ! defined(__SANITIZE_ADDRESS__)
void onFatalSignal (int signalNumber)
{
    writeMessage();
    std::signal (signalNumber, SIG_DFL);
    std::raise (signalNumber);
}
#endif
}

void CrashSeedReporter::install()
{
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers own the fatal signals; they call this before they end the process.
    __sanitizer_set_death_callback (&writeMessage);
#else
    for (int signalNumber : { SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT })
        std::signal (signalNumber, &onFatalSignal);
#endif
}

void CrashSeedReporter::roundStarts (uint64_t seed)
{
    std::snprintf (message, sizeof (message),
                   "\nplugin fuzz: died in the round with seed %llu; run it alone with "
                   "CORVADEL_FUZZ_SEED=%llu CORVADEL_FUZZ_SECONDS=0\n",
                   (unsigned long long) seed, (unsigned long long) seed);
}

void CrashSeedReporter::roundEnded()
{
    message[0] = 0;
}

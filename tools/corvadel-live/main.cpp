// corvadel-live: the Corvadel chord stepper on stage without a host, as a JACK MIDI client
// between a keyboard (and its pedal) and a synthesizer.

#include "LiveOptions.h"
#include "LiveProgram.h"
#include "UsageError.h"

#include <chrono>
#include <csignal>
#include <iostream>

int main (int argc, char* argv[])
{
    const auto startTime = std::chrono::steady_clock::now();
    const std::vector<std::string> arguments (argv + 1, argv + argc);

    // A closed standard output must not end the program before it has saved the grid.
    std::signal (SIGPIPE, SIG_IGN);

    try
    {
        const auto options = LiveOptions::parse (arguments);

        if (options.helpRequested)
        {
            std::cout << LiveOptions::usage();
            return 0;
        }

        return LiveProgram (options, startTime).run();
    }
    catch (const UsageError& error)
    {
        std::cerr << "corvadel-live: " << error.what() << "; " << LiveOptions::synopsis() << std::endl;
        return 2;
    }
    catch (const std::exception& error)
    {
        std::cerr << "corvadel-live: " << error.what() << std::endl;
        return 1;
    }
}

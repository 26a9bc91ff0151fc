#include "tests/windows/vst3/ExitingVst3Host.h"

#include "tests/windows/vst3/Vst3Module.h"

#include <cstdio>
#include <cstdlib>

namespace
{
const std::string prefix = "--exiting-host=";
}

const std::vector<ExitingVst3Host::Case>& ExitingVst3Host::cases()
{
    static const std::vector<Case> all {
        { "playing", "an instance processing when the host returns from main", true },
        { "closed", "the instances closed, the module never unloaded", true },
        { "exit", "an instance processing when the host calls exit()", true },
        { "abort", "control: a host that aborts", false },
    };
    return all;
}

bool ExitingVst3Host::isRequested (int argc, char** argv)
{
    return argc == 2 && std::string (argv[1]).rfind (prefix, 0) == 0;
}

int ExitingVst3Host::run (const std::string& bundlePath, const std::string& argument)
{
    const auto which = argument.substr (prefix.size());
    // Never deleted: the host ends with the module loaded.
    auto* module = new Vst3Module (Vst3Module::libraryInBundle (bundlePath));

    if (which == "closed")
    {
        delete new Vst3Module::Instance (*module);
        return 0;
    }

    new Vst3Module::Instance (*module);

    if (which == "exit")
        std::exit (0);

    if (which == "abort")
        std::abort();

    std::fflush (stdout);
    return 0;
}

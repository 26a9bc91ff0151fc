#pragma once

// Hosts that end with the VST 3 plug-in still loaded, each a process of its own: this program
// started again with one of these arguments becomes such a host.

#include <string>
#include <vector>

namespace ExitingVst3Host
{
struct Case
{
    std::string argument;
    std::string what;
    bool mustExitCleanly;  // false: a control that must be seen to fail
};

const std::vector<Case>& cases();

// When the program was started as one of these hosts: runs it and answers its exit status.
bool isRequested (int argc, char** argv);
int run (const std::string& bundlePath, const std::string& argument);
}

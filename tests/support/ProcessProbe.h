#pragma once

#include <string>

// What a test can see of its own process: whether a library is mapped into it and how many
// threads it runs. Reads /proc on Linux and asks the system on Windows.
class ProcessProbe
{
public:
    // Whether a library with this file name (no folder) is loaded in this process.
    static bool libraryIsLoaded (const std::string& fileName);
    static int threadCount();
};

#pragma once

#include <fstream>
#include <string>

// The test process's resident memory, in kilobytes, as Linux counts it; 0 where it cannot be read.
inline long residentKilobytes()
{
    std::ifstream status ("/proc/self/status");
    std::string line;

    while (std::getline (status, line))
        if (line.rfind ("VmRSS:", 0) == 0)
            return std::stol (line.substr (6));

    return 0;
}

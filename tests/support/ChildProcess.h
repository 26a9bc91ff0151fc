#pragma once

#include <string>

// Runs a program with one argument as a child process and collects what it wrote to standard
// error: posix_spawn on Linux, CreateProcess on Windows.
class ChildProcess
{
public:
    struct Result
    {
        int exitStatus = -1;  // -1 when the child did not exit normally or did not start
        int signal = 0;       // the signal that ended it (Linux)
        std::string errorOutput;
    };

    static Result run (const std::string& program, const std::string& argument);
};

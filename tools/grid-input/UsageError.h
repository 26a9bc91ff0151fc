#pragma once

#include <stdexcept>
#include <string>

// The command line itself is wrong: the program answers with its usage and exit code 2.
class UsageError : public std::runtime_error
{
public:
    explicit UsageError (const std::string& problem) : std::runtime_error (problem) {}
};

#pragma once

#include <stdexcept>
#include <string>

// A file, the plug-in or the plug-in's answer cannot be used: the program says why on one line
// and exits with code 1.
class InputError : public std::runtime_error
{
public:
    explicit InputError (const std::string& problem) : std::runtime_error (problem) {}
};

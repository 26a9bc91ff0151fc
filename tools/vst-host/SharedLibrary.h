#pragma once

#include <stdexcept>
#include <string>

// A library loaded at run time the way the platform's hosts load plug-ins: dlopen on Linux,
// LoadLibrary on Windows. Any thread; waits on the platform's loader.
class SharedLibrary
{
public:
    // Thrown when the library does not load; what() is the loader's reason, without the path.
    struct LoadError : std::runtime_error
    {
        using std::runtime_error::runtime_error;
    };

    explicit SharedLibrary (const std::string& path);
    ~SharedLibrary();

    SharedLibrary (const SharedLibrary&) = delete;
    SharedLibrary& operator= (const SharedLibrary&) = delete;

    bool isLoaded() const { return handle != nullptr; }
    // nullptr when the library exports no such name.
    void* symbol (const char* name) const;
    void unload();

#if defined(_WIN32)
    // The path of a file in the folder that holds the running program, where Windows looks first.
    static std::string besideThisProgram (const std::string& fileName);
#endif

private:
    void* handle = nullptr;
};

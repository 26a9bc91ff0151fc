#pragma once

#include <string>

// A library loaded at run time the way the platform's hosts load plug-ins: dlopen on Linux,
// LoadLibrary on Windows.
class SharedLibrary
{
public:
    // Throws std::runtime_error, with the loader's reason, when the library does not load.
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

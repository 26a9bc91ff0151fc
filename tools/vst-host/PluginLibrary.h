#pragma once

#include "SharedLibrary.h"

#include "host/VstInterface.h"

#include <memory>
#include <string>

// A VST 2 plug-in's library, loaded as a host loads it, and its exported entry. Any thread;
// waits on the platform's loader.
class PluginLibrary
{
public:
    using Entry = AEffect* (*) (audioMasterCallback);

    // Thrown when the file is missing, is a folder, does not load, or exports no VSTPluginMain:
    // "cannot load the plug-in PATH: REASON".
    struct LoadError : std::runtime_error
    {
        using std::runtime_error::runtime_error;
    };

    explicit PluginLibrary (const std::string& path);

    const std::string& getPath() const noexcept { return path; }
    bool isLoaded() const { return library != nullptr && library->isLoaded(); }

    // The named entry, nullptr when the library exports no such name.
    Entry findEntry (const char* name = "VSTPluginMain") const;
    // Calls the named entry with the host callback and answers its record; throws LoadError
    // when the library exports no such name.
    AEffect* callEntry (audioMasterCallback callback, const char* name = "VSTPluginMain") const;

    // Unloads the library; the records it gave are gone with it.
    void unload();

private:
    std::string path;
    std::unique_ptr<SharedLibrary> library;
};

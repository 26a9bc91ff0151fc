#pragma once

#include "host/VstInterface.h"

#include <juce_core/juce_core.h>

// The plug-in's shared library, loaded with dlopen and unloaded when this goes away.
class PluginLibrary
{
public:
    using Entry = AEffect* (*) (audioMasterCallback);

    // Throws InputError when the file is missing, is not a loadable library or exports no
    // VSTPluginMain.
    explicit PluginLibrary (const juce::File& file);
    ~PluginLibrary();

    Entry getEntry() const noexcept { return entry; }
    const juce::File& getFile() const noexcept { return file; }

private:
    juce::File file;
    void* handle = nullptr;
    Entry entry = nullptr;

    JUCE_DECLARE_NON_COPYABLE (PluginLibrary)
};

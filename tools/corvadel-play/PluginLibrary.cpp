#include "PluginLibrary.h"

#include "InputError.h"

#include <dlfcn.h>

namespace
{
// dlerror() repeats the path; the message names it once already.
std::string loaderReason (const juce::File& file)
{
    const char* reason = dlerror();
    juce::String text (reason != nullptr ? reason : "unknown reason");
    const auto pathPrefix = file.getFullPathName() + ": ";

    if (text.startsWith (pathPrefix))
        text = text.substring (pathPrefix.length());

    return text.toStdString();
}
}

PluginLibrary::PluginLibrary (const juce::File& libraryFile) : file (libraryFile)
{
    const auto path = file.getFullPathName().toStdString();

    if (file.isDirectory())
        throw InputError ("cannot load the plug-in " + path + ": it is a folder");

    if (! file.existsAsFile())
        throw InputError ("cannot load the plug-in " + path + ": no such file");

    // The plug-in's symbols, its own copy of the framework among them, stay its own.
    handle = dlopen (path.c_str(), RTLD_NOW | RTLD_LOCAL);

    if (handle == nullptr)
        throw InputError ("cannot load the plug-in " + path + ": " + loaderReason (file));

    entry = reinterpret_cast<Entry> (dlsym (handle, "VSTPluginMain"));

    if (entry == nullptr)
    {
        dlclose (handle);
        throw InputError ("cannot load the plug-in " + path + ": it exports no VSTPluginMain entry");
    }
}

PluginLibrary::~PluginLibrary()
{
    dlclose (handle);
}

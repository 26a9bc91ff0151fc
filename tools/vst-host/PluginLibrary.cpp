#include "PluginLibrary.h"

#include <sys/stat.h>

namespace
{
PluginLibrary::LoadError loadError (const std::string& path, const std::string& reason)
{
    return PluginLibrary::LoadError ("cannot load the plug-in " + path + ": " + reason);
}
}

PluginLibrary::PluginLibrary (const std::string& pathToLoad) : path (pathToLoad)
{
    struct stat info {};

    if (stat (path.c_str(), &info) != 0)
        throw loadError (path, "no such file");

    if ((info.st_mode & S_IFMT) == S_IFDIR)
        throw loadError (path, "it is a folder");

    try
    {
        library = std::make_unique<SharedLibrary> (path);
    }
    catch (const SharedLibrary::LoadError& e)
    {
        throw loadError (path, e.what());
    }

    if (findEntry() == nullptr)
        throw loadError (path, "it exports no VSTPluginMain entry");
}

PluginLibrary::Entry PluginLibrary::findEntry (const char* name) const
{
    return library != nullptr ? reinterpret_cast<Entry> (library->symbol (name)) : nullptr;
}

AEffect* PluginLibrary::callEntry (audioMasterCallback callback, const char* name) const
{
    const auto entry = findEntry (name);

    if (entry == nullptr)
        throw LoadError ("the plug-in " + path + " exports no " + name + " entry");

    return entry (callback);
}

void PluginLibrary::unload()
{
    if (library != nullptr)
        library->unload();
}

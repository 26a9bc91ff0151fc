#include "editor/EditorZoom.h"

#include <juce_data_structures/juce_data_structures.h>

namespace
{
    constexpr const char* zoomKey = "zoomPercent";

    std::unique_ptr<juce::PropertiesFile> openPreferences()
    {
        juce::PropertiesFile::Options options;
        options.applicationName = "Corvadel";
        options.millisecondsBeforeSaving = -1;  // written when asked, never from a timer
        options.storageFormat = juce::PropertiesFile::storeAsXML;
        return std::make_unique<juce::PropertiesFile> (EditorZoom::preferenceFile(), options);
    }
}

juce::File EditorZoom::preferenceFile()
{
   #if JUCE_WINDOWS
    const auto folder = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);
   #else
    const auto configHome = juce::SystemStats::getEnvironmentVariable ("XDG_CONFIG_HOME", {});
    const auto folder = juce::File::isAbsolutePath (configHome) ? juce::File (configHome)
                                                                : juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".config");
   #endif
    return folder.getChildFile ("corvadel").getChildFile ("editor.settings");
}

bool EditorZoom::isChoice (int percent) noexcept
{
    for (auto choice : choices)
        if (choice == percent)
            return true;

    return false;
}

int EditorZoom::load()
{
    if (! preferenceFile().existsAsFile())
        return 100;

    const int percent = openPreferences()->getIntValue (zoomKey, 100);
    return isChoice (percent) ? percent : 100;
}

void EditorZoom::save (int percent)
{
    if (! isChoice (percent))
        return;

    preferenceFile().getParentDirectory().createDirectory();
    auto preferences = openPreferences();
    preferences->setValue (zoomKey, percent);
    preferences->saveIfNeeded();
}

// The Windows VST 3 bundle's test host, built on the framework's own VST 3 hosting (and the tests'
// VST 2 host for Corvadel.dll beside it), run under wine. The bundle built beside this program is
// copied into a folder of this run's own and loaded from there, as a musician copies it into the
// system's VST 3 folder. Started with an ExitingVst3Host argument, the program is instead a host
// that ends with the plug-in still loaded.

#include "tests/formats/HostedPlugin.h"
#include "tests/windows/vst3/ExitingVst3Host.h"

#include <gtest/gtest.h>

namespace
{
juce::File builtBundle()
{
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("Corvadel.vst3");
}

juce::File folderOfThisRun()
{
    static const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                   .getChildFile ("corvadel-vst3-tests-" + juce::String::toHexString (juce::Random().nextInt64()));
    return folder;
}
}

juce::File vst3BundleUnderTest()
{
    static const auto bundle = []
    {
        const auto copy = folderOfThisRun().getChildFile ("Corvadel.vst3");
        folderOfThisRun().createDirectory();

        if (! builtBundle().copyDirectoryTo (copy))
            throw std::runtime_error ("the built bundle could not be copied into " + folderOfThisRun().getFullPathName().toStdString());

        return copy;
    }();

    return bundle;
}

int main (int argc, char** argv)
{
    if (ExitingVst3Host::isRequested (argc, argv))
        return ExitingVst3Host::run (builtBundle().getFullPathName().toStdString(), argv[1]);

    testing::InitGoogleTest (&argc, argv);
    int status = 0;
    {
        juce::ScopedJuceInitialiser_GUI framework;
        status = RUN_ALL_TESTS();
    }
    // The framework's loader keeps the module loaded until the framework shuts down: only then
    // can the copy be removed.
    folderOfThisRun().deleteRecursively();
    return status;
}

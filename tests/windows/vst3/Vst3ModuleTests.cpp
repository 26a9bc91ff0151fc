// The Windows VST 3 module loaded as a host's loader loads it, from the folder of its own the
// bundle was copied into: the identity its factory announces, loads and unloads that really
// unload it, and hosts that end with it still loaded.

#include "tests/formats/HostedPlugin.h"
#include "tests/support/ChildProcess.h"
#include "tests/windows/vst3/ExitingVst3Host.h"
#include "tests/windows/vst3/Vst3Module.h"

#include <gtest/gtest.h>

#include <pluginterfaces/base/funknown.h>

using namespace Steinberg;

namespace
{
std::string libraryPath()
{
    return Vst3Module::libraryInBundle (vst3BundleUnderTest().getFullPathName().toStdString());
}

std::string classIdText (const TUID id)
{
    char text[33] {};
    FUID::fromTUID (id).toString (text);
    return text;
}
}

// The class id, name, vendor and category the Linux bundle announces (Ardour's scanner reads them
// there): a project saved on one system finds the plug-in on the other.
TEST (Vst3Module, ItsFactoryAnnouncesTheIdentityOfTheLinuxBundle)
{
    Vst3Module module (libraryPath());
    auto& factory = module.factory();

    PFactoryInfo vendor {};
    ASSERT_EQ (factory.getFactoryInfo (&vendor), kResultOk);
    EXPECT_STREQ (vendor.vendor, "Vantrelle");

    ASSERT_EQ (factory.countClasses(), 2) << "the component and its controller";
    PClassInfo component {};
    ASSERT_EQ (factory.getClassInfo (0, &component), kResultOk);
    EXPECT_EQ (classIdText (component.cid), "ABCDEF019182FAEB566E746C44474534");
    EXPECT_STREQ (component.category, kVstAudioEffectClass);
    EXPECT_STREQ (component.name, "Corvadel");

    IPluginFactory2* factory2 = nullptr;
    ASSERT_EQ (factory.queryInterface (IPluginFactory2::iid, (void**) &factory2), kResultOk);
    PClassInfo2 details {};
    ASSERT_EQ (factory2->getClassInfo2 (0, &details), kResultOk);
    EXPECT_STREQ (details.subCategories, "Instrument|Synth");
    EXPECT_STREQ (details.version, "1.0");
    factory2->release();
}

// Each round loads the module, plays an instance and unloads it; afterwards the library is gone
// from the process and no thread of it is left.
TEST (Vst3Module, TwentyLoadsAndUnloadsLeaveNothingBehind)
{
    const auto path = libraryPath();
    ASSERT_FALSE (Vst3Module::isLoaded (path));
    const int threadsBefore = Vst3Module::threadsOfThisProcess();

    for (int round = 0; round < 20; ++round)
    {
        {
            Vst3Module module (path);
            Vst3Module::Instance instance (module);
            ASSERT_TRUE (Vst3Module::isLoaded (path)) << "round " << round;
        }

        ASSERT_FALSE (Vst3Module::isLoaded (path)) << "round " << round << ": the library stayed in the process";
        ASSERT_EQ (Vst3Module::threadsOfThisProcess(), threadsBefore) << "round " << round;
    }

    // Control: a module the host still holds a reference to is seen as loaded.
    auto kept = std::make_unique<Vst3Module> (path);
    {
        Vst3Module module (path);
    }
    EXPECT_TRUE (Vst3Module::isLoaded (path));
    kept.reset();
    EXPECT_FALSE (Vst3Module::isLoaded (path));
}

TEST (ExitingVst3Host, EachHostThatEndsWithThePlugInLoadedExitsCleanly)
{
    const auto program = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getFullPathName().toStdString();

    for (const auto& c : ExitingVst3Host::cases())
    {
        const auto result = ChildProcess::run (program, "--exiting-host=" + c.argument);

        if (c.mustExitCleanly)
            EXPECT_EQ (result.exitStatus, 0) << c.what << ": " << result.errorOutput;
        else
            EXPECT_NE (result.exitStatus, 0) << c.what;
    }
}

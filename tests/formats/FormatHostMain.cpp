#include "tests/formats/HostXErrors.h"
#include "tests/formats/HostedPlugin.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

juce::File vst3BundleUnderTest()
{
    return juce::File (CORVADEL_VST3_BUNDLE);
}

// The host's framework runs on the main thread for the whole program, as in a host application,
// and handles its own X errors (HostXErrors); the plug-ins' frameworks run in their own libraries.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    HostXErrors::handleOwnConnectionOnly();
    juce::ScopedJuceInitialiser_GUI framework;
    return RUN_ALL_TESTS();
}

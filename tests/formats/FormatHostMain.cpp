#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// The host's framework runs on the main thread for the whole program, as in a host application;
// the plug-ins' frameworks run in their own libraries.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI framework;
    return RUN_ALL_TESTS();
}

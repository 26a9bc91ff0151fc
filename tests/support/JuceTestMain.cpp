#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// The framework runs for the whole test program, on the main thread, as it does in a plug-in
// that the host has loaded.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI framework;
    return RUN_ALL_TESTS();
}

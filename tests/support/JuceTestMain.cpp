#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <cstdlib>

// The framework runs for the whole test program, on the main thread, as it does in a plug-in
// that the host has loaded.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
   #if defined (CORVADEL_TEST_OUTPUT_DIR) && ! defined (_WIN32)
    // The user's own preferences (the editor's zoom) are never read or written by the tests.
    setenv ("XDG_CONFIG_HOME", CORVADEL_TEST_OUTPUT_DIR "/test-config", 1);
   #endif
    juce::ScopedJuceInitialiser_GUI framework;
    return RUN_ALL_TESTS();
}

#pragma once

#include "tests/support/PluginHost.h"

#include <gtest/gtest.h>

#include <memory>

// Each test suite loads the plug-in once; each test gets a fresh host that closes whatever
// instances the test left open.
// The chords the scenarios lay out most often.
inline const ChordColumn cMajor { { { 60, 100 }, { 64, 100 }, { 67, 100 } } };
inline const ChordColumn dMinor { { { 62, 90 }, { 65, 90 }, { 69, 90 } } };

class PluginTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { library = std::make_unique<PluginLibrary> (builtPluginPath()); }
    static void TearDownTestSuite() { library.reset(); }

    void SetUp() override { host = std::make_unique<PluginHost> (*library); }
    void TearDown() override { host.reset(); }

    AEffect* createPlaying()
    {
        auto* effect = host->createInstance();
        host->startPlaying (effect);
        return effect;
    }

    static constexpr uint8_t pedal = 0xB0;
    static PluginHost::InputEvent pedalDown (int at, uint8_t value = 127, int channel = 0)
    {
        return { at, (uint8_t) (pedal | channel), 64, value };
    }
    static PluginHost::InputEvent pedalUp (int at, int channel = 0)
    {
        return { at, (uint8_t) (pedal | channel), 64, 0 };
    }

    inline static std::unique_ptr<PluginLibrary> library;
    std::unique_ptr<PluginHost> host;
};

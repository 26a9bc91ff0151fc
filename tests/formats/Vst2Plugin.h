#pragma once

#include "tests/formats/FormatPlugin.h"

// Corvadel.so through the tests' own VST 2 host: its chunk is its state.
class Vst2Plugin : public FormatPlugin
{
public:
    Vst2Plugin();
    ~Vst2Plugin() override;

    std::vector<MidiOut> play (const std::vector<PluginHost::InputEvent>& events, int numSamples = 512) override;
    std::vector<uint8_t> saveGrid() override;
    void loadGrid (const std::vector<uint8_t>& grid) override;
    void suspendAndResume() override;

private:
    static PluginLibrary& library();
    PluginHost host;
    AEffect* effect = nullptr;
};

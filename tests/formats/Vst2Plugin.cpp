#include "tests/formats/Vst2Plugin.h"

PluginLibrary& Vst2Plugin::library()
{
    // Loaded once for the program, as a host keeps a plug-in's library.
    static auto* loaded = new PluginLibrary (builtPluginPath());
    return *loaded;
}

Vst2Plugin::Vst2Plugin() : host (library())
{
    effect = host.createInstance();

    if (effect == nullptr)
        throw std::runtime_error ("the VST 2 plug-in refused an instance");

    host.startPlaying (effect);
}

Vst2Plugin::~Vst2Plugin()
{
    host.closeAll();
}

std::vector<MidiOut> Vst2Plugin::play (const std::vector<PluginHost::InputEvent>& events, int numSamples)
{
    std::vector<MidiOut> out;

    for (const auto& sent : host.processBlock (effect, events, numSamples))
        out.push_back ({ sent.deltaFrames, sent.bytes[0], sent.bytes[1], sent.bytes[2] });

    return out;
}

std::vector<uint8_t> Vst2Plugin::saveGrid()
{
    return host.getChunk (effect);
}

void Vst2Plugin::loadGrid (const std::vector<uint8_t>& grid)
{
    host.setChunk (effect, grid);
}

void Vst2Plugin::suspendAndResume()
{
    host.dispatch (effect, effMainsChanged, 0, 0);
    host.dispatch (effect, effMainsChanged, 0, 1);
}

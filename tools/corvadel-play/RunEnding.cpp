#include "RunEnding.h"

#include <array>
#include <bitset>

std::vector<PluginSession::ReturnedEvent> RunEnding::noteOffsFor (const std::vector<PluginSession::ReturnedEvent>& events,
                                                                  int64_t samplePosition)
{
    std::array<std::bitset<128>, 16> sounding;

    for (const auto& event : events)
    {
        const auto& message = event.message;

        if (message.isNoteOnOrOff())
            sounding[(size_t) message.getChannel() - 1][(size_t) message.getNoteNumber()] = message.isNoteOn (false);
    }

    std::vector<PluginSession::ReturnedEvent> noteOffs;

    for (int channel = 1; channel <= 16; ++channel)
        for (int note = 0; note < 128; ++note)
            if (sounding[(size_t) channel - 1][(size_t) note])
                noteOffs.push_back ({ samplePosition, juce::MidiMessage::noteOff (channel, note, (juce::uint8) 0) });

    return noteOffs;
}

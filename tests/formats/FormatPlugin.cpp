#include "tests/formats/FormatPlugin.h"

#include "tests/formats/HostedPlugin.h"
#include "tests/formats/Vst2Plugin.h"

std::string nameOf (PluginFormat format)
{
    switch (format)
    {
        case PluginFormat::vst2: return "VST2";
        case PluginFormat::vst3: return "VST3";
        case PluginFormat::lv2:  return "LV2";
    }

    return "?";
}

const std::vector<PluginFormat>& testedFormats()
{
   #if JUCE_PLUGINHOST_LV2
    static const std::vector<PluginFormat> formats { PluginFormat::vst2, PluginFormat::vst3, PluginFormat::lv2 };
   #else
    static const std::vector<PluginFormat> formats { PluginFormat::vst2, PluginFormat::vst3 };
   #endif
    return formats;
}

int pedalSampleSeen (PluginFormat format, int sample)
{
    return format == PluginFormat::vst3 ? 0 : sample;
}

std::vector<int> pedalSamplesSeen (PluginFormat format, std::vector<int> samples)
{
    for (auto& sample : samples)
        sample = pedalSampleSeen (format, sample);

    return samples;
}

bool MidiOut::operator== (const MidiOut& other) const
{
    return sample == other.sample && status == other.status && data1 == other.data1 && data2 == other.data2;
}

std::ostream& operator<< (std::ostream& out, const MidiOut& message)
{
    return out << "@" << message.sample << " " << std::hex << (int) message.status << " " << std::dec
               << (int) message.data1 << " " << (int) message.data2;
}

std::unique_ptr<FormatPlugin> openPlugin (PluginFormat format)
{
    if (format == PluginFormat::vst2)
        return std::make_unique<Vst2Plugin>();

    return std::make_unique<HostedPlugin> (format);
}

#include "tests/formats/StateCodec.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <cstring>

namespace
{
constexpr const char* componentElement = "IComponent";
constexpr const char* clientTrailerMagic = "JUCEPrivateData";
constexpr const char* stateStringProperty = "StateString>";

std::vector<uint8_t> bytesOf (const juce::MemoryBlock& block)
{
    const auto* data = static_cast<const uint8_t*> (block.getData());
    return { data, data + block.getSize() };
}

// Where the StateString property's literal lies in the Turtle: the quotes' positions.
std::optional<std::pair<int, int>> stateLiteralIn (const juce::String& turtle)
{
    const int property = turtle.indexOf (stateStringProperty);

    if (property < 0)
        return std::nullopt;

    const int open = turtle.indexOfChar (property, '"');
    const int close = open < 0 ? -1 : turtle.indexOfChar (open + 1, '"');

    if (close < 0)
        return std::nullopt;

    return std::make_pair (open, close);
}
}

std::optional<std::vector<uint8_t>> StateCodec::vst3ComponentStream (const juce::MemoryBlock& hostState)
{
    auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize());

    if (xml == nullptr)
        return std::nullopt;

    auto* component = xml->getChildByName (componentElement);
    juce::MemoryBlock stream;

    if (component == nullptr || ! stream.fromBase64Encoding (component->getAllSubText()))
        return std::nullopt;

    return bytesOf (stream);
}

juce::MemoryBlock StateCodec::vst3HostStateWith (const juce::MemoryBlock& hostState, const std::vector<uint8_t>& componentStream)
{
    auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize());

    if (xml == nullptr)
        xml = std::make_unique<juce::XmlElement> ("VST3PluginState");

    xml->deleteAllChildElementsWithTagName (componentElement);
    xml->createNewChildElement (componentElement)
        ->addTextElement (juce::MemoryBlock (componentStream.data(), componentStream.size()).toBase64Encoding());

    juce::MemoryBlock result;
    juce::AudioProcessor::copyXmlToBinary (*xml, result);
    return result;
}

std::optional<std::vector<uint8_t>> StateCodec::withoutVst3ClientTrailer (const std::vector<uint8_t>& stream)
{
    // What the client appends: an int64 0, its own data, that data's size as an int64, the magic.
    const size_t magicSize = std::strlen (clientTrailerMagic);

    if (stream.size() < magicSize + 16
        || std::memcmp (stream.data() + stream.size() - magicSize, clientTrailerMagic, magicSize) != 0)
        return std::nullopt;

    uint64_t privateSize = 0;
    std::memcpy (&privateSize, stream.data() + stream.size() - magicSize - 8, 8);

    if (privateSize > stream.size() - magicSize - 16)
        return std::nullopt;

    const size_t end = stream.size() - magicSize - 16 - (size_t) privateSize;
    return std::vector<uint8_t> (stream.begin(), stream.begin() + (long) end);
}

std::optional<std::vector<uint8_t>> StateCodec::lv2StateBytes (const juce::MemoryBlock& hostState)
{
    const auto turtle = hostState.toString();
    const auto literal = stateLiteralIn (turtle);
    juce::MemoryBlock bytes;

    if (! literal || ! bytes.fromBase64Encoding (turtle.substring (literal->first + 1, literal->second)))
        return std::nullopt;

    return bytesOf (bytes);
}

juce::MemoryBlock StateCodec::lv2HostStateWith (const juce::MemoryBlock& hostState, const std::vector<uint8_t>& bytes)
{
    const auto turtle = hostState.toString();
    const auto literal = stateLiteralIn (turtle);

    if (! literal)
        return hostState;

    const auto text = turtle.substring (0, literal->first + 1)
                      + juce::MemoryBlock (bytes.data(), bytes.size()).toBase64Encoding()
                      + turtle.substring (literal->second);
    return juce::MemoryBlock (text.toRawUTF8(), text.getNumBytesAsUTF8());
}

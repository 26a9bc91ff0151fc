#include "tests/formats/HostedPlugin.h"

#include "tests/formats/StateCodec.h"

#include <gtest/gtest.h>

#if JUCE_PLUGINHOST_LV2
 #include <unistd.h>
#endif

namespace
{
// The formats' loaders live as long as the program: instances and their libraries refer to them
// until the very end, after the tests' framework has shut down.
juce::VST3PluginFormat& vst3Format()
{
    static auto* format = new juce::VST3PluginFormat();
    return *format;
}

#if JUCE_PLUGINHOST_LV2
juce::LV2PluginFormat& lv2Format()
{
    static auto* format = new juce::LV2PluginFormat();
    return *format;
}

// The LV2 loader reads every bundle in the folders it is given: the built bundle is copied into
// a folder of its own, once per program.
juce::String lv2Folder()
{
    static const juce::File folder = []
    {
        auto f = juce::File::getSpecialLocation (juce::File::tempDirectory)
                     .getChildFile ("corvadel-format-tests-" + juce::String ((int) getpid()));
        f.deleteRecursively();
        f.createDirectory();
        juce::File (CORVADEL_LV2_BUNDLE).copyDirectoryTo (f.getChildFile ("Corvadel.lv2"));
        std::atexit ([] { juce::File::getSpecialLocation (juce::File::tempDirectory)
                              .getChildFile ("corvadel-format-tests-" + juce::String ((int) getpid()))
                              .deleteRecursively(); });
        return f;
    }();

    return folder.getFullPathName();
}
#endif

// JUCE 7.0.5's VST 3 hosting opens the bundle on Linux but, on Windows, opens the path it is given
// as the module itself: there it is handed the library inside the bundle.
juce::String vst3ModulePath()
{
   #if JUCE_WINDOWS
    return vst3BundleUnderTest().getChildFile ("Contents")
                                .getChildFile (sizeof (void*) == 8 ? "x86_64-win" : "x86-win")
                                .getChildFile ("Corvadel.vst3")
                                .getFullPathName();
   #else
    return vst3BundleUnderTest().getFullPathName();
   #endif
}

std::unique_ptr<juce::AudioPluginInstance> load (PluginFormat format, double sampleRate, int blockSize)
{
    juce::OwnedArray<juce::PluginDescription> types;
    juce::String error;
    juce::AudioPluginFormat* loader = nullptr;

    if (format == PluginFormat::vst3)
    {
        loader = &vst3Format();
        loader->findAllTypesForFile (types, vst3ModulePath());
    }
    else
    {
       #if JUCE_PLUGINHOST_LV2
        static const bool searched = (lv2Format().searchPathsForPlugins (juce::FileSearchPath (lv2Folder()), true, false), true);
        juce::ignoreUnused (searched);
        loader = &lv2Format();
        loader->findAllTypesForFile (types, CORVADEL_LV2_URI);
       #endif
    }

    if (types.isEmpty())
    {
        ADD_FAILURE() << nameOf (format) << ": the loader found no plug-in in the bundle";
        return nullptr;
    }

    auto instance = loader->createInstanceFromDescription (*types[0], sampleRate, blockSize, error);
    EXPECT_NE (instance, nullptr) << nameOf (format) << ": " << error;
    return instance;
}
}

HostedPlugin::HostedPlugin (PluginFormat format, double sampleRate, int blockSize)
    : pluginFormat (format), rate (sampleRate), maximumBlockSize (blockSize), plugin (load (format, sampleRate, blockSize))
{
    if (plugin == nullptr)
        throw std::runtime_error (nameOf (format) + " plug-in did not load");

    plugin->prepareToPlay (sampleRate, blockSize);
    audio.setSize (std::max (2, plugin->getTotalNumOutputChannels()), blockSize);
    midi.ensureSize (32 * 1024);
}

HostedPlugin::~HostedPlugin()
{
    if (plugin != nullptr)
        plugin->releaseResources();
}

juce::MidiBuffer HostedPlugin::midiOf (const std::vector<PluginHost::InputEvent>& events)
{
    juce::MidiBuffer midi;

    for (const auto& e : events)
    {
        const uint8_t bytes[3] = { e.status, e.data1, e.data2 };
        midi.addEvent (bytes, (e.status & 0xF0) == 0xC0 || (e.status & 0xF0) == 0xD0 ? 2 : 3, e.deltaFrames);
    }

    return midi;
}

std::vector<MidiOut> HostedPlugin::play (const std::vector<PluginHost::InputEvent>& events, int numSamples)
{
    runBlock (midiOf (events), numSamples);

    std::vector<MidiOut> out;

    for (const auto event : midi)
        out.push_back ({ event.samplePosition, event.data[0],
                         event.numBytes > 1 ? event.data[1] : (uint8_t) 0,
                         event.numBytes > 2 ? event.data[2] : (uint8_t) 0 });

    return out;
}

void HostedPlugin::runBlock (const juce::MidiBuffer& events, int numSamples)
{
    midi.clear();
    midi.addEvents (events, 0, -1, 0);
    audio.setSize (audio.getNumChannels(), numSamples, false, false, true);

    // Noise in the outputs: the plug-in must write its silence over it.
    for (int c = 0; c < audio.getNumChannels(); ++c)
        juce::FloatVectorOperations::fill (audio.getWritePointer (c), 0.5f, numSamples);

    plugin->processBlock (audio, midi);
}

float HostedPlugin::outputPeak() const
{
    return audio.getMagnitude (0, audio.getNumSamples());
}

juce::MemoryBlock HostedPlugin::hostState()
{
    juce::MemoryBlock state;
    plugin->getStateInformation (state);
    return state;
}

void HostedPlugin::restoreHostState (const juce::MemoryBlock& state)
{
    plugin->setStateInformation (state.getData(), (int) state.getSize());
}

std::unique_ptr<juce::AudioProcessorEditor> HostedPlugin::openEditorIn (void* hostWindow)
{
    std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());

    if (editor != nullptr)
    {
        editor->setTopLeftPosition (0, 0);
        editor->addToDesktop (0, hostWindow);
        editor->setVisible (true);
    }

    return editor;
}

void HostedPlugin::closeEditor (std::unique_ptr<juce::AudioProcessorEditor>& editor)
{
    if (editor == nullptr)
        return;

    plugin->editorBeingDeleted (editor.get());
    editor.reset();
}

std::vector<uint8_t> HostedPlugin::vst3ComponentStream()
{
    const auto stream = StateCodec::vst3ComponentStream (hostState());
    EXPECT_TRUE (stream.has_value()) << "the VST 3 host state holds the component's stream";
    return stream.value_or (std::vector<uint8_t>{});
}

void HostedPlugin::loadVst3ComponentStream (const std::vector<uint8_t>& stream)
{
    restoreHostState (StateCodec::vst3HostStateWith (hostState(), stream));
}

std::vector<uint8_t> HostedPlugin::saveGrid()
{
    if (pluginFormat == PluginFormat::vst3)
    {
        const auto bytes = StateCodec::withoutVst3ClientTrailer (vst3ComponentStream());
        EXPECT_TRUE (bytes.has_value()) << "the component's stream ends in the client's trailer";
        return bytes.value_or (std::vector<uint8_t>{});
    }

    const auto state = hostState();

    const auto bytes = StateCodec::lv2StateBytes (state);
    EXPECT_TRUE (bytes.has_value()) << "the LV2 state holds the plug-in's StateString";
    return bytes.value_or (std::vector<uint8_t>{});
}

void HostedPlugin::loadGrid (const std::vector<uint8_t>& grid)
{
    const auto current = hostState();
    restoreHostState (pluginFormat == PluginFormat::vst3 ? StateCodec::vst3HostStateWith (current, grid)
                                                         : StateCodec::lv2HostStateWith (current, grid));
}

void HostedPlugin::suspendAndResume()
{
    plugin->releaseResources();
    plugin->prepareToPlay (rate, maximumBlockSize);
}

bool HostedPlugin::setBypassed (bool bypassed)
{
    auto* bypass = plugin->getBypassParameter();

    if (bypass == nullptr)
        return false;

    bypass->setValueNotifyingHost (bypassed ? 1.0f : 0.0f);
    return true;
}

// The LV2 editor in a host that installs no X error handler at all, on an X server without a
// window manager: Xlib's default handler ends such a host at the first X error that reaches it.
// The host is written against LV2's C interface alone (no framework of its own, so no X traffic
// but its plain window's): it loads the bundle's library, makes an instance, and builds the
// plug-in's X11 UI into its window, idling it through the UI's idle interface, ten times, clicking
// a note into each. Once the plug-in's instances are gone, Xlib's default handler is the one in force
// again.

#include "tests/display/XHostWindow.h"
#include "tests/formats/TenEditorsScenario.h"
#include "tests/support/PluginHost.h"

#include <gtest/gtest.h>

#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <dlfcn.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
const std::string bundle = CORVADEL_LV2_BUNDLE "/";
const std::string pluginUri = CORVADEL_LV2_URI;

// URIDs: each URI's number is its place in the list, from 1.
std::vector<std::string> mappedUris;

LV2_URID mapUri (LV2_URID_Map_Handle, const char* uri)
{
    for (size_t i = 0; i < mappedUris.size(); ++i)
        if (mappedUris[i] == uri)
            return (LV2_URID) (i + 1);

    mappedUris.emplace_back (uri);
    return (LV2_URID) mappedUris.size();
}

// The plug-in's StateString, in JUCE's base64 ("SIZE." and 6-bit groups, lowest bits first).
std::vector<uint8_t> decodeJuceBase64 (const std::string& text)
{
    static const std::string alphabet = ".ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+";
    const auto dot = text.find ('.');

    if (dot == std::string::npos)
        return {};

    const size_t size = std::stoul (text.substr (0, dot));
    std::vector<uint8_t> bytes;
    uint32_t accumulator = 0;
    int bits = 0;

    for (size_t i = dot + 1; i < text.size() && bytes.size() < size; ++i)
    {
        accumulator |= (uint32_t) alphabet.find (text[i]) << bits;
        bits += 6;

        if (bits >= 8)
        {
            bytes.push_back ((uint8_t) (accumulator & 0xFF));
            accumulator >>= 8;
            bits -= 8;
        }
    }

    return bytes;
}

class BareLv2Host : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (XHostWindow::displayAvailable()) << "this test needs an X server (run it under xvfb-run)";
        ASSERT_TRUE (XHostWindow::xlibDefaultHandlerInstalled()) << "this host installs no X error handler";
        window = std::make_unique<XHostWindow> (900, 900);
        ASSERT_FALSE (window->windowManagerRunning()) << "this test is about an X server without a window manager";

        library = dlopen ((bundle + "libCorvadel.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE (library, nullptr) << dlerror();
        const auto pluginEntry = reinterpret_cast<LV2_Descriptor_Function> (dlsym (library, "lv2_descriptor"));
        const auto uiEntry = reinterpret_cast<LV2UI_DescriptorFunction> (dlsym (library, "lv2ui_descriptor"));
        ASSERT_TRUE (pluginEntry != nullptr && uiEntry != nullptr);
        plugin = pluginEntry (0);
        ui = uiEntry (0);
        ASSERT_TRUE (plugin != nullptr && ui != nullptr);
        ASSERT_EQ (std::string (plugin->URI), pluginUri);

        options[0] = { LV2_OPTIONS_INSTANCE, 0, mapUri (nullptr, LV2_BUF_SIZE__maxBlockLength), sizeof (int32_t),
                       mapUri (nullptr, "http://lv2plug.in/ns/ext/atom#Int"), &maxBlockLength };
        options[1] = { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr };
        const LV2_Feature* features[] = { &mapFeature, &optionsFeature, &boundedFeature, nullptr };
        instance = plugin->instantiate (plugin, 48000.0, bundle.c_str(), features);
        ASSERT_NE (instance, nullptr);
    }

    void TearDown() override
    {
        closeUi();

        if (instance != nullptr)
            plugin->cleanup (instance);

        EXPECT_TRUE (XHostWindow::xlibDefaultHandlerInstalled()) << "the plug-in left an X error handler behind";

        if (library != nullptr)
            dlclose (library);

        window.reset();
    }

    void openUi()
    {
        LV2_Feature parent { LV2_UI__parent, reinterpret_cast<void*> (window->windowId()) };
        LV2_Feature access { LV2_INSTANCE_ACCESS_URI, instance };
        LV2_Feature idle { LV2_UI__idleInterface, nullptr };
        const LV2_Feature* features[] = { &mapFeature, &optionsFeature, &parent, &access, &idle, nullptr };
        LV2UI_Widget widget = nullptr;
        uiHandle = ui->instantiate (ui, pluginUri.c_str(), bundle.c_str(), [] (auto...) {}, nullptr, &widget, features);
        ASSERT_NE (uiHandle, nullptr);
        idleInterface = static_cast<const LV2UI_Idle_Interface*> (ui->extension_data (LV2_UI__idleInterface));
        ASSERT_NE (idleInterface, nullptr);
    }

    void closeUi()
    {
        if (uiHandle == nullptr)
            return;

        ui->cleanup (uiHandle);
        uiHandle = nullptr;
    }

    void idleOnce()
    {
        if (uiHandle != nullptr)
            idleInterface->idle (uiHandle);
    }

    std::vector<uint8_t> savedState()
    {
        const auto* state = static_cast<const LV2_State_Interface*> (plugin->extension_data (LV2_STATE__interface));

        if (state == nullptr)
            return {};

        std::string text;
        const LV2_Feature* features[] = { &mapFeature, nullptr };
        state->save (instance, [] (LV2_State_Handle handle, uint32_t, const void* value, size_t size, uint32_t, uint32_t) {
            static_cast<std::string*> (handle)->assign (static_cast<const char*> (value), strnlen (static_cast<const char*> (value), size));
            return LV2_STATE_SUCCESS;
        }, &text, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features);
        return decodeJuceBase64 (text);
    }

    std::unique_ptr<XHostWindow> window;
    void* library = nullptr;
    const LV2_Descriptor* plugin = nullptr;
    const LV2UI_Descriptor* ui = nullptr;
    LV2_Handle instance = nullptr;
    LV2UI_Handle uiHandle = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;

    LV2_URID_Map map { nullptr, mapUri };
    LV2_Feature mapFeature { LV2_URID__map, &map };
    int32_t maxBlockLength = 512;
    LV2_Options_Option options[2] {};
    LV2_Feature optionsFeature { LV2_OPTIONS__options, options };
    LV2_Feature boundedFeature { LV2_BUF_SIZE__boundedBlockLength, nullptr };
};
}

TEST_F (BareLv2Host, TenEditorsOpenShowTheirColoursTakeAClickAndClose)
{
    const auto clicked = runTenEditors (*window, { [this] { openUi(); }, [this] { closeUi(); }, [this] { idleOnce(); } });
    EXPECT_EQ (savedState(), makeGridChunk ({ clicked, {} })) << "the state holds what was clicked";
}

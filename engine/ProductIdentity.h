#pragma once

#include <cstdint>

// Who the plug-in says it is: to hosts (names, version, identifier) and on its own window (the
// title line and the vendor's link). Changed here, it changes everywhere.
namespace ProductIdentity
{
constexpr const char* name = "Corvadel";
constexpr const char* vendor = "Vantrelle";
constexpr const char* versionText = "1.0";
// The version hosts are told: 1.0 as major × 1000.
constexpr int32_t vendorVersion = 1000;
// The four characters D, G, E, 4, as hosts file the plug-in.
constexpr int32_t uniqueId = 0x44474534;
constexpr const char* webLinkText = "vantrelle.com/corvadel";
constexpr const char* webAddress = "https://vantrelle.com/corvadel";

// The VST 3 and LV2 plug-ins' identities, read from here by the build. Saved projects find the
// plug-in by them: they never change. The VST 3 class ids are derived from the two codes (the
// plug-in code is the VST 2 identifier's four characters); the LV2 URI names the plug-in in every
// LV2 host's saved sessions.
constexpr const char* manufacturerCode = "Vntl";
constexpr const char* pluginCode = "DGE4";
constexpr const char* lv2Uri = "https://vantrelle.com/plugins/corvadel";
constexpr const char* vendorWebsite = "https://vantrelle.com";
constexpr const char* vendorEmail = "plugins@vantrelle.com";
constexpr const char* description = "Steps through a grid of chords with the sustain pedal";
}

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
}

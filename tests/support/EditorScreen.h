#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

// What the editor paints where, as a host's window shows it, and the host's loop that waits for
// it. Shared by the tests that read the editor's pixels back from a real window (X11 or Win32).
namespace EditorScreen
{
constexpr uint32_t background = 0x777777;
constexpr uint32_t lightStrip = 0x999999;
constexpr uint32_t darkStrip = 0x222222;
constexpr uint32_t whiteKey = 0xFFFFF0;
constexpr uint32_t idleCRow = 0xA0D2A0;
constexpr uint32_t onCell = 0x7FFFD4;
constexpr uint32_t playingOnCell = 0xFF0000;

// Column 0 of the grid lies at x 40..103 of the editor, each next column 65 pixels further right;
// note n's row starts at y 10 + (127 - n) × 6.
constexpr int column0X = 70;
constexpr int columnSpacing = 65;
constexpr int rowY (int note) { return 10 + (127 - note) * 6 + 3; }

// Runs the host's loop (hostLoopOnce) every stepMs until shown() holds or the time is up;
// answers whether it came to hold.
inline bool loopUntil (const std::function<void()>& hostLoopOnce, const std::function<bool()>& shown,
                       int milliseconds = 3000, int stepMs = 10)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds (milliseconds);

    while (std::chrono::steady_clock::now() < deadline)
    {
        hostLoopOnce();

        if (shown())
            return true;

        std::this_thread::sleep_for (std::chrono::milliseconds (stepMs));
    }

    return false;
}

// A host's display scale and the player's zoom, and the editor's size, as the host's window
// holds it, under their product.
struct ScaleCase { float hostScale; int zoom; int width, height; };
constexpr ScaleCase scaleCases[] = { { 1.5f, 100, 1050, 1200 }, { 2.0f, 100, 1400, 1600 },
                                     { 1.0f, 150, 1050, 1200 }, { 1.5f, 150, 1575, 1800 } };

// Chooses the player's zoom for the editors opened from now on, as the editor's menu keeps it: in
// the preference file under XDG_CONFIG_HOME, which the test runner points into the build folder.
inline bool choosePlayersZoom (int percent)
{
    const char* configHome = std::getenv ("XDG_CONFIG_HOME");

    if (configHome == nullptr || *configHome != '/')
        return false;

    const auto folder = std::filesystem::path (configHome) / "corvadel";
    std::filesystem::create_directories (folder);
    std::ofstream (folder / "editor.settings") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><PROPERTIES>"
                                                  "<VALUE name=\"zoomPercent\" val=\"" << percent << "\"/></PROPERTIES>";
    return true;
}

inline void loopFor (const std::function<void()>& hostLoopOnce, int milliseconds, int stepMs = 10)
{
    loopUntil (hostLoopOnce, [] { return false; }, milliseconds, stepMs);
}
}

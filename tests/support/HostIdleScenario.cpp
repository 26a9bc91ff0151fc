#include "tests/support/HostIdleScenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

void expectHostIdleOnlyWhileAButtonIsHeld (PluginHost& host, AEffect* effect,
                                           const std::function<void (int)>& idleFor,
                                           const std::function<void()>& pressButton,
                                           const std::function<void()>& releaseButton)
{
    std::vector<std::chrono::steady_clock::time_point> idleCalls;
    std::atomic<int> depth { 0 }, deepest { 0 };
    VstIntPtr nestedAnswer = -1;

    host.answerOverride = [&] (const HostRequest& request) -> std::optional<VstIntPtr>
    {
        if (request.opcode != audioMasterIdle)
            return std::nullopt;

        idleCalls.push_back (std::chrono::steady_clock::now());
        deepest = std::max (deepest.load(), ++depth);
        // A host's idle handler idles its plug-ins' editors: this one must not re-enter.
        nestedAnswer = host.dispatch (effect, effEditIdle);
        --depth;
        return 0;
    };

    idleFor (400);
    EXPECT_TRUE (idleCalls.empty()) << "no button held, no idle calls";

    pressButton();
    idleFor (600);
    releaseButton();

    EXPECT_GE (idleCalls.size(), 3u);
    EXPECT_EQ (nestedAnswer, 0);
    EXPECT_EQ (deepest.load(), 1);

    for (size_t i = 1; i < idleCalls.size(); ++i)
        EXPECT_GE (std::chrono::duration_cast<std::chrono::milliseconds> (idleCalls[i] - idleCalls[i - 1]).count(), 20);

    idleFor (100);
    const auto afterRelease = idleCalls.size();
    idleFor (400);
    EXPECT_EQ (idleCalls.size(), afterRelease) << "released: no more idle calls";
    host.answerOverride = nullptr;
}

// The instrument's two audio outputs are silent: a replacing block overwrites them whatever the
// host's buffers held; an accumulating block adds nothing.

#include "tests/plugin/PluginFixture.h"

#include <algorithm>

using AudioOutputTest = PluginTest;

TEST_F (AudioOutputTest, ReplacingBlocksWriteSilenceAndAccumulatingBlocksAddNothing)
{
    struct Case
    {
        const char* name;
        bool replacing;
        bool inPlace;  // the host hands the same buffers in and out
        float expected;
    };

    const Case cases[] {
        { "replacing", true, false, 0.0f },
        { "replacing in place", true, true, 0.0f },
        { "accumulating", false, false, 0.5f },
    };

    auto* effect = createPlaying();
    host->setChunk (effect, makeGridChunk ({ { { { 60, 100 } } } }));

    for (const auto& c : cases)
    {
        constexpr int frames = 256;
        std::vector<float> inLeft (frames, 0.25f), inRight (frames, 0.25f);
        std::vector<float> outLeft (frames, 0.5f), outRight (frames, 0.5f);
        float* inputs[] = { inLeft.data(), inRight.data() };
        float* outputs[] = { outLeft.data(), outRight.data() };
        float** in = c.inPlace ? outputs : inputs;

        // A press in the block: the notes go out, the audio stays as it must.
        host->deliverEvents (effect, { pedalDown (3), pedalUp (4) });

        if (c.replacing)
            effect->processReplacing (effect, in, outputs, frames);
        else
            effect->process (effect, in, outputs, frames);

        EXPECT_FALSE (host->takeSentMidi().empty()) << c.name;

        for (const auto* channel : { &outLeft, &outRight })
            EXPECT_TRUE (std::all_of (channel->begin(), channel->end(), [&] (float s) { return s == c.expected; })) << c.name;

        EXPECT_EQ (inLeft[0], 0.25f) << c.name << ": the input is the host's";
    }
}

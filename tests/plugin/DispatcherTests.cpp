// The dispatcher's answers as the host sees them through the record.

#include "tests/plugin/PluginFixture.h"

#include <cstdlib>
#include <cstring>

using DispatcherTest = PluginTest;

namespace
{
std::string textAnswer (PluginHost& host, AEffect* effect, VstInt32 opcode, VstInt32 index = 0)
{
    char buffer[128];
    std::memset (buffer, 'x', sizeof (buffer));
    host.dispatch (effect, opcode, index, 0, buffer);
    buffer[sizeof (buffer) - 1] = 0;
    return buffer;
}
}

TEST_F (DispatcherTest, IdentityAnswers)
{
    auto* effect = host->createInstance();
    char text[80] = {};

    EXPECT_EQ (host->dispatch (effect, effGetEffectName, 0, 0, text), 1);
    EXPECT_STREQ (text, "Corvadel");
    EXPECT_EQ (host->dispatch (effect, effGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ (text, "Vantrelle");
    EXPECT_EQ (host->dispatch (effect, effGetProductString, 0, 0, text), 1);
    EXPECT_STREQ (text, "Corvadel");
    EXPECT_EQ (host->dispatch (effect, effGetVendorVersion), 1000);
    EXPECT_EQ (host->dispatch (effect, effGetPlugCategory), kPlugCategSynth);
    EXPECT_EQ (host->dispatch (effect, effGetVstVersion), 2300);
    EXPECT_EQ (host->dispatch (effect, effIdentify), 0x4E764566);
}

TEST_F (DispatcherTest, CapabilityAnswers)
{
    auto* effect = host->createInstance();
    const auto canDo = [&] (const char* what)
    {
        std::string text = what;
        return host->dispatch (effect, effCanDo, 0, 0, text.data());
    };

    EXPECT_EQ (canDo ("receiveVstEvents"), 1);
    EXPECT_EQ (canDo ("receiveVstMidiEvents"), 1);
    EXPECT_EQ (canDo ("sendVstEvents"), 1);
    EXPECT_EQ (canDo ("sendVstMidiEvent"), 1);
    EXPECT_EQ (canDo ("receiveVstTimeInfo"), 1);
    EXPECT_EQ (canDo ("conformsToWindowRules"), 1);
    EXPECT_EQ (canDo ("ReceiveVstEvents"), 0);
    EXPECT_EQ (canDo ("receiveVstEvents "), 0);
    EXPECT_EQ (canDo ("bypass"), 0);
}

TEST_F (DispatcherTest, KeyboardIsWantedSoTheAnswerIsZero)
{
    auto* effect = host->createInstance();
    EXPECT_EQ (host->dispatch (effect, effKeysRequired), 0);
}

TEST_F (DispatcherTest, NoParametersAndNoPrograms)
{
    auto* effect = host->createInstance();

    EXPECT_EQ (textAnswer (*host, effect, effGetParamName, 0), "Unknown ");
    EXPECT_EQ (textAnswer (*host, effect, effGetParamDisplay, 3), "Unknown Parameter");
    EXPECT_EQ (textAnswer (*host, effect, effGetParamLabel, 0), "");
    EXPECT_EQ (textAnswer (*host, effect, effGetProgramName), "Unknown Program");
    EXPECT_EQ (effect->getParameter (effect, 0), 0.0f);
    effect->setParameter (effect, 0, 0.5f);
    EXPECT_EQ (effect->getParameter (effect, 0), 0.0f);
    EXPECT_EQ (host->dispatch (effect, effGetProgram), 0);

    char untouched[32] = "untouched";
    EXPECT_EQ (host->dispatch (effect, effGetProgramNameIndexed, 0, 0, untouched), 0);
    EXPECT_STREQ (untouched, "untouched");
    EXPECT_EQ (host->dispatch (effect, effGetProgramNameIndexed, -1, 0, untouched), 0);

    host->dispatch (effect, effSetProgram, 0, -1);
    EXPECT_EQ (host->dispatch (effect, effGetProgram), 0);
}

TEST_F (DispatcherTest, BaseAnswersReachTheHost)
{
    auto* effect = host->createInstance();

    for (VstInt32 opcode : { 77, 1000, -1, (int) effEditDraw, (int) effEditKeyDown, (int) effGetTailSize })
        EXPECT_EQ (host->dispatch (effect, opcode), 0) << "opcode " << opcode;

    EXPECT_EQ (host->dispatch (effect, effCanBeAutomated, 12345), 1);
    EXPECT_EQ (host->dispatch (effect, effGetNumProgramCategories), 1);
    EXPECT_EQ (host->dispatch (effect, effGetCurrentMidiProgram), -1);
    EXPECT_EQ (host->dispatch (effect, effSetTotalSampleToProcess, 0, 12345), 12345);
    EXPECT_EQ (host->dispatch (effect, effConnectInput, 0, 1), 1);
    EXPECT_EQ (host->dispatch (effect, effSetBlockSizeAndSampleRate, 0, 512, nullptr, 48000.0f), 1);
    EXPECT_EQ (host->dispatch (effect, effGetVu), 0);

    VstSpeakerArrangement dummy {};
    VstSpeakerArrangement* input = &dummy;
    VstSpeakerArrangement* output = &dummy;
    EXPECT_EQ (host->dispatch (effect, effGetSpeakerArrangement, 0, (VstIntPtr) &input, &output), 0);
    EXPECT_EQ (input, nullptr);
    EXPECT_EQ (output, nullptr);
}

TEST_F (DispatcherTest, NullPointersFromTheHostGetNeutralAnswers)
{
    auto* effect = createPlaying();

    for (VstInt32 opcode : { (int) effSetProgramName, (int) effGetProgramName, (int) effGetParamLabel,
                             (int) effGetParamDisplay, (int) effGetParamName, (int) effGetChunk,
                             (int) effSetChunk, (int) effProcessEvents, (int) effGetProgramNameIndexed,
                             (int) effGetEffectName, (int) effGetVendorString, (int) effGetProductString,
                             (int) effCanDo, (int) effString2Parameter, (int) effShellGetNextPlugin })
        EXPECT_EQ (host->dispatch (effect, opcode, 0, 100, nullptr), 0) << "opcode " << opcode;

    VstSpeakerArrangement* onlyOne = nullptr;
    EXPECT_EQ (host->dispatch (effect, effGetSpeakerArrangement, 0, 0, &onlyOne), 0);
    EXPECT_EQ (host->dispatch (effect, effGetSpeakerArrangement, 0, (VstIntPtr) &onlyOne, nullptr), 0);

    // Still alive and playing after all of that.
    EXPECT_TRUE (host->processBlock (effect, { pedalDown (0) }).empty());
}

TEST_F (DispatcherTest, EditorRequestsWithoutAWindowToOpenInAreRefusedSafely)
{
    auto* effect = createPlaying();
    EXPECT_EQ (host->dispatch (effect, effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ (host->dispatch (effect, effEditIdle), 0);
    EXPECT_EQ (host->dispatch (effect, effEditClose), 0);
    EXPECT_EQ (host->dispatch (effect, effEditClose), 0);

    ERect* rect = nullptr;
    EXPECT_NE (host->dispatch (effect, effEditGetRect, 0, 0, &rect), 0);
    ASSERT_NE (rect, nullptr);
    EXPECT_EQ (rect->bottom, 800);
    EXPECT_EQ (rect->right, 700);
}

TEST_F (DispatcherTest, OpeningTheEditorWithNoXServerIsRefused)
{
    if (std::getenv ("DISPLAY") != nullptr)
        GTEST_SKIP() << "an X server may answer; the display tests cover opening";

    auto* effect = createPlaying();
    host->setChunk (effect, makeGridChunk ({ { { { 60, 100 } } } }));
    EXPECT_EQ (host->dispatch (effect, effEditOpen, 0, 0, reinterpret_cast<void*> (0x1234)), 0);
    EXPECT_EQ (host->dispatch (effect, effEditIdle), 0);
    const auto sent = host->processBlock (effect, { pedalDown (0) });
    ASSERT_EQ (sent.size(), 1u) << "the pedal still steps the restored grid";
    EXPECT_EQ (sent[0].note(), 60);
    EXPECT_EQ (host->dispatch (effect, effEditClose), 0);
}

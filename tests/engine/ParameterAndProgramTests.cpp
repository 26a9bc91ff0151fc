// The filter base's parameter registry and program list, and their state format.

#include "tests/engine/TestFilter.h"

#include <gtest/gtest.h>

namespace
{
class RecordingCallbacks : public AudioFilterBase::FilterNativeCallbacks
{
public:
    bool getPlayPosition (PlayPositionInfo&) override { return false; }
    void reportParameterChange (int index, float value) override { reported.push_back ({ index, value }); }
    std::vector<std::pair<int, float>> reported;
};

class CountingListener : public juce::ChangeListener
{
public:
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++changes; }
    int changes = 0;
};

void pumpMessages()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
}
}

TEST (ParameterRegistry, NormalisesOverEachParametersRange)
{
    TestFilter filter;
    EXPECT_EQ (filter.getParameterCount(), 3);
    EXPECT_FLOAT_EQ (filter.getParameterValue (0), 0.5f);
    EXPECT_FLOAT_EQ (filter.getParameterValue (2), 0.5f);

    filter.setParameterValue (1, 0.25f);
    EXPECT_FLOAT_EQ (filter.cutoff, 5020.0f);
    EXPECT_EQ (filter.getParameterValueText (1), "5020");
    filter.setParameterValue (0, 0.25f);
    EXPECT_EQ (filter.getParameterValueText (0), "0.5");
    EXPECT_EQ (filter.getParameterNameText (1), "Cutoff frequency");
}

TEST (ParameterRegistry, IndexesThatNameNothingAreNeutral)
{
    TestFilter filter;
    CountingListener listener;
    filter.getParameterManager().addChangeListener (&listener);

    for (int index : { -1, 3, 1000 })
    {
        EXPECT_EQ (filter.getParameterValue (index), 0.0f);
        EXPECT_EQ (filter.getParameterNameText (index), "Unknown Parameter");
        EXPECT_EQ (filter.getParameterValueText (index), "Unknown Parameter");
        filter.setParameterValue (index, 0.9f);
    }

    pumpMessages();
    EXPECT_EQ (listener.changes, 0);
    EXPECT_EQ (filter.gain, 1.0f);
    filter.getParameterManager().removeChangeListener (&listener);
}

TEST (ParameterRegistry, PlainChangesReachTheHostNormalised)
{
    TestFilter filter;
    RecordingCallbacks callbacks;
    filter.setHostCallbacks (&callbacks);

    filter.getParameterManager().setPlainValue (2, 0.5f);
    ASSERT_EQ (callbacks.reported.size(), 1u);
    EXPECT_EQ (callbacks.reported[0].first, 2);
    EXPECT_FLOAT_EQ (callbacks.reported[0].second, 0.75f);
    EXPECT_FLOAT_EQ (filter.mix, 0.5f);
}

TEST (ParameterRegistry, WithoutAHostTheFilterSetsItself)
{
    TestFilter filter;
    filter.setParameterViaHost (0, 1.0f);
    EXPECT_FLOAT_EQ (filter.gain, 2.0f);
}

TEST (ParameterRegistry, LoadingStopsAtTheLastWholeValue)
{
    TestFilter filter;
    CountingListener listener;
    filter.getParameterManager().addChangeListener (&listener);

    const float values[] = { 1.5f, 99.0f };
    filter.getParameterManager().loadValues (values, 6);

    EXPECT_FLOAT_EQ (filter.gain, 1.5f);
    EXPECT_FLOAT_EQ (filter.cutoff, 1000.0f);
    pumpMessages();
    EXPECT_GE (listener.changes, 1);
    filter.getParameterManager().removeChangeListener (&listener);
}

TEST (ProgramList, EmptyListAndUnknownPrograms)
{
    TestFilter filter;
    EXPECT_EQ (filter.getProgramCount(), 0);
    EXPECT_EQ (filter.getCurrentProgramIndex(), -1);
    EXPECT_EQ (filter.getProgramNameText (0), "Unknown Program");
    filter.selectProgram (0);
    filter.renameProgram (0, "x");
    EXPECT_EQ (filter.getCurrentProgramIndex(), -1);

    juce::MemoryBlock state;
    filter.saveState (state);
    EXPECT_EQ (state, juce::MemoryBlock ("\0\0\0\0", 4));
}

TEST (ProgramList, SelectingKeepsTheValuesOfTheProgramLeft)
{
    TestFilter filter;
    filter.addProgram ("Soft", { 0.5f, 500.0f, -0.5f });
    filter.addProgram ("Loud", { 2.0f, 8000.0f, 1.0f });
    filter.setCurrentProgram (0);

    filter.gain = 0.75f;
    filter.selectProgram (1);
    EXPECT_EQ (filter.getCurrentProgramIndex(), 1);
    EXPECT_FLOAT_EQ (filter.gain, 2.0f);

    filter.selectProgram (0);
    EXPECT_FLOAT_EQ (filter.gain, 0.75f) << "the edit made in program 0 was kept when it was left";

    filter.selectProgram (-4);
    EXPECT_EQ (filter.getCurrentProgramIndex(), 0);
    filter.selectProgram (2);
    EXPECT_EQ (filter.getCurrentProgramIndex(), 0);
}

TEST (ProgramList, StateRoundTripsAndCutsLongNames)
{
    TestFilter filter;
    const juce::String longName ("A program name of exactly forty letters!");
    ASSERT_EQ (longName.length(), 40);
    filter.addProgram (longName, { 0.25f, 440.0f, 0.0f });
    filter.addProgram ("Second", { 1.0f, 20.0f, 1.0f });
    filter.setCurrentProgram (1);
    filter.cutoff = 333.0f;

    juce::MemoryBlock state;
    filter.saveState (state);
    const auto* bytes = static_cast<const char*> (state.getData());
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes), 2u);
    EXPECT_EQ (juce::String (bytes + 4), longName.substring (0, 31));
    EXPECT_EQ (bytes[4 + 31], 0);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes + 36), 12u);

    TestFilter restored;
    restored.setCurrentProgram (1);
    restored.restoreState (state.getData(), (int) state.getSize());
    EXPECT_EQ (restored.getProgramCount(), 2);
    EXPECT_EQ (restored.getProgramNameText (0), longName.substring (0, 31));
    EXPECT_FLOAT_EQ (restored.cutoff, 333.0f) << "saving stores the present values in the current program";
    EXPECT_FLOAT_EQ (restored.gain, 1.0f);
}

TEST (ProgramList, IncompleteRecordsAreDroppedAndNothingIsReadPastTheSize)
{
    TestFilter filter;
    filter.addProgram ("One", { 0.5f, 100.0f, 0.0f });
    filter.addProgram ("Two", { 1.5f, 200.0f, 0.0f });
    juce::MemoryBlock state;
    filter.saveState (state);

    for (size_t cut = 0; cut < state.getSize(); ++cut)
    {
        TestFilter restored;
        restored.restoreState (state.getData(), (int) cut);
        const int expectedPrograms = cut >= 4 + 4 + 4 + 12 ? 1 : 0;
        EXPECT_EQ (restored.getProgramCount(), expectedPrograms) << "cut at " << cut;
    }
}

TEST (ProgramList, NamesOutsideAsciiRoundTripWhateverTheLocale)
{
    // The test process runs in the C locale, as many hosts do.
    TestFilter filter;
    const auto name = juce::String::fromUTF8 ("Crème brûlée ♯ – 夜曲");
    filter.addProgram (name, { 0.5f, 100.0f, 0.0f });
    filter.addProgram (juce::String::fromUTF8 ("ééééééééééééééééé"), { 0.5f, 100.0f, 0.0f });  // 34 bytes

    juce::MemoryBlock state;
    filter.saveState (state);
    TestFilter restored;
    restored.restoreState (state.getData(), (int) state.getSize());

    ASSERT_EQ (restored.getProgramCount(), 2);
    EXPECT_EQ (restored.getProgramNameText (0), name);
    EXPECT_EQ (restored.getProgramNameText (1), juce::String::fromUTF8 ("ééééééééééééééé")) << "cut between characters";
}

#pragma once

#include "bridge/AudioFilterBase.h"
#include "engine/PluginParameterManager.h"
#include "engine/ProgramList.h"

#include <juce_events/juce_events.h>

#include <memory>

// The filter contract's parameter and program side, built on a parameter registry and a program
// list; the default state saves and restores the program list.
class QuorFilterBase : public AudioFilterBase, public juce::MessageListener
{
public:
    QuorFilterBase();
    ~QuorFilterBase() override;

    int getParameterCount() override;
    juce::String getParameterNameText (int index) override;
    float getParameterValue (int index) override;
    juce::String getParameterValueText (int index) override;
    void setParameterValue (int index, float normalisedValue) override;

    int getProgramCount() override;
    int getCurrentProgramIndex() override;
    void selectProgram (int index) override;
    juce::String getProgramNameText (int index) override;
    void renameProgram (int index, const juce::String& newName) override;

    void saveState (juce::MemoryBlock& destination) override;
    void restoreState (const void* data, int sizeInBytes) override;

    PluginParameterManager& getParameterManager() noexcept { return *parameterManager; }
    ProgramList& getPrograms() noexcept { return programs; }

protected:
    std::unique_ptr<PluginParameterManager> parameterManager;
    ProgramList programs;
    int currentProgram = -1;
};

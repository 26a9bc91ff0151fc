#include "engine/QuorFilterBase.h"

QuorFilterBase::QuorFilterBase() : parameterManager (std::make_unique<PluginParameterManager> (this))
{
}

QuorFilterBase::~QuorFilterBase()
{
    parameterManager.reset();
}

int QuorFilterBase::getParameterCount()                        { return parameterManager->parameterCount(); }
juce::String QuorFilterBase::getParameterNameText (int index)  { return parameterManager->getName (index); }
float QuorFilterBase::getParameterValue (int index)            { return parameterManager->getNormalisedValue (index); }
juce::String QuorFilterBase::getParameterValueText (int index) { return parameterManager->getValueText (index); }

void QuorFilterBase::setParameterValue (int index, float normalisedValue)
{
    parameterManager->setNormalisedValue (index, normalisedValue);
}

int QuorFilterBase::getProgramCount()                        { return programs.size(); }
int QuorFilterBase::getCurrentProgramIndex()                 { return currentProgram; }
juce::String QuorFilterBase::getProgramNameText (int index)  { return programs.nameOfProgram (index); }

void QuorFilterBase::renameProgram (int index, const juce::String& newName)
{
    programs.setNameOfProgram (index, newName);
}

void QuorFilterBase::selectProgram (int index)
{
    if (index >= programs.size() || index == currentProgram)
        return;

    // The program being left keeps the values it had when it was left.
    programs.storeCurrentValues (currentProgram, *parameterManager);

    if (auto* values = programs.dataOfProgram (index))
    {
        parameterManager->loadValues (values->getData(), (int) values->getSize());
        currentProgram = index;
    }
}

void QuorFilterBase::saveState (juce::MemoryBlock& destination)
{
    programs.storeCurrentValues (currentProgram, *parameterManager);
    programs.writePrograms (destination);
}

void QuorFilterBase::restoreState (const void* data, int sizeInBytes)
{
    programs.clear();
    programs.readPrograms (data, sizeInBytes);

    if (auto* values = programs.dataOfProgram (currentProgram))
        parameterManager->loadValues (values->getData(), (int) values->getSize());
}

#include "bridge/AudioFilterBase.h"

#include "bridge/AudioFilterEditor.h"

void AudioFilterBase::setHostCallbacks (FilterNativeCallbacks* callbacks)
{
    hostCallbacks = callbacks;
    fillFilterProperties (properties);
}

void AudioFilterBase::setParameterViaHost (int index, float normalisedValue)
{
    if (hostCallbacks != nullptr)
        hostCallbacks->reportParameterChange (index, normalisedValue);
    else
        setParameterValue (index, normalisedValue);
}

AudioFilterEditor* AudioFilterBase::createAndTrackEditor()
{
    auto* editor = createFilterEditor();

    if (editor != nullptr)
    {
        const juce::ScopedLock sl (filterLock);
        activeEditor = editor;
    }

    return editor;
}

void AudioFilterBase::forgetEditor (AudioFilterEditor* editor)
{
    const juce::ScopedLock sl (filterLock);

    if (editor != nullptr && activeEditor == editor)
        activeEditor = nullptr;
}

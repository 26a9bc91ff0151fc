#include "editor/DemoEditorComponent.h"

#include "engine/Corvadel.h"
#include "engine/ProductIdentity.h"

namespace
{
    constexpr int editorWidth = 700;
    constexpr int editorHeight = 800;
    constexpr int gridHeight = 768;

    const juce::Colour backgroundColour (0xFF777777);
    const juce::Colour lightBorderColour (0xFF999999);
    const juce::Colour darkBorderColour (0xFF222222);
    const juce::Colour textColour (0xFFBBBBBB);
}

DemoEditorComponent::DemoEditorComponent (Corvadel& filter)
    : AudioFilterEditor (&filter),
      trigger (filter)
{
    setLookAndFeel (&lookAndFeel);
    setSize (editorWidth, editorHeight);

    createGrid();
    createKeyboard();

    const int w = getWidth();
    const int h = getHeight();
    addButton = createButton ("Add", { w - 35, 8, 30, h - 82 },
                              juce::Colour (0xFF97EEFB), juce::Colour (0xFF11FF33));
    stopButton = createButton ("Stop", { w - 35, h - 71, 30, 45 },
                               juce::Colour (0xFFEE97FB), juce::Colour (0xFFFF1133));

    createTitle();
    createWebLink();

    // Last, so that a restored state replaces the two fresh columns.
    trigger.applyRestoredState (*grid);
}

DemoEditorComponent::~DemoEditorComponent()
{
    setLookAndFeel (nullptr);
}

void DemoEditorComponent::createGrid()
{
    grid = new PianoGrid (1, &trigger.filterLock);
    grid->setBounds (0, 0, grid->getWidth(), gridHeight);

    gridViewport = std::make_unique<juce::Viewport>();
    addAndMakeVisible (gridViewport.get());
    gridViewport->setBounds (40, 10, getWidth() - 80, gridHeight);
    gridViewport->setViewedComponent (grid, true);
    gridViewport->setScrollBarsShown (false, true);
    grid->setVisible (true);

    grid->addColumn();
}

void DemoEditorComponent::createKeyboard()
{
    keyboard = std::make_unique<VirtualPiano> (128, 0);
    addAndMakeVisible (keyboard.get());
    keyboard->isVertical = true;
    keyboard->setBounds (5, 8, 35, 769);
}

std::unique_ptr<juce::TextButton> DemoEditorComponent::createButton (const juce::String& text,
                                                                     juce::Rectangle<int> bounds,
                                                                     juce::Colour normalColour,
                                                                     juce::Colour onColour)
{
    auto button = std::make_unique<juce::TextButton> (text, text);
    addAndMakeVisible (button.get());
    button->setBounds (bounds);
    // Held on for good, so the button always shows its "on" colour.
    button->setToggleState (true, juce::dontSendNotification);
    button->addListener (this);
    button->setClickingTogglesState (false);
    button->setColour (juce::TextButton::buttonColourId, normalColour);
    button->setColour (juce::TextButton::buttonOnColourId, onColour);
    return button;
}

void DemoEditorComponent::createTitle()
{
    const auto title = juce::String (ProductIdentity::name) + " " + ProductIdentity::versionText + " by "
                       + ProductIdentity::vendor;
    titleLabel = std::make_unique<juce::Label> (juce::String(), title);
    titleLabel->setFont (textFont);
    titleLabel->setColour (juce::Label::textColourId, textColour);

    for (auto id : { juce::Label::backgroundColourId, juce::Label::outlineColourId,
                     juce::Label::backgroundWhenEditingColourId, juce::Label::textWhenEditingColourId,
                     juce::Label::outlineWhenEditingColourId })
        titleLabel->setColour (id, juce::Colour (0x00000000));

    addAndMakeVisible (titleLabel.get());
    titleLabel->setBounds (5, getHeight() - 18, getWidth() - 10, 12);
}

void DemoEditorComponent::createWebLink()
{
    webLink = std::make_unique<juce::HyperlinkButton> (ProductIdentity::webLinkText,
                                                       juce::URL (ProductIdentity::webAddress));
    webLink->setColour (juce::HyperlinkButton::textColourId, textColour);
    addAndMakeVisible (webLink.get());
    // Added after the title: it lies over the title line's right end.
    webLink->setBounds (getWidth() - 200, getHeight() - 18, 200, 12);
    webLink->setFont (textFont, false, juce::Justification::horizontallyCentred);
}

//==============================================================================
void DemoEditorComponent::paint (juce::Graphics& g)
{
    const float w = (float) getWidth();
    const float h = (float) getHeight();

    g.setColour (backgroundColour);
    g.fillRect (juce::Rectangle<float> (0.0f, 0.0f, w, h));

    g.setColour (lightBorderColour);
    g.fillRect (juce::Rectangle<float> (0.0f, 0.0f, 2.0f, h));
    g.fillRect (juce::Rectangle<float> (0.0f, 0.0f, w, 5.0f));
    g.fillRect (juce::Rectangle<float> (6.0f, h - 21.0f, w - 8.0f, 2.0f));

    g.setColour (darkBorderColour);
    g.fillRect (juce::Rectangle<float> (0.0f, h - 5.0f, w, 8.0f));
    g.fillRect (juce::Rectangle<float> (w - 1.0f, 0.0f, 1.0f, h));
}

void DemoEditorComponent::resized()
{
    // Only a later change of the editor's size gets here with a grid; the constructor's own
    // setSize comes before it exists.
    if (grid != nullptr)
        grid->setBounds (10, 10, getWidth() - 20, getHeight() - 20);
}

void DemoEditorComponent::handleCommandMessage (int commandId)
{
    if (commandId == 1)
        repaint();
}

void DemoEditorComponent::buttonClicked (juce::Button* button)
{
    if (button == addButton.get())
    {
        grid->addColumn();
    }
    else if (button == stopButton.get())
    {
        const juce::ScopedLock sl (trigger.filterLock);
        trigger.requestStop();
    }
}

void DemoEditorComponent::changeListenerCallback (juce::ChangeBroadcaster*)
{
}

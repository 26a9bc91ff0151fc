#include "editor/DemoEditorComponent.h"

#include "editor/PlayerSettingsMenu.h"
#include "engine/Corvadel.h"
#include "engine/ProductIdentity.h"

namespace
{
    // Room the editor keeps below the grid for the title line.
    constexpr int spaceBelowGrid = 32;

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
    addAndMakeVisible (content);
    // Clicks beside the children are the editor's (the settings menu).
    content.setInterceptsMouseClicks (false, true);
    content.setTransform (juce::AffineTransform::scale (zoomFactor()));
    setSize (juce::roundToInt (defaultWidth * zoomFactor()), juce::roundToInt (defaultHeight * zoomFactor()));
    // A click anywhere takes the focus, so that the undo keys reach the editor.
    setWantsKeyboardFocus (true);

    createGrid();
    createKeyboard();

    addButton = createButton ("Add", juce::Colour (0xFF97EEFB), juce::Colour (0xFF11FF33));
    stopButton = createButton ("Stop", juce::Colour (0xFFEE97FB), juce::Colour (0xFFFF1133));

    createTitle();
    createWebLink();
    layOutChildren();
}

DemoEditorComponent::~DemoEditorComponent()
{
    setLookAndFeel (nullptr);
}

void DemoEditorComponent::createGrid()
{
    // A fresh sequence starts with two empty columns.
    grid = new PianoGrid (trigger.getPlayer(), 2);
    grid->onMessage = [this] (const juce::String& text) { showMessage (text); };
    grid->onZoom = [this] (int percent) { setZoom (percent); };

    gridViewport = std::make_unique<juce::Viewport>();
    content.addAndMakeVisible (gridViewport.get());
    gridViewport->setViewedComponent (grid, true);
    gridViewport->setScrollBarsShown (false, true);
    grid->setVisible (true);
}

void DemoEditorComponent::createKeyboard()
{
    keyboard = std::make_unique<VirtualPiano> (128, 0);
    content.addAndMakeVisible (keyboard.get());
    keyboard->isVertical = true;
    // The keyboard only labels the rows: its clicks are the editor's.
    keyboard->setInterceptsMouseClicks (false, false);
}

void DemoEditorComponent::layOutChildren()
{
    // The children are laid out at 100 % in the content, which the zoom scales as a whole.
    const int w = juce::roundToInt (getWidth() / zoomFactor());
    const int h = juce::roundToInt (getHeight() / zoomFactor());
    content.setBounds (0, 0, w, h);
    const int gridHeight = juce::jmax (0, h - spaceBelowGrid);

    // The grid keeps the width of all its columns whatever the window's: the viewport scrolls
    // to every one of them.
    gridViewport->setBounds (40, 10, juce::jmax (0, w - 80), gridHeight);
    grid->setBounds (grid->getX(), 0, grid->getColumnX (grid->getNumColumns()), gridHeight);
    keyboard->setBounds (5, 8, 35, gridHeight + 1);
    addButton->setBounds (w - 35, 8, 30, h - 82);
    stopButton->setBounds (w - 35, h - 71, 30, 45);
    titleLabel->setBounds (5, h - 18, w - 10, 12);
    webLink->setBounds (w - 200, h - 18, 200, 12);
}

std::unique_ptr<juce::TextButton> DemoEditorComponent::createButton (const juce::String& text,
                                                                     juce::Colour normalColour,
                                                                     juce::Colour onColour)
{
    auto button = std::make_unique<juce::TextButton> (text, text);
    content.addAndMakeVisible (button.get());
    // Held on for good, so the button always shows its "on" colour.
    button->setToggleState (true, juce::dontSendNotification);
    button->addListener (this);
    button->setClickingTogglesState (false);
    button->setColour (juce::TextButton::buttonColourId, normalColour);
    button->setColour (juce::TextButton::buttonOnColourId, onColour);
    return button;
}

juce::String DemoEditorComponent::titleText()
{
    return juce::String (ProductIdentity::name) + " " + ProductIdentity::versionText + " by " + ProductIdentity::vendor;
}

void DemoEditorComponent::showMessage (const juce::String& text)
{
    // On the title line for a while: the player is on stage, and a window of its own would be
    // in the way.
    titleLabel->setText (text, juce::dontSendNotification);
    juce::Component::SafePointer<DemoEditorComponent> safeThis (this);
    juce::Timer::callAfterDelay (messageMilliseconds, [safeThis, text]
    {
        if (safeThis != nullptr && safeThis->titleLabel->getText() == text)
            safeThis->titleLabel->setText (titleText(), juce::dontSendNotification);
    });
}

void DemoEditorComponent::createTitle()
{
    titleLabel = std::make_unique<juce::Label> (juce::String(), titleText());
    titleLabel->setFont (textFont);
    titleLabel->setColour (juce::Label::textColourId, textColour);

    for (auto id : { juce::Label::backgroundColourId, juce::Label::outlineColourId,
                     juce::Label::backgroundWhenEditingColourId, juce::Label::textWhenEditingColourId,
                     juce::Label::outlineWhenEditingColourId })
        titleLabel->setColour (id, juce::Colour (0x00000000));

    content.addAndMakeVisible (titleLabel.get());
}

void DemoEditorComponent::createWebLink()
{
    webLink = std::make_unique<juce::HyperlinkButton> (ProductIdentity::webLinkText,
                                                       juce::URL (ProductIdentity::webAddress));
    webLink->setColour (juce::HyperlinkButton::textColourId, textColour);
    // Added after the title: it lies over the title line's right end.
    content.addAndMakeVisible (webLink.get());
    webLink->setFont (textFont, false, juce::Justification::horizontallyCentred);
}

//==============================================================================
void DemoEditorComponent::paint (juce::Graphics& g)
{
    g.addTransform (juce::AffineTransform::scale (zoomFactor()));
    const float w = (float) content.getWidth();
    const float h = (float) content.getHeight();

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
    // The constructor's own setSize comes before the children exist.
    if (webLink != nullptr)
        layOutChildren();
}

void DemoEditorComponent::mouseDown (const juce::MouseEvent& event)
{
    if (! event.mods.isRightButtonDown())
        return;

    // The menu runs its own modal loop, in which the host may close the editor.
    juce::Component::SafePointer<DemoEditorComponent> safeThis (this);
    const int choice = PlayerSettingsMenu::create (trigger.getPlayer()).show();

    if (safeThis != nullptr)
        PlayerSettingsMenu::perform (trigger.getPlayer(), choice);
}

void DemoEditorComponent::handleCommandMessage (int commandId)
{
    if (commandId == 1)
        repaint();
}

void DemoEditorComponent::setZoom (int percent)
{
    if (! EditorZoom::isChoice (percent) || percent == zoomPercent)
        return;

    EditorZoom::save (percent);
    const int w = content.getWidth();
    const int h = content.getHeight();
    zoomPercent = percent;
    content.setTransform (juce::AffineTransform::scale (zoomFactor()));
    // The window that holds the editor follows its size.
    setSize (juce::roundToInt (w * zoomFactor()), juce::roundToInt (h * zoomFactor()));
    repaint();
}

bool DemoEditorComponent::keyPressed (const juce::KeyPress& key)
{
    const auto mods = key.getModifiers();

    if (! mods.isCommandDown() || mods.isAltDown())
        return false;

    const auto letter = juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) key.getKeyCode());

    if (letter == 'z' && ! mods.isShiftDown())
        grid->undo();
    else if ((letter == 'z' && mods.isShiftDown()) || (letter == 'y' && ! mods.isShiftDown()))
        grid->redo();
    else
        return false;

    return true;
}

void DemoEditorComponent::buttonClicked (juce::Button* button)
{
    if (button == addButton.get())
    {
        grid->addColumn();
    }
    else if (button == stopButton.get())
    {
        trigger.requestStop();
    }
}

void DemoEditorComponent::changeListenerCallback (juce::ChangeBroadcaster*)
{
}

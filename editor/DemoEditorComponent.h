#pragma once

#include "bridge/AudioFilterEditor.h"
#include "editor/EditorLookAndFeel.h"
#include "editor/EditorZoom.h"
#include "editor/PianoGrid.h"
#include "editor/VirtualPiano.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class Corvadel;

// The plug-in's window: the step grid in a horizontally scrolling view, the keyboard that labels
// its rows, the Add and Stop buttons, the title line and the vendor's link.
class DemoEditorComponent : public AudioFilterEditor,
                            public juce::ChangeListener,
                            public juce::Button::Listener
{
public:
    // Message thread; waits on the filter's locks briefly.
    explicit DemoEditorComponent (Corvadel& filter);
    ~DemoEditorComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    // A right click outside the grid (the keyboard, the margins) opens the player's settings.
    void mouseDown (const juce::MouseEvent& event) override;
    void handleCommandMessage (int commandId) override;
    // Ctrl+Z undoes the last edit, Ctrl+Shift+Z and Ctrl+Y redo it, whichever child has the
    // focus (a click anywhere in the window gives it the focus). Message thread; waits on the
    // player's locks briefly.
    bool keyPressed (const juce::KeyPress& key) override;

    // Message thread. Stop waits on filterLock.
    void buttonClicked (juce::Button* button) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    PianoGrid* getGrid() const noexcept { return grid; }
    VirtualPiano* getKeyboard() const noexcept { return keyboard.get(); }
    juce::Viewport* getViewport() const noexcept { return gridViewport.get(); }
    juce::TextButton* getAddButton() const noexcept { return addButton.get(); }
    juce::TextButton* getStopButton() const noexcept { return stopButton.get(); }
    juce::Label* getTitleLabel() const noexcept { return titleLabel.get(); }
    juce::HyperlinkButton* getWebLink() const noexcept { return webLink.get(); }

    // At 100 %: every element is drawn at the zoom times its size.
    static constexpr int defaultWidth = 700;
    static constexpr int defaultHeight = 800;

    // The zoom in percent (one of EditorZoom::choices): the window grows or shrinks with it, and
    // it is kept for the windows opened later. Message thread.
    void setZoom (int percent);
    int getZoom() const noexcept { return zoomPercent; }

    // Shows text on the title line for messageMilliseconds, then the title again. Message thread.
    void showMessage (const juce::String& text);
    static constexpr int messageMilliseconds = 5000;
    static juce::String titleText();

private:
    void createGrid();
    void layOutChildren();
    void createKeyboard();
    std::unique_ptr<juce::TextButton> createButton (const juce::String& text,
                                                    juce::Colour normalColour, juce::Colour onColour);
    void createTitle();
    void createWebLink();

    float zoomFactor() const noexcept { return (float) zoomPercent / 100.0f; }

    // Declared before the children so that it outlives every component that draws with it.
    EditorLookAndFeel lookAndFeel;
    int zoomPercent = EditorZoom::load();
    // Holds every child, scaled by the zoom.
    juce::Component content;
    const juce::Font textFont { 12.0f, juce::Font::plain };

    // Owned by the viewport, which shows it.
    PianoGrid* grid = nullptr;
    Corvadel& trigger;
    std::unique_ptr<VirtualPiano> keyboard;
    std::unique_ptr<juce::Viewport> gridViewport;
    std::unique_ptr<juce::TextButton> addButton;
    std::unique_ptr<juce::TextButton> stopButton;
    std::unique_ptr<juce::Label> titleLabel;
    std::unique_ptr<juce::HyperlinkButton> webLink;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DemoEditorComponent)
};

// The grid's popup menu on a real display: a right click on a column opens it, a click on an
// item edits the sequence, and dismissing it changes nothing.

#include "bridge/EditorCompWrapper.h"
#include "bridge/JuceVSTWrapper.h"
#include "editor/DemoEditorComponent.h"
#include "host/EffectFactory.h"
#include "tests/display/XHostWindow.h"

#include <gtest/gtest.h>

namespace
{
VstIntPtr menuTestHost (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

juce::Component* findOpenMenu()
{
    auto& desktop = juce::Desktop::getInstance();

    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* c = desktop.getComponent (i); c != nullptr && c->getName() == "menu" && c->isShowing())
            return c;

    return nullptr;
}

// Waits, inside the menu's own modal loop, for the menu to show, then acts on it as a user
// would from the keyboard: moves the highlight down to the item with the given text and presses
// Return, or presses Escape. Should the menu still be open long after, it is dismissed, so that
// a failure fails the test instead of hanging it.
class MenuUser : private juce::Timer
{
public:
    MenuUser (XHostWindow& w, juce::String item) : window (w), itemText (std::move (item)) { startTimer (50); }
    ~MenuUser() override { stopTimer(); }

    bool sawMenu = false;
    bool hadToDismiss = false;
    juce::StringArray itemsSeen;

    // Done once the menu has been answered; the timer stays on to dismiss a menu that stays open.
    bool isDone() const { return (sawMenu && findOpenMenu() == nullptr) || ! isTimerRunning(); }

private:
    static constexpr juce::uint32 giveUpAfterMs = 8000;
    static constexpr juce::uint32 lookAfterMs = 300;

    void timerCallback() override
    {
        auto* menu = findOpenMenu();
        const auto now = juce::Time::getMillisecondCounter();

        if (now - started > giveUpAfterMs)
        {
            stopTimer();
            window.releaseButton (3);

            if (menu != nullptr)
            {
                hadToDismiss = true;
                juce::PopupMenu::dismissAllActiveMenus();
            }

            return;
        }

        if (menu == nullptr)
            return;

        if (menuSeenAt == 0)
        {
            // The hand lets the right button go as soon as the menu shows, before the menu would
            // take the release as a choice.
            window.releaseButton (3);
            menuSeenAt = now;
            return;
        }

        if (now - menuSeenAt < lookAfterMs || sawMenu)
            return;

        sawMenu = true;
        choose (*menu);
    }

    void choose (juce::Component& menu)
    {
        juce::AccessibilityHandler* target = nullptr;

        for (auto* child : menu.getChildren())
        {
            // The items tell assistive technology their text; the separator has none.
            auto* handler = child->getAccessibilityHandler();
            const auto text = handler != nullptr ? handler->getTitle() : juce::String();

            if (text.isEmpty())
                continue;

            itemsSeen.add (text);

            if (itemText.isNotEmpty() && text == itemText)
                target = handler;
        }

        for (int presses = 0; target != nullptr && presses < itemsSeen.size() + 1; ++presses)
        {
            menu.keyPressed (juce::KeyPress (juce::KeyPress::downKey));

            if (target->getCurrentState().isSelected())
            {
                menu.keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
                return;
            }
        }

        menu.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    }

    XHostWindow& window;
    juce::String itemText;
    const juce::uint32 started = juce::Time::getMillisecondCounter();
    juce::uint32 menuSeenAt = 0;
};

void pumpMessages (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

void pumpUntilDone (const MenuUser& user)
{
    for (int i = 0; i < 200 && ! user.isDone(); ++i)
        pumpMessages (50);

    pumpMessages (100);
}

class PopupMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (XHostWindow::displayAvailable()) << "run under xvfb-run";
        // This program runs the framework itself and pumps it outside the plug-in's calls.
        XHostWindow::countErrorsFromNowOn();
        window = std::make_unique<XHostWindow> (700, 800);
        bridge = static_cast<JuceVSTWrapper*> (createEffectInstance (&menuTestHost));
        ASSERT_EQ (bridge->dispatcher (effEditOpen, 0, 0, window->asHostPointer(), 0.0f), 1);
        pumpMessages (300);
        editor = dynamic_cast<DemoEditorComponent*> (bridge->getEditorComp()->getChildComponent (0));
        ASSERT_NE (editor, nullptr);
    }

    void TearDown() override
    {
        bridge->dispatcher (effClose, 0, 0, nullptr, 0.0f);
        delete bridge;
        window.reset();
    }

    // The right button goes down here; the menu user lets it go once the menu shows.
    void rightClickColumn (int column)
    {
        window->moveMouse (40 + column * 65 + 32, 400);
        pumpMessages (50);
        window->pressButton (3);
    }

    std::unique_ptr<XHostWindow> window;
    JuceVSTWrapper* bridge = nullptr;
    DemoEditorComponent* editor = nullptr;
};
}

TEST_F (PopupMenuTest, RightClickOnAColumnOffersTheEditsAndInsertsBeforeIt)
{
    auto* grid = editor->getGrid();
    std::vector<NoteCell> tagged (notesPerChord);
    tagged[40].isOn = 1;
    grid->setColumnCells (tagged.data(), 1);
    MenuUser user (*window, "Insert new");

    rightClickColumn (1);
    pumpUntilDone (user);

    ASSERT_TRUE (user.sawMenu);
    EXPECT_FALSE (user.hadToDismiss) << "the click on the item did not close the menu";
    EXPECT_EQ (user.itemsSeen, juce::StringArray ({ "Undo edit column 2", "Redo", "Delete", "Insert new", "Cut", "Copy", "Paste", "Set play position",
                                             "Copy the grid as a chord chart", "Paste a chord chart before this column", "Playing", "Zoom" }))
        << user.itemsSeen.joinIntoString ("|");
    EXPECT_EQ (grid->getNumColumns(), 3);
    std::vector<NoteCell> cells (notesPerChord);
    grid->getColumnCells (cells.data(), 2);
    EXPECT_EQ (cells[40].isOn, 1) << "the new column took its place";
    grid->getColumnCells (cells.data(), 1);
    EXPECT_EQ (cells[40].isOn, 0);
}

TEST_F (PopupMenuTest, DismissedMenuChangesNothing)
{
    auto* grid = editor->getGrid();
    MenuUser user (*window, "");

    rightClickColumn (0);
    pumpUntilDone (user);

    ASSERT_TRUE (user.sawMenu);
    EXPECT_FALSE (user.hadToDismiss);
    EXPECT_EQ (grid->getNumColumns(), 2);
    EXPECT_EQ (grid->getPlayPosition(), -1);
}

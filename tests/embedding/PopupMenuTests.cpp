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
VstIntPtr quietHost (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
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
// would: points at the item with the given text and clicks it, holding the button for a moment
// as a hand does, or presses Escape. Should the menu still be open long after, it is dismissed,
// so that a missed click fails the test instead of hanging it.
class MenuUser : private juce::Timer
{
public:
    MenuUser (XHostWindow& w, juce::String item) : window (w), itemText (std::move (item)) { startTimer (tickMs); }
    ~MenuUser() override { stopTimer(); }

    bool sawMenu = false;
    bool hadToDismiss = false;
    juce::StringArray itemsSeen;

private:
    static constexpr int tickMs = 50;
    static constexpr int ticksBeforeGivingUp = 60;

    enum class Step { waitingForMenu, pointing, pressing, waitingForClose };

    void timerCallback() override
    {
        auto* menu = findOpenMenu();

        if (++ticks > ticksBeforeGivingUp)
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

        switch (step)
        {
            case Step::waitingForMenu: lookAtMenu (menu); break;
            case Step::pointing: if (++ticksInStep >= 4) { window.pressButton (1); nextStep (Step::pressing); } break;
            case Step::pressing: if (++ticksInStep >= 3) { window.releaseButton (1); nextStep (Step::waitingForClose); } break;
            case Step::waitingForClose: if (menu == nullptr) stopTimer(); break;
        }
    }

    void nextStep (Step s)
    {
        step = s;
        ticksInStep = 0;
    }

    void lookAtMenu (juce::Component* menu)
    {
        if (menu == nullptr)
            return;

        if (! rightButtonReleased)
        {
            window.releaseButton (3);
            rightButtonReleased = true;
        }

        if (++ticksWithMenu < 8)
            return;

        sawMenu = true;
        juce::Component* itemToClick = nullptr;

        for (auto* child : menu->getChildren())
        {
            // The items tell assistive technology their text; the separator has none.
            auto* handler = child->getAccessibilityHandler();
            const auto text = handler != nullptr ? handler->getTitle() : juce::String();

            if (text.isEmpty())
                continue;

            itemsSeen.add (text);

            if (itemText.isNotEmpty() && text == itemText)
                itemToClick = child;
        }

        if (itemToClick == nullptr)
        {
            menu->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
            nextStep (Step::waitingForClose);
            return;
        }

        const auto centre = itemToClick->getScreenBounds().getCentre();
        window.moveMouseOnScreen (centre.x, centre.y);
        nextStep (Step::pointing);
    }

    XHostWindow& window;
    juce::String itemText;
    Step step = Step::waitingForMenu;
    int ticks = 0, ticksWithMenu = 0, ticksInStep = 0;
    bool rightButtonReleased = false;
};

void pump (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

class PopupMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (XHostWindow::displayAvailable()) << "run under xvfb-run";
        window = std::make_unique<XHostWindow> (700, 800);
        bridge = static_cast<JuceVSTWrapper*> (createEffectInstance (&quietHost));
        ASSERT_EQ (bridge->dispatcher (effEditOpen, 0, 0, window->asHostPointer(), 0.0f), 1);
        pump (300);
        editor = dynamic_cast<DemoEditorComponent*> (bridge->getEditorComp()->getChildComponent (0));
        ASSERT_NE (editor, nullptr);
    }

    void TearDown() override
    {
        bridge->dispatcher (effClose, 0, 0, nullptr, 0.0f);
        delete bridge;
        window.reset();
    }

    // The right button goes down here; the menu user lets it go as soon as the menu shows, as a
    // hand does, before the menu would take the release as a choice.
    void rightClickColumn (int column)
    {
        window->moveMouse (40 + column * 65 + 32, 400);
        pump (50);
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
    auto* secondColumn = grid->getColumn (1);
    MenuUser user (*window, "Insert new");

    rightClickColumn (1);
    pump (2000);

    ASSERT_TRUE (user.sawMenu);
    EXPECT_FALSE (user.hadToDismiss) << "the click on the item did not close the menu";
    EXPECT_EQ (user.itemsSeen, juce::StringArray ({ "Delete", "Insert new", "Copy", "Paste", "Set play position" }))
        << user.itemsSeen.joinIntoString ("|");
    EXPECT_EQ (grid->getNumColumns(), 3);
    EXPECT_EQ (grid->getColumn (2), secondColumn) << "the new column took its place";
}

TEST_F (PopupMenuTest, DismissedMenuChangesNothing)
{
    auto* grid = editor->getGrid();
    MenuUser user (*window, "");

    rightClickColumn (0);
    pump (2000);

    ASSERT_TRUE (user.sawMenu);
    EXPECT_FALSE (user.hadToDismiss);
    EXPECT_EQ (grid->getNumColumns(), 2);
    EXPECT_EQ (grid->getPlayPosition(), -1);
}

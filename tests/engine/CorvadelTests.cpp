// The chord player driven directly: pedal, Stop, and the grid it keeps across editors.

#include "editor/DemoEditorComponent.h"
#include "editor/PianoGridMenu.h"
#include "editor/PlayerSettingsMenu.h"
#include "engine/Corvadel.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace
{
struct Note
{
    int note;
    int32_t velocity = 100;
};

std::vector<NoteCell> column (std::initializer_list<Note> notes)
{
    std::vector<NoteCell> cells (notesPerChord);

    for (auto n : notes)
    {
        cells[(size_t) n.note].isOn = 1;
        cells[(size_t) n.note].velocity = n.velocity;
    }

    return cells;
}

juce::MemoryBlock chunkOf (std::initializer_list<std::vector<NoteCell>> columns)
{
    GridState state ((int) columns.size(), notesPerChord);
    int i = 0;

    for (const auto& c : columns)
        std::copy (c.begin(), c.end(), state.column (i++));

    juce::MemoryBlock block;
    state.appendTo (block);
    return block;
}

struct Event
{
    int position;
    uint8_t status, note, velocity;
    bool operator== (const Event& other) const
    {
        return position == other.position && status == other.status && note == other.note && velocity == other.velocity;
    }
};

std::ostream& operator<< (std::ostream& out, const Event& e)
{
    return out << "{" << e.position << ", " << std::hex << (int) e.status << std::dec << ", " << (int) e.note << ", " << (int) e.velocity << "}";
}

class CorvadelTest : public ::testing::Test
{
protected:
    void SetUp() override { filter.prepareForPlayback (48000.0, 512); }
    void TearDown() override { closeEditor(); }

    std::vector<Event> play (std::initializer_list<std::pair<int, int>> pedalValues, int controller = 64)
    {
        juce::MidiBuffer midi;

        for (auto [position, value] : pedalValues)
            midi.addEvent (juce::MidiMessage::controllerEvent (1, controller, value), position);

        {
            const juce::ScopedLock sl (filter.filterLock);
            filter.handlePedalMidi (midi);
        }

        std::vector<Event> out;

        for (const auto e : midi)
            out.push_back ({ e.samplePosition, e.data[0], e.data[1], e.data[2] });

        return out;
    }

    std::vector<Event> press (int position = 0) { auto out = play ({ { position, 127 } }); play ({ { 511, 0 } }); return out; }

    DemoEditorComponent& openEditor()
    {
        editor.reset (static_cast<DemoEditorComponent*> (filter.createAndTrackEditor()));
        return *editor;
    }

    void closeEditor()
    {
        if (editor != nullptr)
        {
            filter.forgetEditor (editor.get());
            editor.reset();
        }
    }

    void restore (const juce::MemoryBlock& chunk) { filter.restoreState (chunk.getData(), (int) chunk.getSize()); }

    juce::MemoryBlock saved()
    {
        juce::MemoryBlock block;
        filter.saveState (block);
        return block;
    }

    Corvadel filter;
    std::unique_ptr<DemoEditorComponent> editor;
};

constexpr uint8_t on = 0x90, off = 0x80;
}

TEST_F (CorvadelTest, AnnouncesAnInstrumentThatTakesAndSendsMidi)
{
    FilterProperties p;
    filter.fillFilterProperties (p);
    EXPECT_EQ (p.uniqueId, 0x44474534);
    EXPECT_TRUE (p.isSynth);
    EXPECT_TRUE (p.wantsMidiInput);
    EXPECT_TRUE (p.producesMidiOutput);
    EXPECT_FALSE (p.hasNoTail);
    EXPECT_TRUE (p.wantsKeyboardInput);
    EXPECT_EQ (filter.getCurrentProgramIndex(), 0);
}

TEST_F (CorvadelTest, StopEndsTheChordAtTheStartOfTheNextBlockAndThePressEndsItAgain)
{
    restore (chunkOf ({ column ({ { 60 }, { 64 }, { 67 } }), column ({ { 50 } }) }));
    auto& ed = openEditor();
    press (100);

    ed.buttonClicked (ed.getStopButton());
    EXPECT_EQ (play ({}), (std::vector<Event> { { 0, off, 60, 0 }, { 0, off, 64, 0 }, { 0, off, 67, 0 } }));
    EXPECT_TRUE (play ({}).empty()) << "a Stop is handled once";

    EXPECT_EQ (press (7), (std::vector<Event> { { 7, off, 60, 0 }, { 7, off, 64, 0 }, { 7, off, 67, 0 }, { 7, on, 50, 100 } }));
}

TEST_F (CorvadelTest, StopBeforeAnyChordSendsNothing)
{
    auto& ed = openEditor();
    ed.buttonClicked (ed.getStopButton());
    EXPECT_TRUE (play ({}).empty());
}

TEST_F (CorvadelTest, StopEndsTheChordThatSoundedBeforeAPressInTheSameBlock)
{
    restore (chunkOf ({ column ({ { 60 } }), column ({ { 62 } }) }));
    auto& ed = openEditor();
    press();
    ed.buttonClicked (ed.getStopButton());

    // The chord the press at 30 starts keeps sounding: no note-off of it comes before its start.
    EXPECT_EQ (play ({ { 30, 127 } }), (std::vector<Event> { { 0, off, 60, 0 }, { 30, off, 60, 0 }, { 30, on, 62, 100 } }));
    play ({ { 0, 0 } });
    EXPECT_EQ (press (3), (std::vector<Event> { { 3, off, 62, 0 }, { 3, on, 60, 100 } }));
}

TEST_F (CorvadelTest, FirstPressAfterARestorePlaysTheFirstColumn)
{
    restore (chunkOf ({ column ({ { 40 } }), column ({ { 41 } }), column ({ { 42 } }) }));
    openEditor();

    EXPECT_EQ (press(), (std::vector<Event> { { 0, on, 40, 100 } }));
    editor->getGrid()->refreshFromPlayer();
    EXPECT_EQ (editor->getGrid()->getPlayPosition(), 0);
    EXPECT_EQ (press()[1].note, 41);
}

TEST_F (CorvadelTest, EditsSurviveClosingTheEditor)
{
    auto& ed = openEditor();
    ed.getGrid()->setColumnCells (column ({ { 72, 55 } }).data(), 1);
    ed.buttonClicked (ed.getAddButton());
    ed.getGrid()->setColumnCells (column ({ { 12 } }).data(), 2);
    const auto withEditorOpen = saved();
    EXPECT_EQ (withEditorOpen.getSize(), 8u + 3 * 1024);

    closeEditor();
    EXPECT_EQ (saved(), withEditorOpen);

    openEditor();
    EXPECT_EQ (editor->getGrid()->getNumColumns(), 3);
    EXPECT_EQ (saved(), withEditorOpen);
    press();
    EXPECT_EQ (press(), (std::vector<Event> { { 0, on, 72, 55 } }));
}

TEST_F (CorvadelTest, AStateRestoredWhileTheEditorIsOpenPlaysIsSavedAndIsShownAtOnce)
{
    auto& ed = openEditor();
    ed.getGrid()->setColumnCells (column ({ { 1 } }).data(), 0);
    press();
    const auto restored = chunkOf ({ column ({ { 90 } }), column ({ { 91 } }) });
    restore (restored);

    EXPECT_EQ (saved(), restored);
    EXPECT_EQ (press(), (std::vector<Event> { { 0, off, 1, 0 }, { 0, on, 90, 100 } })) << "from its first column";

    ed.getGrid()->refreshFromPlayer();
    EXPECT_EQ (ed.getGrid()->getNumColumns(), 2);
    EXPECT_EQ (ed.getGrid()->getPlayPosition(), 0);

    // The editor's next edit is made on the restored grid.
    ed.getGrid()->setColumnCells (column ({ { 92 } }).data(), 1);
    EXPECT_EQ (saved(), chunkOf ({ column ({ { 90 } }), column ({ { 92 } }) }));
    closeEditor();
    EXPECT_EQ (saved(), chunkOf ({ column ({ { 90 } }), column ({ { 92 } }) }));
}

TEST_F (CorvadelTest, DeletingEveryColumnLeavesAGridThatEndsChordsAndStartsNone)
{
    restore (chunkOf ({ column ({ { 60 }, { 63 } }) }));
    auto& ed = openEditor();
    press();
    ed.getGrid()->deleteColumn (0);
    EXPECT_EQ (ed.getGrid()->getNumColumns(), 0);

    EXPECT_EQ (press (5), (std::vector<Event> { { 5, off, 60, 0 }, { 5, off, 63, 0 } }));
    EXPECT_TRUE (press().empty());
    EXPECT_EQ (saved().getSize(), 8u);
}

TEST_F (CorvadelTest, EditingTheSoundingColumnDoesNotChangeWhichNotesEnd)
{
    restore (chunkOf ({ column ({ { 60 } }), column ({ { 70 } }) }));
    auto& ed = openEditor();
    press();
    ed.getGrid()->setColumnCells (column ({ { 61 } }).data(), 0);

    EXPECT_EQ (press(), (std::vector<Event> { { 0, off, 60, 0 }, { 0, on, 70, 100 } }));
}

TEST_F (CorvadelTest, AnEditorOpenedMidSequenceMarksTheColumnThatSounds)
{
    restore (chunkOf ({ column ({ { 40 } }), column ({ { 41 } }), column ({ { 42 } }) }));
    press();
    press();

    auto* grid = openEditor().getGrid();
    EXPECT_EQ (grid->getPlayPosition(), 1);
    EXPECT_TRUE (grid->getColumn (1)->isPlaying);
    EXPECT_FALSE (grid->getColumn (0)->isPlaying);

    // Moved in the editor, the position is what the pedal goes on from once it is closed.
    PianoGridMenu::perform (*grid, PianoGridMenu::setPlayPositionItem, grid->getColumn (2));
    closeEditor();
    EXPECT_EQ (press(), (std::vector<Event> { { 0, off, 41, 0 }, { 0, on, 40, 100 } }));
}

TEST (CorvadelRace, AStateRestoredWhileAnEditorIsBeingBuiltOutlivesThatEditor)
{
    // A host thread may restore a state while the message thread builds an editor from the one
    // before: that editor's grid is older than the kept one, and closing it must not overwrite it.
    struct RestoringWhileBuilding : Corvadel
    {
        AudioFilterEditor* createFilterEditor() override
        {
            auto* built = Corvadel::createFilterEditor();
            restoreState (arriving.getData(), (int) arriving.getSize());
            return built;
        }

        juce::MemoryBlock arriving;
    } filter;

    const auto first = chunkOf ({ column ({ { 40 } }) });
    filter.restoreState (first.getData(), (int) first.getSize());
    filter.arriving = chunkOf ({ column ({ { 50 } }), column ({ { 51 } }) });

    std::unique_ptr<AudioFilterEditor> editor (filter.createAndTrackEditor());
    ASSERT_NE (editor, nullptr);
    filter.forgetEditor (editor.get());
    editor.reset();

    juce::MemoryBlock saved;
    filter.saveState (saved);
    EXPECT_EQ (saved, filter.arriving);
}

TEST_F (CorvadelTest, ATriggerLearntFromTheEditorStepsBackAndTheMenuShowsIt)
{
    restore (chunkOf ({ column ({ { 40 } }), column ({ { 41 } }), column ({ { 42 } }) }));
    auto* grid = openEditor().getGrid();
    PianoGridMenu::perform (*grid, PlayerSettingsMenu::learnItem (SequencePlayer::Trigger::previous), -1);

    // A panic first, which teaches nothing; then the soft pedal moves: it is learnt, and the press
    // that taught it plays nothing.
    juce::MidiBuffer teach;
    teach.addEvent (juce::MidiMessage::allNotesOff (1), 2);
    teach.addEvent (juce::MidiMessage::controllerEvent (1, 67, 127), 5);
    {
        const juce::ScopedLock sl (filter.filterLock);
        filter.handlePedalMidi (teach);
    }
    EXPECT_TRUE (teach.isEmpty());
    EXPECT_EQ (filter.getPlayer().getSettings().previousController, 67);
    EXPECT_EQ (filter.getPlayer().getTriggerBeingLearnt(), SequencePlayer::Trigger::none);

    auto softPedal = [&] (int value) { return play ({ { 9, value } }, 67); };

    EXPECT_TRUE (softPedal (127).empty()) << "held since it taught: only a release re-arms it";
    softPedal (0);
    press (0);
    press (0);
    EXPECT_EQ (softPedal (127), (std::vector<Event> { { 9, off, 41, 0 }, { 9, on, 40, 100 } }));

    // The menu shows the learnt controller, and saving keeps it.
    const auto menu = PlayerSettingsMenu::create (filter.getPlayer());
    bool shown = false;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        shown = shown || it.getItem().text == "Previous trigger: 67 (Soft Pedal)";
    EXPECT_TRUE (shown);

    const auto state = saved();
    Corvadel reloaded;
    reloaded.restoreState (state.getData(), (int) state.getSize());
    EXPECT_EQ (reloaded.getPlayer().getSettings().previousController, 67);
}

TEST_F (CorvadelTest, TheSettingsMenuChangesEachSettingAndKeepsOneControllerToOneTrigger)
{
    auto& player = filter.getPlayer();
    using T = SequencePlayer::Trigger;

    const std::vector<std::pair<int, std::function<bool (const PlayerSettings&)>>> choices {
        { PlayerSettingsMenu::controllerItem (T::previous, 67), [] (auto& s) { return s.previousController == 67; } },
        { PlayerSettingsMenu::controllerItem (T::reset, 80), [] (auto& s) { return s.resetController == 80; } },
        { PlayerSettingsMenu::controllerItem (T::next, 67), [] (auto& s) { return s.nextController == 67 && s.previousController == -1; } },
        { PlayerSettingsMenu::controllerItem (T::reset, 67), [] (auto& s) { return s.resetController == 80; } },
        { PlayerSettingsMenu::noControllerItem (T::reset), [] (auto& s) { return s.resetController == -1; } },
        { PlayerSettingsMenu::jumpItem, [] (auto& s) { return s.jumpByProgramChange; } },
        { PlayerSettingsMenu::endOfGridItem (PlayerSettings::EndOfGrid::hold), [] (auto& s) { return s.endOfGrid == PlayerSettings::EndOfGrid::hold; } },
        { PlayerSettingsMenu::passThroughItem (true), [] (auto& s) { return s.passThrough; } },
        { PlayerSettingsMenu::channelItem (16), [] (auto& s) { return s.outputChannel == 16; } },
        { PlayerSettingsMenu::transposeItem (-24), [] (auto& s) { return s.transpose == -24; } },
        { PlayerSettingsMenu::transposeItem (7), [] (auto& s) { return s.transpose == 7; } },
    };

    for (const auto& [item, holds] : choices)
    {
        EXPECT_TRUE (PlayerSettingsMenu::perform (player, item)) << item;
        EXPECT_TRUE (holds (player.getSettings())) << "after item " << item;
    }

    EXPECT_FALSE (PlayerSettingsMenu::perform (player, PianoGridMenu::deleteItem));
}

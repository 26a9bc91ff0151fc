#pragma once

// What the corvadel-play tests share: a scratch folder per test, MIDI and state files to feed
// the program, and readers for what it writes and prints.

#include "tests/tools/ToolRun.h"

#include <gtest/gtest.h>
#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <string>
#include <vector>

struct Note
{
    int number;
    int velocity;
};
using Chord = std::vector<Note>;

// One message of the plug-in's track in the output file, or one line of the listing.
struct PlayedNote
{
    int tick = 0;
    bool isNoteOn = false;
    int note = 0;
    int velocity = 0;
    int channel = 0;

    bool operator== (const PlayedNote& other) const
    {
        return tick == other.tick && isNoteOn == other.isNoteOn && note == other.note
            && velocity == other.velocity && channel == other.channel;
    }
};
void PrintTo (const PlayedNote& note, std::ostream* os);

struct ListedEvent
{
    double seconds = 0.0;
    std::string barAndBeat;
    bool isNoteOn = false;
    std::string noteName;
    int note = 0;
    int velocity = 0;
};

struct TimedMessage
{
    int tick;
    juce::MidiMessage message;
};

// The output file as read back.
struct OutputFile
{
    int ticksPerQuarterNote = 0;
    int numTracks = 0;
    std::vector<std::pair<int, double>> tempos;  // tick, beats per minute, from the first track
    std::vector<std::pair<int, int>> timeSignatures;  // numerator, denominator, from the first track
    std::vector<PlayedNote> notes;               // the second track's messages
    int otherMessages = 0;                       // second-track messages that are neither notes nor meta events
    std::vector<std::string> messages;           // every second-track message but meta events, as messageText gives it
};

// "@480 on 60 v100 ch1", "@480 off 60 ch1", "@0 cc1=5 ch2", "@0 pc4 ch1", "@0 bend8192 ch1"; a tick
// below 0 leaves the "@tick " out.
std::string messageText (int tick, const juce::MidiMessage& message);

// What the output file is expected to hold: for each press (at the ticks given), the note-offs of
// the chord before it, then the note-ons of the next chord, stepping round the chords in order;
// then, at endTick (by default half a beat after the last press), the note-offs of the last.
std::vector<PlayedNote> expectedPerformance (const std::vector<Chord>& chords, const std::vector<int>& pressTicks,
                                             int endTick = -1);

class PlayTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The program in the scratch folder, with the built plug-in unless the arguments name one;
    // killed after two minutes.
    ToolRun play (std::vector<std::string> arguments, bool addPlugin = true);

    juce::File file (const std::string& name) const { return folder.getChildFile (juce::String (name)); }
    std::string path (const std::string& name) const { return file (name).getFullPathName().toStdString(); }

    // Each chord starts at its tick on the given track and channel; ticks per quarter note 960.
    struct PlacedNote
    {
        int tick;
        int track;
        int channel;
        Note note;
    };
    std::string writeNotesFile (const std::string& name, const std::vector<PlacedNote>& notes, int ticksPerQuarter = 960);
    std::string writeChordsFile (const std::string& name, const std::vector<Chord>& chords);

    struct PedalMessage
    {
        int tick;
        int channel;
        int value;
    };
    struct TempoChange
    {
        int tick;
        double bpm;
    };
    // beatsPerBar above 0 adds a time signature of that many quarter notes at the start.
    std::string writePedalFile (const std::string& name, const std::vector<PedalMessage>& pedal,
                                const std::vector<TempoChange>& tempos, int ticksPerQuarter, int beatsPerBar = 0);

    // Any messages, each at its tick on one track, 960 ticks a quarter note at 120 bpm.
    std::string writeMessagesFile (const std::string& name, const std::vector<TimedMessage>& messages);

    std::string writeStateFile (const std::string& name, const std::vector<Chord>& columns);
    std::string writeBytes (const std::string& name, const juce::MemoryBlock& bytes);
    std::string writeText (const std::string& name, const std::string& text);

    static OutputFile readOutput (const juce::File& midiFile);
    static std::vector<ListedEvent> listedEvents (const ToolRun& run);
    // Every message line of the listing, in order, as messageText gives it without its tick.
    static std::vector<std::string> listedMessages (const ToolRun& run);
    static std::vector<int> ticksEveryBeat (int presses);

    juce::File folder;
};

// A grid state chunk: int32 columns, int32 128 cells per column, each cell on byte, three unused
// bytes and an int32 velocity (100 when off).
juce::MemoryBlock gridChunk (const std::vector<Chord>& columns);

// The playing settings as a state stores them after the grid, written from the README's layout:
// "CVds", int32 version 1, int32 8, then a byte each.
struct StoredSettings
{
    int next = 64, previous = -1, reset = -1;
    int jumpByProgramChange = 0;
    int endOfGrid = 0;  // 0 wrap, 1 stop, 2 hold
    int passThrough = 0;
    int channel = 1;
    int transpose = 0;
};
// The grid's chunk followed by the settings block.
juce::MemoryBlock gridChunk (const std::vector<Chord>& columns, const StoredSettings& settings);

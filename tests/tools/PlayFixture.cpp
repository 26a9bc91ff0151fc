#include "tests/tools/PlayFixture.h"

#include <algorithm>
#include <regex>

void PrintTo (const PlayedNote& n, std::ostream* os)
{
    *os << "{tick " << n.tick << (n.isNoteOn ? " on " : " off ") << n.note << " vel " << n.velocity << " ch "
        << n.channel << "}";
}

std::vector<PlayedNote> expectedPerformance (const std::vector<Chord>& chords, const std::vector<int>& pressTicks,
                                             int endTick)
{
    const auto sorted = [] (Chord chord) {
        std::sort (chord.begin(), chord.end(), [] (const Note& a, const Note& b) { return a.number < b.number; });
        return chord;
    };

    std::vector<PlayedNote> expected;

    for (size_t press = 0; press < pressTicks.size(); ++press)
    {
        const int tick = pressTicks[press];

        if (press > 0)
            for (const auto& n : sorted (chords[(press - 1) % chords.size()]))
                expected.push_back ({ tick, false, n.number, 0, 1 });

        for (const auto& n : sorted (chords[press % chords.size()]))
            expected.push_back ({ tick, true, n.number, n.velocity, 1 });
    }

    if (! pressTicks.empty())
        for (const auto& n : sorted (chords[(pressTicks.size() - 1) % chords.size()]))
            expected.push_back ({ endTick >= 0 ? endTick : pressTicks.back() + 480, false, n.number, 0, 1 });

    return expected;
}

std::string messageText (int tick, const juce::MidiMessage& message)
{
    const auto* bytes = message.getRawData();
    const auto at = tick >= 0 ? "@" + std::to_string (tick) + " " : std::string();
    const auto channel = " ch" + std::to_string (message.getChannel());
    const auto n = [] (int value) { return std::to_string (value); };

    switch (bytes[0] & 0xF0)
    {
        case 0x90: return at + "on " + n (bytes[1]) + " v" + n (bytes[2]) + channel;
        case 0x80: return at + "off " + n (bytes[1]) + channel;
        case 0xB0: return at + "cc" + n (bytes[1]) + "=" + n (bytes[2]) + channel;
        case 0xC0: return at + "pc" + n (bytes[1]) + channel;
        case 0xE0: return at + "bend" + n (message.getPitchWheelValue()) + channel;
        default:   return at + message.getDescription().toStdString();
    }
}

juce::MemoryBlock gridChunk (const std::vector<Chord>& columns, const StoredSettings& s)
{
    juce::MemoryOutputStream out;
    out << gridChunk (columns);
    out.write ("CVds", 4);
    out.writeInt (1);
    out.writeInt (8);

    for (int field : { s.next, s.previous, s.reset, s.jumpByProgramChange, s.endOfGrid, s.passThrough, s.channel, s.transpose })
        out.writeByte ((char) field);

    return out.getMemoryBlock();
}

juce::MemoryBlock gridChunk (const std::vector<Chord>& columns)
{
    juce::MemoryOutputStream out;
    out.writeInt ((int) columns.size());
    out.writeInt (128);

    for (const auto& column : columns)
    {
        for (int cell = 0; cell < 128; ++cell)
        {
            const auto found = std::find_if (column.begin(), column.end(), [cell] (const Note& n) { return n.number == cell; });
            const juce::uint8 start[4] = { (juce::uint8) (found != column.end() ? 1 : 0), 0, 0, 0 };
            out.write (start, 4);
            out.writeInt (found != column.end() ? found->velocity : 100);
        }
    }

    return out.getMemoryBlock();
}

//==============================================================================
void PlayTest::SetUp()
{
    folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("corvadel-play-test", "");
    ASSERT_TRUE (folder.createDirectory());
}

void PlayTest::TearDown()
{
    folder.deleteRecursively();
}

ToolRun PlayTest::play (std::vector<std::string> arguments, bool addPlugin)
{
    if (addPlugin)
    {
        arguments.insert (arguments.begin(), pluginFile().getFullPathName().toStdString());
        arguments.insert (arguments.begin(), "--plugin");
    }

    // Far beyond the few seconds any of these runs takes, even under a sanitizer: a run that
    // hangs fails its test rather than the whole suite.
    return ToolRun::run (arguments, folder, 120.0);
}

std::string PlayTest::writeNotesFile (const std::string& name, const std::vector<PlacedNote>& notes, int ticksPerQuarter)
{
    int numTracks = 1;

    for (const auto& n : notes)
        numTracks = std::max (numTracks, n.track + 1);

    std::vector<juce::MidiMessageSequence> tracks ((size_t) numTracks);

    for (const auto& n : notes)
    {
        auto& track = tracks[(size_t) n.track];
        track.addEvent (juce::MidiMessage::noteOn (n.channel, n.note.number, (juce::uint8) n.note.velocity), n.tick);
        track.addEvent (juce::MidiMessage::noteOff (n.channel, n.note.number), n.tick + ticksPerQuarter / 2);
    }

    juce::MidiFile midi;
    midi.setTicksPerQuarterNote (ticksPerQuarter);

    for (auto& track : tracks)
    {
        track.updateMatchedPairs();
        midi.addTrack (track);
    }

    juce::MemoryOutputStream bytes;
    midi.writeTo (bytes, 1);
    return writeBytes (name, bytes.getMemoryBlock());
}

std::string PlayTest::writeChordsFile (const std::string& name, const std::vector<Chord>& chords)
{
    std::vector<PlacedNote> notes;

    for (size_t c = 0; c < chords.size(); ++c)
        for (const auto& n : chords[c])
            notes.push_back ({ (int) c * 960, 0, 1, n });

    return writeNotesFile (name, notes);
}

std::string PlayTest::writePedalFile (const std::string& name, const std::vector<PedalMessage>& pedal,
                                      const std::vector<TempoChange>& tempos, int ticksPerQuarter, int beatsPerBar)
{
    juce::MidiMessageSequence tempoTrack, pedalTrack;

    if (beatsPerBar > 0)
        tempoTrack.addEvent (juce::MidiMessage::timeSignatureMetaEvent (beatsPerBar, 4), 0);

    for (const auto& t : tempos)
        tempoTrack.addEvent (juce::MidiMessage::tempoMetaEvent ((int) std::lround (60.0e6 / t.bpm)), t.tick);

    for (const auto& p : pedal)
        pedalTrack.addEvent (juce::MidiMessage::controllerEvent (p.channel, 64, p.value), p.tick);

    juce::MidiFile midi;
    midi.setTicksPerQuarterNote (ticksPerQuarter);
    midi.addTrack (tempoTrack);
    midi.addTrack (pedalTrack);

    juce::MemoryOutputStream bytes;
    midi.writeTo (bytes, 1);
    return writeBytes (name, bytes.getMemoryBlock());
}

std::string PlayTest::writeMessagesFile (const std::string& name, const std::vector<TimedMessage>& messages)
{
    juce::MidiMessageSequence track;

    for (const auto& m : messages)
        track.addEvent (m.message, m.tick);

    juce::MidiFile midi;
    midi.setTicksPerQuarterNote (960);
    midi.addTrack (track);

    juce::MemoryOutputStream bytes;
    midi.writeTo (bytes, 1);
    return writeBytes (name, bytes.getMemoryBlock());
}

std::string PlayTest::writeStateFile (const std::string& name, const std::vector<Chord>& columns)
{
    return writeBytes (name, gridChunk (columns));
}

std::string PlayTest::writeBytes (const std::string& name, const juce::MemoryBlock& bytes)
{
    EXPECT_TRUE (file (name).replaceWithData (bytes.getData(), bytes.getSize()));
    return path (name);
}

std::string PlayTest::writeText (const std::string& name, const std::string& text)
{
    EXPECT_TRUE (file (name).replaceWithText (juce::String (text)));
    return path (name);
}

OutputFile PlayTest::readOutput (const juce::File& midiFile)
{
    OutputFile result;
    juce::FileInputStream in (midiFile);
    juce::MidiFile midi;

    if (in.failedToOpen() || ! midi.readFrom (in, false))
    {
        ADD_FAILURE() << "cannot read " << midiFile.getFullPathName();
        return result;
    }

    result.ticksPerQuarterNote = midi.getTimeFormat();
    result.numTracks = midi.getNumTracks();

    if (result.numTracks >= 1)
    {
        for (const auto* event : *midi.getTrack (0))
        {
            const auto& m = event->message;

            if (m.isTempoMetaEvent())
                result.tempos.push_back ({ (int) m.getTimeStamp(), 60.0 / m.getTempoSecondsPerQuarterNote() });

            if (m.isTimeSignatureMetaEvent())
            {
                int numerator = 0, denominator = 0;
                m.getTimeSignatureInfo (numerator, denominator);
                result.timeSignatures.push_back ({ numerator, denominator });
            }
        }
    }

    if (result.numTracks >= 2)
    {
        for (const auto* event : *midi.getTrack (1))
        {
            const auto& m = event->message;
            const auto* bytes = m.getRawData();
            const int kind = bytes[0] & 0xF0;

            if (kind == 0x90 || kind == 0x80)
                result.notes.push_back ({ (int) m.getTimeStamp(), kind == 0x90, bytes[1], bytes[2], m.getChannel() });
            else if (! m.isMetaEvent())
                ++result.otherMessages;

            if (! m.isMetaEvent())
                result.messages.push_back (messageText ((int) m.getTimeStamp(), m));
        }
    }

    return result;
}

std::vector<ListedEvent> PlayTest::listedEvents (const ToolRun& run)
{
    static const std::regex line (R"(^\s*(\d+\.\d{3})\s+(\d+:\d+\.\d{2})\s+\d+\s+(note-on|note-off)\s+([A-G]#?-?\d+)\s+\((\d+)\)\s+(\d+)\s*$)");
    std::vector<ListedEvent> events;

    for (const auto& text : run.outLines())
    {
        std::smatch m;

        if (std::regex_match (text, m, line))
            events.push_back ({ std::stod (m[1]), m[2], m[3] == "note-on", m[4], std::stoi (m[5]), std::stoi (m[6]) });
    }

    return events;
}

std::vector<std::string> PlayTest::listedMessages (const ToolRun& run)
{
    // Time, bar:beat, channel, kind, a note's name with its number in brackets or a number, and
    // the value: "   0.500  1:2.00     5  note-on     C4 (60)        100".
    static const std::regex line (R"(^\s*\d+\.\d{3}\s+\d+:\d+\.\d{2}\s+(\d+)\s+(note-on|note-off|controller|program|pitch bend))"
                                  R"(\s+(?:\S+ \()?(\d*)\)?\s*(\d*)\s*$)");
    std::vector<std::string> messages;

    for (const auto& text : run.outLines())
    {
        std::smatch m;

        if (! std::regex_match (text, m, line))
            continue;

        const int channel = std::stoi (m[1]);
        const auto kind = m[2].str();
        // A pitch bend has a value and no number, which the number's group takes.
        const int number = std::stoi ("0" + m[3].str()), value = std::stoi ("0" + m[4].str());
        const auto velocity = (juce::uint8) value;

        using Message = juce::MidiMessage;
        const auto message = kind == "note-on"      ? Message::noteOn (channel, number, velocity)
                           : kind == "note-off"     ? Message::noteOff (channel, number, velocity)
                           : kind == "controller"   ? Message::controllerEvent (channel, number, value)
                           : kind == "program"      ? Message::programChange (channel, number)
                                                    : Message::pitchWheel (channel, number);
        messages.push_back (messageText (-1, message));
    }

    return messages;
}

std::vector<int> PlayTest::ticksEveryBeat (int presses)
{
    std::vector<int> ticks;

    for (int i = 0; i < presses; ++i)
        ticks.push_back (i * 960);

    return ticks;
}

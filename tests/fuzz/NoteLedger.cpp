#include "tests/fuzz/NoteLedger.h"

#include <algorithm>
#include <sstream>

namespace
{
std::string describe (const SentMidi& event)
{
    std::ostringstream text;
    text << std::hex << "[" << (int) event.bytes[0] << " " << (int) event.bytes[1] << " " << (int) event.bytes[2]
         << "]" << std::dec << " at " << event.deltaFrames;
    return text.str();
}
}

std::string NoteLedger::checkBlock (const std::vector<SentMidi>& sent, int blockSize, const std::vector<int32_t>& presses,
                                    const std::vector<int32_t>& silences)
{
    ++blockIndex;

    for (const auto& event : sent)
    {
        if (auto broken = checkRecord (event, blockSize); ! broken.empty())
            return broken;

        const auto at = [&event] (const std::vector<int32_t>& positions)
        {
            return std::find (positions.begin(), positions.end(), event.deltaFrames) != positions.end();
        };

        if (! at (presses) && ! (event.isNoteOff() && at (silences)))
            return "event " + describe (event) + " where no press was";

        if (auto broken = apply (event); ! broken.empty())
            return broken;
    }

    if (! presses.empty())
        return checkNothingOlderSounds (presses.back(), "after the block's last press");

    return {};
}

std::string NoteLedger::checkRecord (const SentMidi& event, int blockSize)
{
    const bool inside = event.deltaFrames >= 0 && event.deltaFrames < blockSize;

    if (! inside)
        return "event " + describe (event) + " outside its block of " + std::to_string (blockSize) + " frames";

    if (event.type != kVstMidiType || event.byteSize != 24)
        return "record of type " + std::to_string (event.type) + ", size " + std::to_string (event.byteSize);

    const bool noteMessage = event.status() == 0x90 || event.status() == 0x80;

    if (! noteMessage || event.note() > 127 || event.velocity() > 127 || (event.isNoteOff() && event.velocity() != 0))
        return "not a note-on or note-off on channel 1: " + describe (event);

    return {};
}

std::string NoteLedger::apply (const SentMidi& event)
{
    auto& note = notes[event.note()];

    if (event.isNoteOff())
    {
        ++noteOffs;

        if (! note.sounding)
            return "note-off " + describe (event) + " for a note that does not sound";

        note.sounding = false;
        return {};
    }

    ++noteOns;

    if (note.sounding)
        return "note-on " + describe (event) + " for a note that sounds already: the first one hangs";

    if (auto broken = checkNothingOlderSounds (event.deltaFrames, "at a note-on"); ! broken.empty())
        return broken;

    note = { true, blockIndex, event.deltaFrames };
    return {};
}

std::string NoteLedger::checkNothingOlderSounds (int32_t position, const char* when) const
{
    for (int n = 0; n < 128; ++n)
    {
        const auto& note = notes[(size_t) n];

        if (note.sounding && (note.block < blockIndex || note.position < position))
            return "note " + std::to_string (n) + " started " + (note.block < blockIndex ? "in an earlier block" : "at " + std::to_string (note.position))
                   + " still sounds " + when + " at " + std::to_string (position) + ": the press did not end it";
    }

    return {};
}

std::vector<int> NoteLedger::soundingNotes() const
{
    std::vector<int> sounding;

    for (int n = 0; n < 128; ++n)
        if (notes[(size_t) n].sounding)
            sounding.push_back (n);

    return sounding;
}

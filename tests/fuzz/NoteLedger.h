#pragma once

#include "tests/support/PluginHost.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Follows the notes one instance has started and ended, block by block, and checks every block's
// output: each event lies inside its block (a block of no frames carries none),
// is a MIDI event record of 24 bytes holding a note-on or note-off on channel 1, and stands at a
// press (a note-off also where the chord may end without one); a note-off ends a sounding note; a note-on never starts a note that sounds; and after a
// press no note started before it still sounds.
class NoteLedger
{
public:
    // The first rule the block's output breaks, or an empty string.
    std::string checkBlock (const std::vector<SentMidi>& sent, int blockSize, const std::vector<int32_t>& presses,
                            const std::vector<int32_t>& silences = {});

    std::vector<int> soundingNotes() const;
    int64_t noteOnsSeen() const { return noteOns; }
    int64_t noteOffsSeen() const { return noteOffs; }

private:
    struct Note
    {
        bool sounding = false;
        int64_t block = 0;
        int32_t position = 0;
    };

    static std::string checkRecord (const SentMidi& event, int blockSize);
    std::string apply (const SentMidi& event);
    std::string checkNothingOlderSounds (int32_t position, const char* when) const;

    std::array<Note, 128> notes {};
    int64_t blockIndex = 0;
    int64_t noteOns = 0, noteOffs = 0;
};

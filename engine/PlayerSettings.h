#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <optional>

// How the player plays the grid: the settings a player opts into, stored with the grid. Every
// default is the plug-in's plain behaviour (controller 64 steps forward, the grid wraps, incoming
// MIDI is consumed, chords go out on channel 1 as stored).
struct PlayerSettings
{
    enum class EndOfGrid : uint8_t
    {
        wrap,  // the press after the last column plays the first
        stop,  // it ends the chord and plays nothing until previous, reset or a jump
        hold   // the last chord keeps sounding
    };

    enum class Trigger { none, next, previous, reset };

    static constexpr int noController = -1;
    // Controllers 120 to 127 are channel mode messages, never triggers.
    static constexpr int maxTriggerController = 119;
    static constexpr int maxTranspose = 24;

    int nextController = 64;
    int previousController = noController;
    int resetController = noController;
    bool jumpByProgramChange = false;
    EndOfGrid endOfGrid = EndOfGrid::wrap;
    bool passThrough = false;
    int outputChannel = 1;  // 1 to 16
    int transpose = 0;      // semitones, -24 to +24

    bool isDefault() const noexcept { return *this == PlayerSettings(); }

    // One controller, one trigger, the rule every way of choosing a trigger follows (the menu,
    // "Learn", corvadel-play's options): the trigger gets the controller (noController: none),
    // and the others that had it give it up. The next trigger always has a controller, and the
    // previous and reset triggers never take the next trigger's: false, and nothing changes,
    // for such an assignment or one out of range.
    bool assignTrigger (Trigger trigger, int controller) noexcept;
    int controllerOf (Trigger trigger) const noexcept;
    // A stored combination that breaks the rule, fitted to it: a previous or reset trigger on the
    // next trigger's controller becomes none, and so does a reset trigger on the previous
    // trigger's.
    PlayerSettings withOneControllerPerTrigger() const noexcept;
    // Every value within its range.
    bool isValid() const noexcept;

    // One word, for an atomic: the audio thread reads every setting at once.
    uint64_t pack() const noexcept;
    static PlayerSettings unpack (uint64_t word) noexcept;

    // The settings block that follows the grid in the state: the four bytes "CVds", an int32
    // version (1), an int32 count of the bytes that follow (8 up to maxBlockSize less the
    // header; bytes past the eighth are ignored), then one byte each: next trigger, previous trigger (-1: none), reset trigger (-1:
    // none), jump by program change (0 or 1), end of the grid (0 wrap, 1 stop, 2 hold), pass
    // through (0 or 1), output channel (1 to 16), transpose (signed).
    static constexpr int blockHeaderSize = 12;
    static constexpr int blockFieldsSize = 8;
    // The longest block, header included: room for settings to come, and a bound on a state's
    // size. A block that counts more bytes is malformed.
    static constexpr int maxBlockSize = 256;
    void appendBlockTo (juce::MemoryBlock& destination) const;
    // Whether these bytes start a settings block (its four tag bytes).
    static bool startsBlock (const uint8_t* data, int64_t size) noexcept;
    // The settings of a block that starts here; nothing when it is malformed.
    static std::optional<PlayerSettings> readBlock (const uint8_t* data, int64_t size) noexcept;

    bool operator== (const PlayerSettings& other) const noexcept;
    bool operator!= (const PlayerSettings& other) const noexcept { return ! (*this == other); }
};

#include "engine/PlayerSettings.h"

#include "engine/LittleEndian.h"

#include <cstring>

namespace
{
constexpr uint8_t blockTag[] = { 'C', 'V', 'd', 's' };
constexpr int32_t blockVersion = 1;

bool isController (int number) noexcept
{
    return number >= 0 && number <= PlayerSettings::maxTriggerController;
}

bool isOptionalController (int number) noexcept
{
    return number == PlayerSettings::noController || isController (number);
}
}

bool PlayerSettings::isValid() const noexcept
{
    return isController (nextController) && isOptionalController (previousController)
        && isOptionalController (resetController) && (int) endOfGrid <= (int) EndOfGrid::hold
        && outputChannel >= 1 && outputChannel <= 16 && transpose >= -maxTranspose && transpose <= maxTranspose;
}

bool PlayerSettings::operator== (const PlayerSettings& other) const noexcept
{
    return nextController == other.nextController && previousController == other.previousController
        && resetController == other.resetController && jumpByProgramChange == other.jumpByProgramChange
        && endOfGrid == other.endOfGrid && passThrough == other.passThrough
        && outputChannel == other.outputChannel && transpose == other.transpose;
}

int PlayerSettings::controllerOf (Trigger trigger) const noexcept
{
    switch (trigger)
    {
        case Trigger::next:     return nextController;
        case Trigger::previous: return previousController;
        case Trigger::reset:    return resetController;
        case Trigger::none:     break;
    }

    return noController;
}

bool PlayerSettings::assignTrigger (Trigger trigger, int controller) noexcept
{
    if (trigger == Trigger::none || ! isOptionalController (controller))
        return false;

    if (trigger == Trigger::next ? controller == noController : (controller != noController && controller == nextController))
        return false;

    switch (trigger)
    {
        case Trigger::next:     nextController = controller; break;
        case Trigger::previous: previousController = controller; break;
        case Trigger::reset:    resetController = controller; break;
        case Trigger::none:     break;
    }

    if (controller == noController)
        return true;

    if (trigger != Trigger::previous && previousController == controller)
        previousController = noController;

    if (trigger != Trigger::reset && resetController == controller)
        resetController = noController;

    return true;
}

PlayerSettings PlayerSettings::withOneControllerPerTrigger() const noexcept
{
    PlayerSettings fitted = *this;

    if (fitted.previousController == fitted.nextController)
        fitted.previousController = noController;

    if (fitted.resetController == fitted.nextController
        || (fitted.resetController != noController && fitted.resetController == fitted.previousController))
        fitted.resetController = noController;

    return fitted;
}

uint64_t PlayerSettings::pack() const noexcept
{
    // One byte a setting; the controllers and the transpose are stored offset so every byte is
    // a plain unsigned value.
    const uint8_t bytes[8] = {
        (uint8_t) nextController,
        (uint8_t) (previousController + 1),
        (uint8_t) (resetController + 1),
        (uint8_t) (jumpByProgramChange ? 1 : 0),
        (uint8_t) endOfGrid,
        (uint8_t) (passThrough ? 1 : 0),
        (uint8_t) outputChannel,
        (uint8_t) (transpose + maxTranspose)
    };

    uint64_t word = 0;

    for (int i = 0; i < 8; ++i)
        word |= (uint64_t) bytes[i] << (8 * i);

    return word;
}

PlayerSettings PlayerSettings::unpack (uint64_t word) noexcept
{
    const auto byte = [word] (int i) { return (int) ((word >> (8 * i)) & 0xFF); };

    PlayerSettings s;
    s.nextController = byte (0);
    s.previousController = byte (1) - 1;
    s.resetController = byte (2) - 1;
    s.jumpByProgramChange = byte (3) != 0;
    s.endOfGrid = (EndOfGrid) byte (4);
    s.passThrough = byte (5) != 0;
    s.outputChannel = byte (6);
    s.transpose = byte (7) - maxTranspose;
    return s;
}

void PlayerSettings::appendBlockTo (juce::MemoryBlock& destination) const
{
    destination.append (blockTag, sizeof (blockTag));
    LittleEndian::appendInt32 (destination, blockVersion);
    LittleEndian::appendInt32 (destination, blockFieldsSize);

    const int8_t fields[blockFieldsSize] = {
        (int8_t) nextController, (int8_t) previousController, (int8_t) resetController,
        (int8_t) (jumpByProgramChange ? 1 : 0), (int8_t) endOfGrid, (int8_t) (passThrough ? 1 : 0),
        (int8_t) outputChannel, (int8_t) transpose
    };

    destination.append (fields, sizeof (fields));
}

bool PlayerSettings::startsBlock (const uint8_t* data, int64_t size) noexcept
{
    return data != nullptr && size >= (int64_t) sizeof (blockTag) && std::memcmp (data, blockTag, sizeof (blockTag)) == 0;
}

std::optional<PlayerSettings> PlayerSettings::readBlock (const uint8_t* data, int64_t size) noexcept
{
    if (! startsBlock (data, size) || size < blockHeaderSize)
        return std::nullopt;

    const int32_t version = LittleEndian::readInt32 (data + 4);
    const int32_t fieldsSize = LittleEndian::readInt32 (data + 8);

    if (version != blockVersion || fieldsSize < blockFieldsSize || fieldsSize > maxBlockSize - blockHeaderSize
        || fieldsSize > size - blockHeaderSize)
        return std::nullopt;

    const auto* fields = reinterpret_cast<const int8_t*> (data + blockHeaderSize);

    // Flags are 0 or 1 and nothing else: a block that says otherwise was not written by a
    // settings writer, and is not guessed at.
    if ((fields[3] & ~1) != 0 || (fields[5] & ~1) != 0 || fields[4] < 0)
        return std::nullopt;

    PlayerSettings s;
    s.nextController = fields[0];
    s.previousController = fields[1];
    s.resetController = fields[2];
    s.jumpByProgramChange = fields[3] != 0;
    s.endOfGrid = (EndOfGrid) fields[4];
    s.passThrough = fields[5] != 0;
    s.outputChannel = fields[6];
    s.transpose = fields[7];

    if (! s.isValid())
        return std::nullopt;

    // Such a state was once accepted, and projects may hold one: it loads, fitted to the rule.
    return s.withOneControllerPerTrigger();
}

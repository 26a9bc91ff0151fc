#pragma once

#include "tests/fuzz/EventList.h"
#include "tests/fuzz/FuzzRandom.h"

// Event lists for one block: pedal presses and releases on any channel among other messages,
// with the faults hosts make: positions before, after and far outside the block, records of
// other types or sizes, null entries, counts that disagree with the entries, and data without a
// status byte.
class EventListGenerator
{
public:
    explicit EventListGenerator (FuzzRandom& randomToUse) : random (randomToUse) {}

    EventList make (int blockSize);

private:
    int32_t position (int blockSize);
    std::array<uint8_t, 4> message();
    std::array<uint8_t, 4> pedalMessage();
    int32_t recordType();
    int32_t recordSize();

    FuzzRandom& random;
};

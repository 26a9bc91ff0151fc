#include "tests/fuzz/EventListGenerator.h"

#include <algorithm>
#include <climits>

EventList EventListGenerator::make (int blockSize)
{
    EventList list;
    const auto count = random.percent (5) ? random.between (13, 300) : random.between (0, 12);
    std::vector<int32_t> positions;

    for (int64_t i = 0; i < count; ++i)
        positions.push_back (position (blockSize));

    // Hosts send their events in time order; some do not.
    if (random.percent (60))
        std::stable_sort (positions.begin(), positions.end());

    for (auto at : positions)
    {
        if (random.percent (4))
            list.addNullEntry();
        else
            list.addRecord (recordType(), recordSize(), at, random.percent (45) ? pedalMessage() : message());
    }

    if (random.percent (3))
        list.claimCount (random.pick<int32_t> ({ 0, -1, INT_MIN }));

    return list;
}

int32_t EventListGenerator::position (int blockSize)
{
    if (random.percent (85))
        return (int32_t) random.between (0, std::max (0, blockSize - 1));

    return random.pick<int32_t> ({ -1, -700, blockSize, blockSize + 1, 100000, INT_MIN, INT_MAX, random.oddInt32() });
}

std::array<uint8_t, 4> EventListGenerator::pedalMessage()
{
    const auto channel = (uint8_t) random.between (0, 15);
    const auto kind = random.between (0, 99);
    // Value 0 releases; any other value presses, a data byte with its top bit set included.
    const uint8_t value = kind < 40 ? 0 : (kind < 90 ? (uint8_t) random.pick<int> ({ 127, 1, 64, 100 }) : random.byte());
    return { (uint8_t) (0xB0 | channel), 64, value, random.byte() };
}

std::array<uint8_t, 4> EventListGenerator::message()
{
    const auto channel = (uint8_t) random.between (0, 15);
    const auto note = (uint8_t) random.between (0, 127);

    switch (random.between (0, 9))
    {
        case 0: return { (uint8_t) (0x90 | channel), note, 100, 0 };
        case 1: return { (uint8_t) (0x80 | channel), note, 0, 0 };
        case 2: return { (uint8_t) (0xB0 | channel), (uint8_t) random.pick<int> ({ 1, 7, 63, 65, 123, 192 }), 127, 0 };
        case 3: return { (uint8_t) (0xC0 | channel), note, 0, 0 };
        case 4: return { (uint8_t) (0xE0 | channel), 0, 64, 0 };
        case 5: return { 0xF0, 0x7E, 0x7F, 0xF7 };  // system exclusive
        case 6: return { random.pick<uint8_t> ({ 0xF8, 0xFA, 0xFC, 0xFE, 0xFF, 0xF7, 0xF1 }), 0, 0, 0 };
        case 7: return { 64, 127, 0, 0 };  // running status: no status byte
        case 8: return { (uint8_t) (random.byte() & 0x7F), random.byte(), random.byte(), random.byte() };
        default: return { random.byte(), random.byte(), random.byte(), random.byte() };
    }
}

int32_t EventListGenerator::recordType()
{
    if (random.percent (95))
        return kVstMidiType;

    return random.pick<int32_t> ({ 0, 2, 3, 4, 5, 6, -1, INT_MAX });
}

int32_t EventListGenerator::recordSize()
{
    if (random.percent (95))
        return 24;

    return random.pick<int32_t> ({ 0, -1, 8, 32, 1000, INT_MAX });
}

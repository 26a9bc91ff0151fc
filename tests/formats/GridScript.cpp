#include "tests/formats/GridScript.h"

#include <algorithm>
#include <string>

namespace
{
std::vector<std::pair<int, int32_t>> ascending (const ChordColumn& column)
{
    auto notes = column.notes;
    std::sort (notes.begin(), notes.end());
    return notes;
}
}

GridScript::Grid GridScript::threeChords()
{
    return { { { { 60, 100 }, { 64, 90 }, { 67, 80 } } },
             { { { 57, 127 }, { 60, 1 }, { 64, 300 }, { 0, 64 } } },
             { { { 55, 200 }, { 59, 100 }, { 62, 70 }, { 65, 45 }, { 127, 99 } } } };
}

std::vector<uint8_t> GridScript::chunkOf (const Grid& grid)
{
    return makeGridChunk (grid);
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> GridScript::malformedChunks (const std::vector<uint8_t>& valid)
{
    auto truncated = valid;
    truncated.pop_back();
    auto negativeColumns = valid;
    writeInt32 (negativeColumns, 0, -1);
    auto tooManyColumns = valid;
    writeInt32 (tooManyColumns, 0, 4097);
    auto tooManyCells = valid;
    writeInt32 (tooManyCells, 4, 1025);
    auto oneColumnMore = valid;
    writeInt32 (oneColumnMore, 0, readInt32 (valid, 0) + 1);

    return { { "one byte short", truncated },
             { "a negative column count", negativeColumns },
             { "more than 4096 columns", tooManyColumns },
             { "more than 1024 cells a column", tooManyCells },
             { "a column count the bytes do not hold", oneColumnMore },
             { "four bytes", { 1, 0, 0, 0 } } };
}

GridScript::Player::Player (Grid g) : grid (std::move (g)) {}

void GridScript::Player::endChord (int sample, std::vector<MidiOut>& out)
{
    if (! sounding)
        return;

    for (const auto& [note, velocity] : ascending (grid[(size_t) current]))
        out.push_back ({ sample, 0x80, (uint8_t) note, 0 });

    sounding = false;
}

std::vector<MidiOut> GridScript::Player::pressesAt (const std::vector<int>& samples)
{
    std::vector<MidiOut> out;

    for (int sample : samples)
    {
        endChord (sample, out);
        current = (current + 1) % (int) grid.size();

        for (const auto& [note, velocity] : ascending (grid[(size_t) current]))
            out.push_back ({ sample, 0x90, (uint8_t) note, (uint8_t) std::clamp (velocity, 1, 127) });

        sounding = true;
    }

    return out;
}

std::vector<MidiOut> GridScript::Player::stop()
{
    std::vector<MidiOut> out;
    endChord (0, out);
    return out;
}

std::vector<uint8_t> GridScript::threeChordsVst3StreamSavedOnLinux()
{
    static const char* const hex =
#include "tests/formats/data/three-chords-vst3-stream.hex"
        ;

    std::vector<uint8_t> bytes;

    for (const char* p = hex; p[0] != 0 && p[1] != 0; p += 2)
        bytes.push_back ((uint8_t) std::stoi (std::string (p, 2), nullptr, 16));

    return bytes;
}

std::string GridScript::hexOf (const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;

    for (auto b : bytes)
        text += { digits[b >> 4], digits[b & 15] };

    return text;
}

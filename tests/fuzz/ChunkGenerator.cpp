#include "tests/fuzz/ChunkGenerator.h"

#include "tests/support/PluginHost.h"

Bytes ChunkGenerator::make (const Bytes& savedLast)
{
    const auto kind = random.between (0, 99);

    if (kind < 40)
        return randomGrid();

    if (kind < 55 && savedLast.size() >= 8)
        return spoilt (savedLast);

    if (kind < 85)
        return spoilt (randomGrid());

    return noise();
}

Bytes ChunkGenerator::randomGrid()
{
    int64_t columns = random.between (0, 6);
    int64_t perColumn = 128;

    if (random.percent (10))
        columns = random.between (7, 300);
    else if (random.percent (1))
        columns = 4096;  // the longest grid the format allows: 4 MB

    if (random.percent (25))
        perColumn = random.pick<int64_t> ({ 0, 1, 64, 127, 129, 256, 1024 });

    // Keep the chunk within a few megabytes.
    while (columns * perColumn > 4096 * 128)
        columns /= 2;

    Bytes chunk (8 + (size_t) (columns * perColumn) * 8, 0);
    writeInt32 (chunk, 0, (int32_t) columns);
    writeInt32 (chunk, 4, (int32_t) perColumn);

    const bool sparse = columns * perColumn > 64 * 128;

    for (size_t offset = 8; offset < chunk.size(); offset += 8)
    {
        if (sparse && ! random.percent (2))
            writeInt32 (chunk, offset + 4, 100);
        else
            writeCell (chunk, offset);
    }

    if (random.percent (10))
        for (auto extra = random.between (1, 40); extra > 0; --extra)
            chunk.push_back (random.byte());

    return chunk;
}

void ChunkGenerator::writeCell (Bytes& chunk, size_t offset)
{
    const auto on = random.between (0, 99);
    chunk[offset] = on < 75 ? 0 : (on < 95 ? 1 : random.byte());

    if (random.percent (5))
        for (int i = 1; i < 4; ++i)
            chunk[offset + (size_t) i] = random.byte();

    const int32_t velocity = random.percent (85) ? (int32_t) random.between (1, 127) : random.oddInt32();
    writeInt32 (chunk, offset + 4, velocity);
}

Bytes ChunkGenerator::spoilt (Bytes chunk)
{
    for (auto changes = random.between (1, 6); changes > 0; --changes)
        spoilOnce (chunk);

    return chunk;
}

void ChunkGenerator::spoilOnce (Bytes& chunk)
{
    switch (random.between (0, 5))
    {
        case 0:
            if (! chunk.empty())
                chunk[(size_t) random.between (0, (int64_t) chunk.size() - 1)] ^= (uint8_t) (1u << random.between (0, 7));
            break;

        case 1:
            if (! chunk.empty())
                chunk[(size_t) random.between (0, (int64_t) chunk.size() - 1)] = random.byte();
            break;

        case 2:
            chunk.resize ((size_t) random.between (0, (int64_t) chunk.size()));
            break;

        case 3:
            if (! chunk.empty())
                chunk.pop_back();
            break;

        case 4:
            for (auto extra = random.between (1, 16); extra > 0; --extra)
                chunk.push_back (random.byte());
            break;

        default:
            overwriteCount (chunk);
            break;
    }
}

void ChunkGenerator::overwriteCount (Bytes& chunk)
{
    if (chunk.size() < 8)
        return;

    const size_t offset = random.percent (50) ? 0 : 4;
    // Next to the count it was: one column or cell more or fewer than the bytes hold.
    const auto nearby = (uint32_t) readInt32 (chunk, offset) + (uint32_t) random.between (-2, 2);
    writeInt32 (chunk, offset, random.percent (50) ? random.oddInt32() : (int32_t) nearby);
}

Bytes ChunkGenerator::noise()
{
    Bytes chunk ((size_t) random.between (0, 48));

    for (auto& b : chunk)
        b = random.byte();

    // Small counts, so that noise is now and then a chunk the plug-in accepts.
    if (chunk.size() >= 8 && random.percent (50))
    {
        writeInt32 (chunk, 0, (int32_t) random.between (0, 2));
        writeInt32 (chunk, 4, (int32_t) random.between (0, 2));
    }

    return chunk;
}

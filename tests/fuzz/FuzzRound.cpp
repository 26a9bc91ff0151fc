#include "tests/fuzz/FuzzRound.h"

#include <algorithm>
#include <cstring>
#include <iostream>

namespace
{
constexpr size_t maxInstances = 4;

std::string describeBytes (const Bytes& bytes)
{
    std::string text = std::to_string (bytes.size()) + " bytes";

    if (bytes.size() >= 8)
        text += " (header " + std::to_string (readInt32 (bytes, 0)) + ", " + std::to_string (readInt32 (bytes, 4)) + ")";

    return text;
}

std::string firstDifference (const Bytes& got, const Bytes& expected)
{
    const auto mismatch = std::mismatch (got.begin(), got.end(), expected.begin(), expected.end());
    return "saved " + describeBytes (got) + ", expected " + describeBytes (expected) + ", first difference at byte "
           + std::to_string (mismatch.first - got.begin());
}
}

FuzzRound::FuzzRound (uint64_t seed, PluginLibrary& library, FuzzCounts& countsToUse, bool noDisplay, bool traceEverySteps)
    : random (seed), counts (countsToUse), displayAbsent (noDisplay), traceSteps (traceEverySteps), host (library)
{
}

FuzzRound::~FuzzRound()
{
    host.closeAll();
}

std::optional<std::string> FuzzRound::run (std::chrono::steady_clock::time_point deadline)
{
    const auto steps = random.between (50, 400);

    for (int64_t step = 0; step <= steps; ++step)
    {
        const bool last = step == steps || std::chrono::steady_clock::now() > deadline;

        // The round starts with an instance, and ends every chord before it stops.
        auto broken = step == 0 ? openInstance() : (last ? endEveryChord() : takeStep());

        if (! broken.empty())
            return "step " + std::to_string (step) + ": " + broken;

        if (last)
            break;
    }

    return std::nullopt;
}

std::string FuzzRound::takeStep()
{
    if (instances.empty())
        return openInstance();

    auto& instance = randomInstance();
    const auto choice = random.between (0, 999);

    if (choice < 250) return trace ("events", instance), deliverEvents (instance);
    if (choice < 450) return trace ("block", instance), runBlock (instance);
    if (choice < 570) return trace ("chunk", instance), giveChunk (instance);
    if (choice < 610) return trace ("own chunk back", instance), handOwnChunkBack (instance);
    if (choice < 650) return trace ("compare state", instance), compareSavedState (instance, "nothing");
    if (choice < 800) return trace ("dispatcher", instance), callDispatcher (instance);
    if (choice < 850) return trace ("editor size", instance), askEditorSize (instance);
    if (choice < 880) return trace ("close editor", instance), closeEditor (instance);
    if (choice < 900) return trace ("editor window", instance), requestEditorWindow (instance);
    if (choice < 920) return trace ("editor idle", instance), idleEditor (instance);
    if (choice < 940) return trace ("mains", instance), switchMains (instance);
    if (choice < 960) return trace ("parameters", instance), touchParameters (instance);
    if (choice < 980) return instances.size() < maxInstances ? openInstance() : std::string();
    return instances.size() > 1 ? closeInstance() : std::string();
}

void FuzzRound::trace (const char* step, const Instance& instance)
{
    if (traceSteps)
        std::cerr << "  " << std::chrono::duration_cast<std::chrono::milliseconds> (std::chrono::steady_clock::now() - started).count()
                  << " ms: " << step << " on " << instance.effect << "\n";
}

FuzzRound::Instance& FuzzRound::randomInstance()
{
    return *instances[(size_t) random.between (0, (int64_t) instances.size() - 1)];
}

//==============================================================================
std::string FuzzRound::openInstance()
{
    auto instance = std::make_unique<Instance>();
    instance->effect = host.createInstance();

    if (instance->effect == nullptr)
        return "the entry gave no instance";

    ++counts.instances;

    // Most hosts open and switch on before they play; some never do.
    if (random.percent (80))
        host.startPlaying (instance->effect, random.pick<float> ({ 44100.0f, 48000.0f, 96000.0f }),
                           (int) random.pick<int> ({ 64, 512, 4096 }));

    trace ("new instance", *instance);
    instances.push_back (std::move (instance));
    return compareSavedState (*instances.back(), "the instance was created");
}

std::string FuzzRound::closeInstance()
{
    const auto index = (size_t) random.between (0, (int64_t) instances.size() - 1);
    trace ("close instance", *instances[index]);
    host.close (instances[index]->effect);
    instances.erase (instances.begin() + (ptrdiff_t) index);
    return {};
}

std::string FuzzRound::endEveryChord()
{
    // A release and a press must end whatever still sounds.
    for (auto& instance : instances)
    {
        EventList list;
        list.addRecord (kVstMidiType, 24, 0, { 0xB0, 64, 0, 0 });
        list.addRecord (kVstMidiType, 24, 1, { 0xB0, 64, 127, 0 });
        instance->pedal.delivered (list.readableMidi());
        host.dispatch (instance->effect, effProcessEvents, 0, 0, list.build());

        if (auto broken = runBlockOf (*instance, 64, true); ! broken.empty())
            return "the closing press: " + broken;
    }

    return {};
}

//==============================================================================
std::string FuzzRound::deliverEvents (Instance& instance)
{
    ++counts.eventLists;

    if (random.percent (2))
    {
        // No list at all.
        host.dispatch (instance.effect, effProcessEvents, 0, 0, nullptr);
        return {};
    }

    auto list = eventLists.make (randomBlockSize());
    counts.eventRecords += (int64_t) list.numEntries();
    instance.pedal.delivered (list.readableMidi());

    if (host.dispatch (instance.effect, effProcessEvents, 0, 0, list.build()) != 1)
        return "effProcessEvents did not take the events";

    return {};
}

int FuzzRound::randomBlockSize()
{
    const auto kind = random.between (0, 99);

    if (kind < 5) return 0;
    if (kind < 10) return 1;
    if (kind < 20) return (int) random.between (4096, 8192);
    return (int) random.between (2, 1024);
}

std::string FuzzRound::runBlock (Instance& instance)
{
    // Often with a press in it, so that chords change.
    if (random.percent (50))
        if (auto broken = deliverEvents (instance); ! broken.empty())
            return broken;

    return runBlockOf (instance, randomBlockSize(), random.percent (80));
}

std::string FuzzRound::runBlockOf (Instance& instance, int numFrames, bool replacing)
{
    ++counts.blocks;
    counts.emptyBlocks += numFrames == 0;
    counts.oneFrameBlocks += numFrames == 1;
    counts.longBlocks += numFrames >= 4096;

    const auto presses = instance.pedal.pressesInBlock (numFrames);
    counts.presses += (int64_t) presses.size();

    const auto onsBefore = instance.ledger.noteOnsSeen();
    const auto offsBefore = instance.ledger.noteOffsSeen();

    host.takeSentMidi();
    host.runBlock (instance.effect, numFrames, replacing);
    const auto sent = host.takeSentMidi();
    auto broken = instance.ledger.checkBlock (sent, numFrames, presses, instance.pedal.silencesInBlock());

    counts.noteOns += instance.ledger.noteOnsSeen() - onsBefore;
    counts.noteOffs += instance.ledger.noteOffsSeen() - offsBefore;
    return broken;
}

//==============================================================================
Bytes FuzzRound::savedState (Instance& instance)
{
    return host.getChunk (instance.effect);
}

std::string FuzzRound::compareSavedState (Instance& instance, const char* after)
{
    ++counts.savedStatesCompared;
    const auto saved = savedState (instance);
    const auto expected = instance.state.expectedSave();

    if (saved != expected)
        return std::string ("after ") + after
               + ": " + firstDifference (saved, expected);

    return {};
}

std::string FuzzRound::giveChunk (Instance& instance)
{
    const auto kind = random.between (0, 99);

    if (kind < 3)
    {
        // A size without data, or data with no size or a negative one: nothing to read.
        Bytes some (16, 0);
        const bool withData = kind > 0;
        const auto size = withData ? random.pick<VstIntPtr> ({ 0, -1, -1024 }) : random.pick<VstIntPtr> ({ 8, 1024, 0 });
        const auto before = savedState (instance);
        host.dispatch (instance.effect, effSetChunk, 0, size, withData ? some.data() : nullptr);
        ++counts.chunksGiven;
        ++counts.chunksRefused;
        const auto after = savedState (instance);
        return after == before ? std::string() : "a chunk without data or size changed the state: " + firstDifference (after, before);
    }

    return giveChunkBytes (instance, chunks.make (instance.state.expectedSave()));
}

std::string FuzzRound::giveChunkBytes (Instance& instance, const Bytes& chunk)
{
    const auto before = savedState (instance);

    // A copy of the host's own, exactly as long as the chunk: a read past it is caught.
    std::unique_ptr<uint8_t[]> copy (new uint8_t[std::max<size_t> (1, chunk.size())]);
    std::copy (chunk.begin(), chunk.end(), copy.get());
    host.dispatch (instance.effect, effSetChunk, (VstInt32) random.between (0, 1), (VstIntPtr) chunk.size(),
                   chunk.empty() ? nullptr : copy.get());
    copy.reset();

    ++counts.chunksGiven;
    const bool accepted = instance.state.chunkGiven (chunk.data(), (int64_t) chunk.size());
    ++(accepted ? counts.chunksAccepted : counts.chunksRefused);

    if (! accepted)
    {
        const auto after = savedState (instance);

        if (after != before)
            return "a refused chunk of " + describeBytes (chunk) + " changed the state: " + firstDifference (after, before);
    }

    return compareSavedState (instance, accepted ? "an accepted chunk" : "a refused chunk");
}

std::string FuzzRound::handOwnChunkBack (Instance& instance)
{
    void* data = nullptr;
    const auto size = host.dispatch (instance.effect, effGetChunk, 0, 0, &data);

    if (size <= 0 || data == nullptr)
        return compareSavedState (instance, "an empty state");

    // Mostly straight back to the same instance, as a host restoring an undo step does; now and
    // then to another one, as a host copying a plug-in does, before it reads anything itself.
    auto& receiver = random.percent (25) ? randomInstance() : instance;

    ++counts.ownChunksHandedBack;
    ++counts.chunksGiven;
    ++counts.chunksAccepted;
    const Bytes handedOut (static_cast<const uint8_t*> (data), static_cast<const uint8_t*> (data) + size);
    host.dispatch (receiver.effect, effSetChunk, 0, size, data);

    if (! receiver.state.chunkGiven (handedOut.data(), (int64_t) handedOut.size()))
        return "the plug-in saved a chunk it would refuse: " + describeBytes (handedOut);

    if (auto broken = compareSavedState (receiver, "a chunk the plug-in saved came back"); ! broken.empty())
        return broken;

    return compareSavedState (instance, "its chunk was handed over");
}

//==============================================================================
std::string FuzzRound::askEditorSize (Instance& instance)
{
    ++counts.dispatcherCalls;
    ++counts.editorSizeQueries;
    ERect* rect = nullptr;
    const bool wantsRect = random.percent (90);
    const auto answer = host.dispatch (instance.effect, effEditGetRect, 0, 0, wantsRect ? &rect : nullptr);

    if (answer == 0)
        return "effEditGetRect answered 0";

    if (wantsRect && (rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top))
        return "effEditGetRect gave no usable rectangle";

    return compareSavedState (instance, "the editor's size was asked");
}

std::string FuzzRound::requestEditorWindow (Instance& instance)
{
    ++counts.dispatcherCalls;
    ++counts.editorOpenRequests;

    if (! displayAbsent || random.percent (30))
    {
        // No window: nothing may change.
        if (host.dispatch (instance.effect, effEditOpen, 0, 0, nullptr) != 0)
            return "effEditOpen without a window answered that it opened";

        return compareSavedState (instance, "effEditOpen without a window");
    }

    // A window of a display that is not there: no editor is built.
    auto* window = reinterpret_cast<void*> ((uintptr_t) random.between (1, 0x3FFFFF));

    if (host.dispatch (instance.effect, effEditOpen, 0, 0, window) != 0)
        return "effEditOpen answered that it opened without a display";

    return compareSavedState (instance, "effEditOpen without a display");
}

std::string FuzzRound::closeEditor (Instance& instance)
{
    ++counts.dispatcherCalls;
    ++counts.editorCloses;
    host.dispatch (instance.effect, effEditClose);
    return compareSavedState (instance, "the editor closed");
}

std::string FuzzRound::idleEditor (Instance& instance)
{
    ++counts.dispatcherCalls;
    host.dispatch (instance.effect, effEditIdle);
    return {};
}

std::string FuzzRound::switchMains (Instance& instance)
{
    ++counts.dispatcherCalls;
    host.dispatch (instance.effect, effMainsChanged, 0, random.pick<VstIntPtr> ({ 0, 1, 2 }));
    instance.pedal.hostSwitched();
    return {};
}

std::string FuzzRound::touchParameters (Instance& instance)
{
    // No parameters: every index names nothing.
    const auto index = random.oddInt32();
    instance.effect->setParameter (instance.effect, index, (float) random.between (0, 100) / 100.0f);

    if (instance.effect->getParameter (instance.effect, index) != 0.0f)
        return "parameter " + std::to_string (index) + " has a value";

    return {};
}

std::string FuzzRound::callDispatcher (Instance& instance)
{
    ++counts.dispatcherCalls;
    return dispatcher.callRandom (host, instance.effect);
}

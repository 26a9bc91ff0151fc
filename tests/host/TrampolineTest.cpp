#include "tests/host/ProbeEffect.h"

#include <gtest/gtest.h>

#include <cstring>

TEST (Trampolines, DispatcherPassesEveryArgumentAndTheAnswer)
{
    ProbeEffect effect;
    effect.answers["vendorSpecific"] = 4321;
    AEffect* record = effect.getAeffect();
    int payload = 0;

    const VstIntPtr answer = record->dispatcher (record, effVendorSpecific, 17, 23, &payload, 0.75f);

    EXPECT_EQ (answer, 4321);
    EXPECT_EQ (effect.calls, (Calls { call ("vendorSpecific", 17, VstIntPtr (23), static_cast<void*> (&payload), 0.75f) }));
}

TEST (Trampolines, DispatcherReachesAnOverridingDispatcher)
{
    struct OwnDispatcher : BareEffect
    {
        VstIntPtr dispatcher (VstInt32 opcode, VstInt32, VstIntPtr, void*, float) override { return 1000 + opcode; }
    } effect;
    AEffect* record = effect.getAeffect();

    EXPECT_EQ (record->dispatcher (record, effGetVstVersion, 0, 0, nullptr, 0.0f), 1000 + effGetVstVersion);
}

TEST (Trampolines, SetParameterPassesIndexAndValueUnchanged)
{
    ProbeEffect effect;
    AEffect* record = effect.getAeffect();

    record->setParameter (record, 3, 0.123456789f);

    EXPECT_EQ (effect.calls, (Calls { call ("setParameter", 3, 0.123456789f) }));
}

TEST (Trampolines, GetParameterReturnsExactlyTheObjectsFloat)
{
    ProbeEffect effect;
    effect.floatAnswers["getParameter"] = 0.333333343f;
    AEffect* record = effect.getAeffect();

    const float value = record->getParameter (record, 9);

    EXPECT_EQ (std::memcmp (&value, &effect.floatAnswers["getParameter"], sizeof (float)), 0);
    EXPECT_EQ (effect.calls, (Calls { call ("getParameter", 9) }));
}

TEST (Trampolines, ProcessAndProcessReplacingReachTheirOwnOperations)
{
    ProbeEffect effect;
    AEffect* record = effect.getAeffect();
    float left[4] = {};
    float right[4] = {};
    float* inputs[] = { left };
    float* outputs[] = { right };

    record->process (record, inputs, outputs, 4);
    record->processReplacing (record, outputs, inputs, 2);

    EXPECT_EQ (effect.calls, (Calls { call ("process", inputs, outputs, 4), call ("processReplacing", outputs, inputs, 2) }));
}

TEST (Trampolines, CloseRunsTheObjectsCloseThenDestroysItAndAnswersOne)
{
    // Keeps what the object saw beyond its own lifetime.
    struct Closing : ProbeEffect
    {
        explicit Closing (Calls& log) : log (log) {}
        ~Closing() override { log = calls; log.push_back ("destroyed"); }
        Calls& log;
    };

    Calls log;
    AEffect* record = (new Closing (log))->getAeffect();

    const VstIntPtr answer = record->dispatcher (record, effClose, 0, 0, nullptr, 0.0f);

    EXPECT_EQ (answer, 1);
    EXPECT_EQ (log, (Calls { call ("close"), "destroyed" }));
}

TEST (Trampolines, CloseAnswersOneWhateverTheObjectsDispatcherSaid)
{
    struct RefusingClose : BareEffect
    {
        explicit RefusingClose (Calls& log) : log (log) {}
        ~RefusingClose() override { log.push_back ("destroyed"); }
        VstIntPtr dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override
        {
            log.push_back (call ("dispatcher", opcode, index, value, ptr, opt));
            return -7;
        }
        Calls& log;
    };

    Calls log;
    int payload = 0;
    AEffect* record = (new RefusingClose (log))->getAeffect();

    EXPECT_EQ (record->dispatcher (record, effClose, 5, 6, &payload, 0.5f), 1);
    EXPECT_EQ (log, (Calls { call ("dispatcher", VstInt32 (effClose), 5, VstIntPtr (6), static_cast<void*> (&payload), 0.5f),
                             "destroyed" }));
}

TEST (Trampolines, OtherOpcodesLeaveTheObjectAlive)
{
    bool destroyed = false;
    ProbeEffect effect;
    effect.destroyedFlag = &destroyed;
    AEffect* record = effect.getAeffect();

    record->dispatcher (record, effOpen, 0, 0, nullptr, 0.0f);
    record->dispatcher (record, effMainsChanged, 0, 1, nullptr, 0.0f);

    EXPECT_FALSE (destroyed);
    EXPECT_EQ (effect.calls, (Calls { call ("open"), call ("resume") }));
    effect.destroyedFlag = nullptr;
}

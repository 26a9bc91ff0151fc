#include "HostCallbackReceiver.h"

#include <atomic>

namespace
{
std::atomic<HostCallbackReceiver*> current { nullptr };

// With no receiver alive the plug-in still learns that a host is there.
constexpr VstIntPtr versionWithoutReceiver = 2400;
}

HostCallbackReceiver::HostCallbackReceiver()
{
    current = this;
}

HostCallbackReceiver::~HostCallbackReceiver()
{
    HostCallbackReceiver* expected = this;
    current.compare_exchange_strong (expected, nullptr);
}

audioMasterCallback HostCallbackReceiver::callback()
{
    return &HostCallbackReceiver::route;
}

VstIntPtr HostCallbackReceiver::route (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                       float opt)
{
    if (auto* receiver = current.load())
        return receiver->answer (effect, opcode, index, value, ptr, opt);

    return opcode == audioMasterVersion ? versionWithoutReceiver : 0;
}

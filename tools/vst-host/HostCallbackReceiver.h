#pragma once

#include "host/VstInterface.h"

// The host callback a plug-in calls carries no pointer of the host's own (the version request
// comes before there is even a record), so the requests of every instance in the process go to
// the one receiver that lives now. Tests and tools that host the plug-in derive from this.
//
// Threads: whichever thread the plug-in calls the host from; answer() must be safe to run on the
// audio thread as well as on the thread that drives the instance.
class HostCallbackReceiver
{
public:
    // The function to hand to the plug-in's entry.
    static audioMasterCallback callback();

    HostCallbackReceiver (const HostCallbackReceiver&) = delete;
    HostCallbackReceiver& operator= (const HostCallbackReceiver&) = delete;

protected:
    // Becomes the receiver of the process's requests until it is destroyed.
    HostCallbackReceiver();
    virtual ~HostCallbackReceiver();

    virtual VstIntPtr answer (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt) = 0;

private:
    static VstIntPtr route (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
};

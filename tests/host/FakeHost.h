#pragma once

#include "host/VstInterface.h"

#include <functional>
#include <map>
#include <vector>

// A host callback that writes down every request it gets and answers what the test told it.
// The callback is a plain function pointer, so the live host is found through a static slot;
// a newer FakeHost stands in for the one before it until it goes.
struct HostRequest
{
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

class FakeHost
{
public:
    FakeHost() : previous (live()) { live() = this; }
    ~FakeHost() { live() = previous; }

    FakeHost (const FakeHost&) = delete;
    FakeHost& operator= (const FakeHost&) = delete;

    static VstIntPtr callback (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt)
    {
        FakeHost* host = live();
        if (host == nullptr)
            return 0;

        const HostRequest request { effect, opcode, index, value, ptr, opt };
        host->requests.push_back (request);

        if (host->onRequest)
            host->onRequest (request);

        const auto answer = host->answers.find (opcode);
        return answer != host->answers.end() ? answer->second : 0;
    }

    void answer (VstInt32 opcode, VstIntPtr result) { answers[opcode] = result; }

    std::vector<HostRequest> requests;
    std::map<VstInt32, VstIntPtr> answers;
    std::function<void (const HostRequest&)> onRequest;

private:
    FakeHost* previous;

    static FakeHost*& live()
    {
        static FakeHost* host = nullptr;
        return host;
    }
};

#pragma once

#include "host/VstInterface.h"

#include <string>
#include <utility>
#include <vector>

// A host callback for the resizing tests: it answers canDo "sizeWindow" and sizeWindow as the
// test sets them and keeps every size it was asked for. Test thread only.
namespace ResizingHost
{
struct Answers
{
    VstIntPtr canDoSizeWindow = 0;
    VstIntPtr sizeWindow = 0;
};

inline Answers answers;
inline std::vector<std::pair<VstIntPtr, VstIntPtr>> sizeRequests;  // width, height

inline VstIntPtr callback (AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float)
{
    switch (opcode)
    {
        case audioMasterVersion: return 2400;
        case audioMasterCanDo: return std::string (static_cast<const char*> (ptr)) == "sizeWindow" ? answers.canDoSizeWindow : 0;
        case audioMasterSizeWindow: sizeRequests.push_back ({ index, value }); return answers.sizeWindow;
        default: return 0;
    }
}
}

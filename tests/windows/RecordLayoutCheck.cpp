// The records that cross the host boundary, laid out as Windows hosts read them, checked by the
// compiler for the target it compiles for: on 32-bit Windows the 144-byte effect record with
// 4-byte pointers and cdecl entries, on 64-bit Windows the pointer-wide layout.
// Compiled, not run: a wrong offset is a compile error.

#include "host/VstInterface.h"

#include <cstddef>
#include <type_traits>

#if defined(CORVADEL_LAYOUT_CONTROL)
// One deliberately wrong expectation: compiling with it must fail, which shows the checks bite.
constexpr size_t control = 4;
#else
constexpr size_t control = 0;
#endif

constexpr bool is32Bit = sizeof (void*) == 4;
constexpr size_t at (size_t offset32, size_t offset64) { return is32Bit ? offset32 : offset64; }

static_assert (offsetof (AEffect, magic) == 0);
static_assert (offsetof (AEffect, dispatcher) == at (4, 8));
static_assert (offsetof (AEffect, process) == at (8, 16));
static_assert (offsetof (AEffect, setParameter) == at (12, 24));
static_assert (offsetof (AEffect, getParameter) == at (16, 32));
static_assert (offsetof (AEffect, numPrograms) == at (20, 40));
static_assert (offsetof (AEffect, numParams) == at (24, 44));
static_assert (offsetof (AEffect, numInputs) == at (28, 48));
static_assert (offsetof (AEffect, numOutputs) == at (32, 52));
static_assert (offsetof (AEffect, flags) == at (36, 56) + control, "flags");
static_assert (offsetof (AEffect, resvd1) == at (40, 64));
static_assert (offsetof (AEffect, resvd2) == at (44, 72));
static_assert (offsetof (AEffect, initialDelay) == at (48, 80));
static_assert (offsetof (AEffect, realQualities) == at (52, 84));
static_assert (offsetof (AEffect, offQualities) == at (56, 88));
static_assert (offsetof (AEffect, ioRatio) == at (60, 92));
static_assert (offsetof (AEffect, object) == at (64, 96));
static_assert (offsetof (AEffect, user) == at (68, 104));
static_assert (offsetof (AEffect, uniqueID) == at (72, 112));
static_assert (offsetof (AEffect, version) == at (76, 116));
static_assert (offsetof (AEffect, processReplacing) == at (80, 120));
// 32-bit hosts see the 60 reserved bytes from offset 84 on: the double-precision entry, always
// null, and the 56 bytes after it.
static_assert (offsetof (AEffect, processDoubleReplacing) == at (84, 128));
static_assert (offsetof (AEffect, future) == at (88, 136));
static_assert (sizeof (AEffect) == at (144, 192), "the effect record");
static_assert (at (144, 192) - offsetof (AEffect, processDoubleReplacing) == at (60, 64));

static_assert (sizeof (VstInt32) == 4 && sizeof (VstIntPtr) == sizeof (void*));
static_assert (sizeof (float) == 4);

static_assert (offsetof (VstEvents, reserved) == at (4, 8));
static_assert (offsetof (VstEvents, events) == at (8, 16));
static_assert (sizeof (VstMidiEvent) == 32 && offsetof (VstMidiEvent, midiData) == 24);
static_assert (sizeof (VstTimeInfo) == 88 && offsetof (VstTimeInfo, flags) == 84);
static_assert (sizeof (ERect) == 8 && offsetof (ERect, right) == 6);

// Every function that crosses the boundary uses the C calling convention (on 64-bit Windows
// there is only one).
using CdeclDispatcher = VstIntPtr (__cdecl*) (AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float);
using CdeclProcess = void (__cdecl*) (AEffect*, float**, float**, VstInt32);
using CdeclSetParameter = void (__cdecl*) (AEffect*, VstInt32, float);
using CdeclGetParameter = float (__cdecl*) (AEffect*, VstInt32);
static_assert (std::is_same_v<AEffectDispatcherProc, CdeclDispatcher>);
static_assert (std::is_same_v<audioMasterCallback, CdeclDispatcher>);
static_assert (std::is_same_v<AEffectProcessProc, CdeclProcess>);
static_assert (std::is_same_v<AEffectSetParameterProc, CdeclSetParameter>);
static_assert (std::is_same_v<AEffectGetParameterProc, CdeclGetParameter>);

// The records that cross the host boundary, as Windows hosts read them, checked by the compiler
// for the Windows target it compiles for: the offsets of the shared layout check (on 32-bit
// Windows, the 144-byte effect record with 4-byte pointers), and the C calling convention of every
// function that crosses the boundary. Compiled, never run: a wrong layout is a compile error.

#include "tests/layout/VstLayoutCheck.cpp"

#include <type_traits>

namespace
{
#if defined(CORVADEL_LAYOUT_CONTROL)
// One deliberately wrong expectation: compiling with it must fail, which shows the checks bite.
constexpr size_t control = 4;
#else
constexpr size_t control = 0;
#endif

static_assert (sizeof (AEffect) + control == p32 (144, 192), "the effect record's size");

// On 64-bit Windows there is one calling convention; on 32-bit Windows cdecl and stdcall differ
// in type, so a wrong one fails here.
using CdeclDispatcher = VstIntPtr (__cdecl*) (AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float);
using CdeclProcess = void (__cdecl*) (AEffect*, float**, float**, VstInt32);
using CdeclSetParameter = void (__cdecl*) (AEffect*, VstInt32, float);
using CdeclGetParameter = float (__cdecl*) (AEffect*, VstInt32);
static_assert (std::is_same_v<AEffectDispatcherProc, CdeclDispatcher>);
static_assert (std::is_same_v<audioMasterCallback, CdeclDispatcher>);
static_assert (std::is_same_v<AEffectProcessProc, CdeclProcess>);
static_assert (std::is_same_v<AEffectSetParameterProc, CdeclSetParameter>);
static_assert (std::is_same_v<AEffectGetParameterProc, CdeclGetParameter>);
}

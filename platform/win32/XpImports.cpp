// Keeps Slumberhold.exe loadable on Windows XP and Server 2003.
//
// The static winpthread library of the posix-thread mingw-w64 toolchain
// (needed for std::thread) imports GetTickCount64, which kernel32 has only
// from Vista on: Windows XP would refuse to start the program ("procedure
// entry point not found"). Defining the import slot __imp_GetTickCount64
// here, in an object linked into the executable itself, satisfies
// winpthread's reference before the linker reaches libkernel32.a, so the
// import table no longer names the function. The slot points to a stand-in
// that calls the real function where it exists (looked up at run time) and
// otherwise extends the 32-bit GetTickCount to 64 bits.
//
// Linked into Slumberhold.exe only (cmake/Windows.cmake), not into the
// platform library, because only an object that the linker takes whole can
// win over the import library.
#include "platform/win32/Win32.h"

#include <atomic>
#include <cstdint>

namespace {

using tGetTickCount64 = ULONGLONG(WINAPI*)();

// Null until looked up; a lookup that finds nothing stores the fallback.
// No function-local statics here: their guards may call into winpthread,
// which calls this.
std::atomic<tGetTickCount64> RealGetTickCount64{nullptr};

// Wrap count (high half) and the last tick count seen (low half). A wrap is
// noticed as long as the function is called at least once per 49.7 days,
// which winpthread's waits do while the program runs.
std::atomic<uint64_t> ExtendedTicks{0};

ULONGLONG WINAPI ExtendedGetTickCount()
{
    uint64_t seen = ExtendedTicks.load();
    for (;;) {
        uint32_t now = GetTickCount();
        uint32_t last = static_cast<uint32_t>(seen);
        uint64_t wraps = seen >> 32;
        if (now < last)
            ++wraps;
        uint64_t next = (wraps << 32) | now;
        if (ExtendedTicks.compare_exchange_weak(seen, next))
            return next;
    }
}

ULONGLONG WINAPI GetTickCount64StandIn()
{
    tGetTickCount64 function = RealGetTickCount64.load(std::memory_order_acquire);
    if (function == nullptr) {
        function = LookUpProcedure<tGetTickCount64>("kernel32", "GetTickCount64");
        if (function == nullptr)
            function = &ExtendedGetTickCount;
        RealGetTickCount64.store(function, std::memory_order_release);
    }
    return function();
}

}  // namespace

// The import slot, under the name the compiler gives it on each target.
extern "C" {
#if defined(__i386__)
tGetTickCount64 SlhGetTickCount64Import __asm__("__imp__GetTickCount64@0") = &GetTickCount64StandIn;
#else
tGetTickCount64 SlhGetTickCount64Import __asm__("__imp_GetTickCount64") = &GetTickCount64StandIn;
#endif
}

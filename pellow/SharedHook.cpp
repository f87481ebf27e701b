#include "pellow/SharedHook.h"

namespace pellow {

namespace {

// Lives in the section ".SHARE", which the linker marks shared, so every
// process that maps this library file sees the same value. It must be
// initialised, or it would land in .bss instead.
HHOOK volatile g_installedHook __attribute__((section(".SHARE"), shared)) = nullptr;

} // namespace

HHOOK SharedHook::Get()
{
    return g_installedHook;
}

bool SharedHook::Claim(HHOOK hook)
{
    // Two programs installing at the same moment must not both win.
    return InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&g_installedHook), hook, nullptr) ==
           nullptr;
}

HHOOK SharedHook::Release()
{
    return static_cast<HHOOK>(InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&g_installedHook), nullptr));
}

} // namespace pellow

#include "pellow/SharedHook.h"

#include "framework/KernelHandle.h"

namespace pellow {

namespace {

struct HookRecord {
    HHOOK hook;
    DWORD ownerProcess; // 0 while the record is being written
};

// Lives in the section ".SHARE", which the linker marks shared, so every
// process that maps this library file sees the same record. It must be
// initialised, or it would land in .bss instead.
volatile HookRecord g_record __attribute__((section(".SHARE"), shared)) = {nullptr, 0};

PVOID volatile* HookSlot()
{
    return reinterpret_cast<PVOID volatile*>(const_cast<HHOOK*>(&g_record.hook));
}

} // namespace

HHOOK SharedHook::Get()
{
    return g_record.hook;
}

bool SharedHook::Claim(HHOOK hook)
{
    // Two programs installing at the same moment must not both win.
    if (InterlockedCompareExchangePointer(HookSlot(), hook, nullptr) != nullptr) return false;
    g_record.ownerProcess = GetCurrentProcessId();
    return true;
}

HHOOK SharedHook::Release()
{
    g_record.ownerProcess = 0;
    return static_cast<HHOOK>(InterlockedExchangePointer(HookSlot(), nullptr));
}

bool SharedHook::ReleaseIf(HHOOK hook)
{
    if (InterlockedCompareExchangePointer(HookSlot(), nullptr, hook) != hook) return false;
    g_record.ownerProcess = 0;
    return true;
}

bool SharedHook::OwnerRunning()
{
    const DWORD owner = g_record.ownerProcess;
    if (owner == 0 || owner == GetCurrentProcessId()) return true;
    KernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, owner));
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED; // it exists, we may only not wait on it
    return WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

} // namespace pellow

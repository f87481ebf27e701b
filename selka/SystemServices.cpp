// MD5 text, battery and resource queries, skin z-order, strings in global memory.
#include <windows.h>

#include <cstring>

#include "selka/BatteryReport.h"
#include "selka/Md5.h"
#include "selka/selka.h"

namespace {

// The values GetBatteryStatus last reported; library-wide, as long as the DLL is loaded.
selka::BatteryReport g_battery;

constexpr int kNtFreeResources = 90;

// -1 not yet asked, else whether the system is NT-family. Asked once.
int g_isNt = -1;

bool IsNtFamily()
{
    if (g_isNt < 0) {
        OSVERSIONINFOA version{};
        version.dwOSVersionInfoSize = sizeof(version);
        g_isNt = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT ? 1 : 0;
    }
    return g_isNt == 1;
}

} // namespace

extern "C" int __cdecl GetMD5MessageDigest(const void* data, int length, char* digest)
{
    // Probing instead of a fault handler: a bad pointer from the caller gives 0.
    if (length < 0 || !digest || IsBadWritePtr(digest, 33)) return 0;
    if (length > 0 && (!data || IsBadReadPtr(data, static_cast<UINT_PTR>(length)))) return 0;
    selka::Md5::HexDigest(data, static_cast<size_t>(length), digest);
    return 1;
}

extern "C" int __cdecl GetBatteryStatus(int* powerState, int* charge)
{
    selka::PowerStatus status;
    SYSTEM_POWER_STATUS power{};
    if (GetSystemPowerStatus(&power)) {
        status.queried = true;
        status.acLine = power.ACLineStatus;
        status.batteryFlag = power.BatteryFlag;
        status.percent = power.BatteryLifePercent;
    }
    return g_battery.Report(status, powerState, charge) ? 1 : 0;
}

extern "C" int __cdecl GetFreeSystemResources(WORD kind)
{
    (void)kind; // every kind reads the same on NT-family systems
    // The Windows 9x route through the 16-bit thunk is not taken: no system
    // the program runs on has it, and a failed route reads 0.
    return IsNtFamily() ? kNtFreeResources : 0;
}

extern "C" int __cdecl SetOstraZOrder(HWND hwndSkin, HWND hwndHost, int onTop, UINT swpFlags)
{
    const UINT keep = SWP_NOSIZE | SWP_NOMOVE | SWP_NOSENDCHANGING;
    if (!onTop) return SetWindowPos(hwndSkin, hwndHost, 0, 0, 0, 0, swpFlags | keep);

    // While the user drags with the left button, the order is left alone.
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) return static_cast<int>(swpFlags);
    const UINT flags = swpFlags | keep | SWP_NOACTIVATE;
    if (GetWindowLongA(hwndHost, GWL_EXSTYLE) & WS_EX_TOPMOST) {
        SetWindowPos(hwndSkin, HWND_TOPMOST, 0, 0, 0, 0, flags);
    } else {
        if (IsWindow(hwndSkin)) {
            const LONG style = GetWindowLongA(hwndSkin, GWL_EXSTYLE);
            if (style & WS_EX_TOPMOST) SetWindowLongA(hwndSkin, GWL_EXSTYLE, style & ~WS_EX_TOPMOST);
        }
        SetWindowPos(hwndSkin, GetWindow(hwndHost, GW_HWNDNEXT), 0, 0, 0, 0, flags);
        SetWindowPos(hwndHost, hwndSkin, 0, 0, 0, 0, flags);
    }
    return SetWindowPos(hwndSkin, HWND_TOP, 0, 0, 0, 0, flags);
}

extern "C" HGLOBAL __cdecl StringToGlobalMem(const char* text, int* length)
{
    if (!text) return nullptr;
    const size_t size = std::strlen(text);
    if (size > 0x7FFFFFFE) return nullptr; // the length travels as a 32-bit int
    auto* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size + 1));
    if (!block) return nullptr;
    std::memcpy(block, text, size + 1);
    if (length) *length = static_cast<int>(size);
    return block;
}

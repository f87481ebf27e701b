// MD5 text, battery and resource queries, skin z-order, strings in global memory.
#include <windows.h>

#include <cstring>

#include "selka/BatteryReport.h"
#include "selka/CallerMemory.h"
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
    if (length < 0 || !digest || (length > 0 && !data)) return 0;
    // The whole input is read before any byte of the digest is written, so
    // an input that cannot be read leaves the caller's buffer alone.
    char text[33];
    const bool done = selka::UseCallerMemory([&] {
        selka::Md5::HexDigest(data, static_cast<size_t>(length), text);
        std::memcpy(digest, text, sizeof text);
    });
    return done ? 1 : 0;
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
    bool written = false;
    if (!selka::UseCallerMemory([&] { written = g_battery.Report(status, powerState, charge); })) return 0;
    return written ? 1 : 0;
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
    size_t size = 0;
    if (!selka::UseCallerMemory([&] { size = std::strlen(text); })) return nullptr;
    if (size > 0x7FFFFFFE) return nullptr; // the length travels as a 32-bit int
    auto* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size + 1));
    if (!block) return nullptr;
    const bool copied = selka::UseCallerMemory([&] {
        std::memcpy(block, text, size + 1);
        if (length) *length = static_cast<int>(size);
    });
    if (!copied) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

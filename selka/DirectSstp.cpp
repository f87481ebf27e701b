// DSSTPSend, DSSTPNotify, DSSTPRequest: one WM_COPYDATA per request.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "selka/CallerMemory.h"
#include "selka/DirectSstpText.h"
#include "selka/selka.h"

namespace {

// dwData of every Direct SSTP message: the host tells them from other
// WM_COPYDATA traffic by it.
constexpr ULONG_PTR kDirectSstpData = 9801;
constexpr UINT kSendTimeoutMs = 1000;

// The handle as the host reads it from "HWnd": its value as a signed 32-bit
// number, also on 64-bit Windows (handles fit in 32 bits there).
int32_t HandleNumber(HWND hwnd)
{
    return static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hwnd)));
}

int Deliver(HWND hwndFrom, HWND hwndTo, const char* text, size_t length)
{
    COPYDATASTRUCT data{};
    data.dwData = kDirectSstpData;
    data.cbData = static_cast<DWORD>(length);
    // Never null, even for an empty text.
    data.lpData = const_cast<char*>(text ? text : "");
    DWORD_PTR answer = 0; // what the target returns is not used
    const LRESULT sent =
        SendMessageTimeoutA(hwndTo, WM_COPYDATA, reinterpret_cast<WPARAM>(hwndFrom), reinterpret_cast<LPARAM>(&data),
                            SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer);
    return sent != 0 ? 1 : 0;
}

} // namespace

extern "C" int __cdecl DSSTPSend(HWND hwndFrom, HWND hwndTo, const char* sender, const char* script,
                                 const char* options)
{
    // Strings that cannot be read, or no memory for the text: nothing is sent.
    std::string text;
    if (!selka::UseCallerMemory(
            [&] { text = selka::DirectSstpText::Send(sender, script, options, HandleNumber(hwndFrom)); }))
        return 0;
    return Deliver(hwndFrom, hwndTo, text.c_str(), text.size());
}

extern "C" int __cdecl DSSTPNotify(HWND hwndFrom, HWND hwndTo, const char* sender, const char* script,
                                   const char* event, const char* reference0, const char* reference1,
                                   const char* reference2, const char* reference3, const char* reference4,
                                   const char* reference5, const char* reference6, const char* reference7)
{
    const char* const references[8] = {reference0, reference1, reference2, reference3,
                                       reference4, reference5, reference6, reference7};
    std::string text;
    if (!selka::UseCallerMemory([&] { text = selka::DirectSstpText::Notify(sender, script, event, references); }))
        return 0;
    return Deliver(hwndFrom, hwndTo, text.c_str(), text.size());
}

extern "C" int __cdecl DSSTPRequest(HWND hwndFrom, HWND hwndTo, const char* request)
{
    const char* text = request ? request : "";
    std::string copy;
    if (!selka::UseCallerMemory([&] { copy = text; })) return 0;
    return Deliver(hwndFrom, hwndTo, copy.c_str(), copy.size());
}

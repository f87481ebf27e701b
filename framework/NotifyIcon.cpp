#include "framework/NotifyIcon.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "framework/DbcsPath.h"
#include "framework/ModulePath.h"

namespace {

constexpr std::size_t kTipLimit = 63; // bytes, the first version's 64-byte field less its NUL

NOTIFYICONDATAA MakeData(HWND hwnd, UINT id)
{
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hwnd;
    data.uID = id;
    return data;
}

void CopyTip(NOTIFYICONDATAA& data, const char* tip)
{
    std::string cut = dbcs::Truncate(tip ? tip : "", kTipLimit, modulepath::IsSystemLeadByte);
    std::memcpy(data.szTip, cut.c_str(), cut.size() + 1);
}

} // namespace

BOOL AddNotifyIcon(HWND hwnd, UINT id, UINT callbackMessage, HICON icon, const char* tip)
{
    NOTIFYICONDATAA data = MakeData(hwnd, id);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    CopyTip(data, tip);
    return Shell_NotifyIconA(NIM_ADD, &data);
}

BOOL ModifyNotifyIcon(HWND hwnd, UINT id, HICON icon, const char* tip)
{
    NOTIFYICONDATAA data = MakeData(hwnd, id);
    if (icon) {
        data.uFlags |= NIF_ICON;
        data.hIcon = icon;
    }
    if (tip) {
        data.uFlags |= NIF_TIP;
        CopyTip(data, tip);
    }
    return Shell_NotifyIconA(NIM_MODIFY, &data);
}

BOOL DeleteNotifyIcon(HWND hwnd, UINT id)
{
    NOTIFYICONDATAA data = MakeData(hwnd, id);
    return Shell_NotifyIconA(NIM_DELETE, &data);
}

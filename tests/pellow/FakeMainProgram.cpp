#include "FakeMainProgram.h"

#include <algorithm>
#include <cstring>

#include "pellow/HookMessages.h"
#include "pellow/pellow.h"

namespace {

constexpr UINT_PTR kNotifyTimer = 101;
// The class of the program's skin windows: the hook reports moves straight
// to the window its host's "OstraProp" names only when it is one.
constexpr const char* kSkinClass = ostra::kSkinWindowClass;

// Set before the main window exists: its procedure runs inside the constructor.
FakeMainProgram* g_program = nullptr;

BOOL CALLBACK PostToHostWindow(HWND window, LPARAM notify)
{
    char name[100] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, ostra::kHostWindowClass) == 0)
        PostMessageA(window, static_cast<UINT>(notify), ostra::kNotifyAttach, 0);
    return TRUE;
}

} // namespace

FakeMainProgram& FakeMainProgram::Get()
{
    static FakeMainProgram program;
    return program;
}

FakeMainProgram::FakeMainProgram()
{
    g_program = this;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.lpszClassName = ostra::kMainWindowClass;
    RegisterClassA(&wc);
    wc.lpfnWndProc = SkinProc;
    wc.lpszClassName = kSkinClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    RegisterClassA(&wc);
    m_notify = RegisterWindowMessageA(ostra::kNotifyMessageName);
    m_fileName = RegisterWindowMessageA(ostra::kFileNameMessageName);
    Open();
}

void FakeMainProgram::Open()
{
    if (m_window) return;
    m_window = CreateWindowExA(WS_EX_TOOLWINDOW, ostra::kMainWindowClass, "pellow test main", WS_POPUP, 0, 0, 100, 100,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void FakeMainProgram::Close()
{
    SetNotifying(false);
    DropAllSkins();
    if (m_window) DestroyWindow(m_window);
    m_window = nullptr;
}

void FakeMainProgram::SetNotifying(bool on)
{
    if (on)
        SetTimer(m_window, kNotifyTimer, 100, nullptr);
    else
        KillTimer(m_window, kNotifyTimer);
}

void FakeMainProgram::ClearRecords()
{
    attachRequests.clear();
    detachRequests.clear();
    lookups = 0;
    skinMessages.clear();
    fileNamesAtAttach.clear();
}

bool FakeMainProgram::PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, (std::min<DWORD>)(ms - elapsed, 20), QS_ALLINPUT);
    }
}

void FakeMainProgram::PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

HWND FakeMainProgram::SkinOf(HWND host) const
{
    auto it = m_table.find(host);
    return it == m_table.end() ? nullptr : it->second;
}

std::vector<SkinMessage> FakeMainProgram::MessagesTo(HWND skin, UINT message) const
{
    std::vector<SkinMessage> found;
    for (const SkinMessage& m : skinMessages)
        if (m.skin == skin && m.message == message) found.push_back(m);
    return found;
}

std::size_t FakeMainProgram::AttachRequestsFrom(HWND host) const
{
    std::size_t n = 0;
    for (HWND h : attachRequests)
        n += h == host ? 1 : 0;
    return n;
}

std::size_t FakeMainProgram::DetachRequestsFrom(HWND host) const
{
    std::size_t n = 0;
    for (HWND h : detachRequests)
        n += h == host ? 1 : 0;
    return n;
}

void FakeMainProgram::DropAllSkins()
{
    for (auto& entry : m_table)
        if (IsWindow(entry.second)) DestroyWindow(entry.second);
    m_table.clear();
    m_hostOfSkin.clear();
}

void FakeMainProgram::PostNotifyToHosts()
{
    EnumWindows(PostToHostWindow, static_cast<LPARAM>(m_notify));
}

LRESULT FakeMainProgram::OnAttach(HWND host)
{
    attachRequests.push_back(host);
    if (m_answer == AttachAnswer::Refuse) return 0;
    if (m_answer == AttachAnswer::BogusHandle) return 0x7FFF0; // names no window
    // Like the real skin window's creation: ask the host for its program
    // file while the host waits for this answer.
    char buffer[ostra::kFileNameBufferSize];
    FillMemory(buffer, sizeof buffer, '#');
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(host, m_fileName, GetCurrentProcessId(), reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        1000, &ignored);
    fileNamesAtAttach[host] = std::string(buffer, strnlen(buffer, sizeof buffer));

    return reinterpret_cast<LRESULT>(MakeSkin(host));
}

HWND FakeMainProgram::MakeSkin(HWND host)
{
    HWND skin = CreateWindowExA(WS_EX_TOOLWINDOW, kSkinClass, "skin", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!skin) return nullptr;
    ShowWindow(skin, SW_SHOWNOACTIVATE);
    m_table[host] = skin;
    m_hostOfSkin[skin] = host;
    return skin;
}

HWND FakeMainProgram::ReplaceSkin(HWND host)
{
    auto it = m_table.find(host);
    if (it == m_table.end()) return nullptr;
    HWND old = it->second;
    m_table.erase(it);
    m_hostOfSkin.erase(old);
    DestroyWindow(old);
    return MakeSkin(host);
}

void FakeMainProgram::HangIfAsked(UINT message)
{
    if (!m_hangRelease || message != m_hangMessage) return;
    if (m_hangEntered) SetEvent(m_hangEntered);
    WaitForSingleObject(m_hangRelease, 60000);
}

LRESULT CALLBACK FakeMainProgram::MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!g_program) return DefWindowProcA(window, message, wParam, lParam);
    FakeMainProgram& self = *g_program;
    HWND host = reinterpret_cast<HWND>(wParam);
    self.HangIfAsked(message);
    switch (message) {
    case ostra::WM_SKIN_ATTACH:
        return self.OnAttach(host);
    case ostra::WM_SKIN_DETACH: {
        self.detachRequests.push_back(host);
        auto it = self.m_table.find(host);
        if (it != self.m_table.end()) {
            self.m_hostOfSkin.erase(it->second);
            DestroyWindow(it->second);
            self.m_table.erase(it);
        }
        return 0;
    }
    case ostra::WM_SKIN_LOOKUP:
        ++self.lookups;
        if (self.m_answer == AttachAnswer::BogusHandle) return 0x7FFF0;
        return reinterpret_cast<LRESULT>(self.SkinOf(host));
    case WM_TIMER:
        if (wParam == kNotifyTimer) self.PostNotifyToHosts();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK FakeMainProgram::SkinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!g_program) return DefWindowProcA(window, message, wParam, lParam);
    FakeMainProgram& self = *g_program;
    self.HangIfAsked(message);
    switch (message) {
    case ostra::WM_SKIN_FOLLOW:
    case ostra::WM_SKIN_ZORDER:
    case ostra::WM_SKIN_EVENT: {
        SkinMessage record{window, message, wParam, {}};
        auto it = self.m_hostOfSkin.find(window);
        if (it != self.m_hostOfSkin.end()) GetWindowRect(it->second, &record.hostRect);
        self.skinMessages.push_back(record);
        if (message == ostra::WM_SKIN_EVENT && self.m_removeHookOnEvent) {
            self.m_removeHookOnEvent = false;
            SetupHook(self.m_window, 0);
        }
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

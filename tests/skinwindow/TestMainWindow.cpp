#include "TestMainWindow.h"

#include <vector>

#include "framework/WindowClass.h"
#include "pellow/HookMessages.h"
#include "skin/SkinWindow.h"

TestMainWindow::TestMainWindow() : m_screen(GetDC(nullptr)) {}

TestMainWindow::~TestMainWindow()
{
    Close();
    ReleaseDC(nullptr, m_screen);
}

bool TestMainWindow::Open(const std::string& skinRoot, const std::string& settingsFile)
{
    m_settings = settingsFile;
    if (!m_catalogue.ScanFolder(skinRoot)) return false;
    if (m_hwnd) return true;
    if (!RegisterWindowClass(ostra::kMainWindowClass, 0, nullptr, nullptr, nullptr, nullptr)) return false;
    if (!CreateEx(ostra::kMainWindowClass, "skin window test main", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 10, 10, nullptr,
                  nullptr, nullptr))
        return false;
    // As the program's timer does: host windows that exist ask to be attached.
    SetTimer(m_hwnd, kNotifyTimer, 100, nullptr);
    return true;
}

void TestMainWindow::Close()
{
    while (!m_table.empty()) {
        SkinWindow* skin = m_table.begin()->second;
        skin->Close();
        // A skin that could not be destroyed (already on its way out) is
        // forgotten all the same.
        if (!m_table.empty() && m_table.begin()->second == skin) m_table.erase(m_table.begin());
    }
    if (m_hwnd) DestroyWindow(m_hwnd);
}

SkinWindow* TestMainWindow::SkinOf(HWND host) const
{
    auto it = m_table.find(host);
    return it == m_table.end() ? nullptr : it->second;
}

void TestMainWindow::SkinChanged(SkinWindow&)
{
    ++changedNotices;
}

void TestMainWindow::SkinDestroyed(SkinWindow& skin)
{
    ++destroyedNotices;
    for (auto it = m_table.begin(); it != m_table.end(); ++it) {
        if (it->second == &skin) {
            m_table.erase(it);
            return;
        }
    }
}

LRESULT TestMainWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND host = reinterpret_cast<HWND>(wParam);
    switch (message) {
    case ostra::WM_SKIN_ATTACH: {
        ++attachRequests;
        if (SkinWindow* known = SkinOf(host)) return reinterpret_cast<LRESULT>(known->Handle());
        // An attach that comes while this host's skin is being made (the
        // hook gave up waiting) is refused, as the program does.
        if (m_attaching.count(host)) return 0;
        m_attaching.insert(host);
        SkinWindow* skin = SkinWindow::Open(*this, host);
        m_attaching.erase(host);
        if (!skin) return 0;
        m_table[host] = skin;
        return reinterpret_cast<LRESULT>(skin->Handle());
    }
    case ostra::WM_SKIN_DETACH:
        if (SkinWindow* skin = SkinOf(host)) skin->Close();
        return 0;
    case ostra::WM_SKIN_LOOKUP: {
        SkinWindow* skin = SkinOf(host);
        return skin ? reinterpret_cast<LRESULT>(skin->Handle()) : 0;
    }
    case WM_TIMER:
        if (wParam == kNotifyTimer) {
            const UINT notify = RegisterWindowMessageA(ostra::kNotifyMessageName);
            for (HWND host = FindWindowExA(nullptr, nullptr, ostra::kHostWindowClass, nullptr); host;
                 host = FindWindowExA(nullptr, host, ostra::kHostWindowClass, nullptr))
                if (!m_dropped.count(host)) PostMessageA(host, notify, ostra::kNotifyAttach, 0);
            // The z-order check, which also finds skins whose host is gone.
            std::vector<HWND> skins;
            for (const auto& entry : m_table)
                skins.push_back(entry.second->Handle());
            for (HWND skin : skins)
                SendMessageA(skin, ostra::WM_SKIN_CHECK, 0, 0);
            return 0;
        }
        break;
    case kDropSkinRequest:
        dialogsAtDrop = 0;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM lp) -> BOOL {
                auto* self = reinterpret_cast<TestMainWindow*>(lp);
                char name[16] = {};
                GetClassNameA(window, name, sizeof name);
                if (lstrcmpA(name, "#32770") == 0 && GetWindow(window, GW_OWNER) == self->m_hwnd) ++self->dialogsAtDrop;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(this));
        for (const auto& entry : m_table) {
            if (entry.second->Handle() == reinterpret_cast<HWND>(wParam)) {
                m_dropped.insert(entry.first);
                entry.second->Close();
                break;
            }
        }
        return 0;
    case WM_COMMAND:
        // The reload command an installation posts: the catalogue is read again.
        if (LOWORD(wParam) == kReloadSkins) {
            ++reloads;
            m_catalogue.ScanFolder(std::string(m_catalogue.Folder()));
            return 0;
        }
        break;
    case kCloseDialogs: {
        // Every dialog this window owns: the modal loop ends it on IDOK.
        struct Search {
            HWND owner;
        } search{m_hwnd};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM lp) -> BOOL {
                char name[16] = {};
                GetClassNameA(window, name, sizeof name);
                if (lstrcmpA(name, "#32770") == 0 &&
                    GetWindow(window, GW_OWNER) == reinterpret_cast<Search*>(lp)->owner)
                    PostMessageA(window, WM_COMMAND, IDOK, 0);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return 0;
    }
    }
    return Window::WindowProc(message, wParam, lParam);
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

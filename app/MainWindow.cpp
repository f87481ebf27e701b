#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/MonitorEvent.h"
#include "app/SettingsFile.h"
#include "app/ShowOptions.h"
#include "app/TrayMenu.h"
#include "framework/Application.h"
#include "framework/ModulePath.h"
#include "framework/NotifyIcon.h"
#include "framework/WindowClass.h"
#include "framework/WindowRegistry.h"
#include "pellow/HookMessages.h"
#include "pellow/pellow.h"
#include "selka/selka.h"
#include "skin/SkinCatalogue.h"
#include "skin/SkinWindow.h"

namespace {

const char kSender[] = "おすとら";
const char kTalkScript[] = "\\a\\e";
const char kTalkOptions[] = "nodescript";
constexpr int kIconResource = 103;
constexpr DWORD kBroadcastTimeoutMs = 1000;

// Every top-level window of exactly that class, in z-order. FindWindowEx
// lets the window server match the class: reading each window's class name
// here cost three round trips per window of every other program (under
// Wine), ten times a second.
std::vector<HWND> TopLevelOfClass(const char* className)
{
    std::vector<HWND> windows;
    for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
         window = FindWindowExA(nullptr, window, className, nullptr))
        windows.push_back(window);
    return windows;
}

} // namespace

MainWindow::MainWindow(SkinCatalogue& catalogue, Settings& settings, HDC screen)
    : m_catalogue(catalogue), m_settings(settings), m_screen(screen),
      m_notifyMessage(RegisterWindowMessageA(ostra::kNotifyMessageName))
{
}

MainWindow::~MainWindow()
{
    if (m_hwnd) DestroyWindow(m_hwnd);
}

bool MainWindow::Open(const std::string& title)
{
    if (!RegisterWindowClass(ostra::kMainWindowClass, 0, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW),
                             reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)) ||
        !SkinWindow::RegisterClass())
        return false;
    return CreateEx(ostra::kMainWindowClass, title.c_str(), WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 100, 100, nullptr,
                    nullptr, nullptr) &&
           m_hwnd != nullptr;
}

BYTE MainWindow::Transparency() const
{
    return transparency::OpacityPercent(m_settings.AlphaValue);
}

std::string MainWindow::SettingsFile() const
{
    return modulepath::SettingsFilePath();
}

BOOL MainWindow::OnCreate(CREATESTRUCTA*)
{
    if (!SetupHook(m_hwnd, 1)) {
        Application::Get()->MessageBox("初期化に失敗しました。", MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_hookInstalled = true;

    // The SSTP relay (TCP 11000 to the host's 9801); a port that cannot be
    // had leaves the program without it, silently. The setting is read only
    // here: a change takes effect at the next start.
    if (m_settings.SSTPRouting) m_router.StartRouting();

    HICON icon = static_cast<HICON>(
        LoadImageA(Application::Get()->Instance(), MAKEINTRESOURCEA(kIconResource), IMAGE_ICON, 16, 16, 0));
    m_iconAdded =
        AddNotifyIcon(m_hwnd, kTrayIconId, ostra::WM_TRAY_NOTIFY, icon, Application::Get()->Name().c_str()) != FALSE;
    // The notification area keeps its own copy of the picture.
    if (icon) DestroyIcon(icon);

    m_block.Create();
    m_talkClock.Restart(GetTickCount());
    m_monitorClock.Restart(GetTickCount());
    SetTimer(m_hwnd, kTimerId, kTimerPeriod, nullptr);

    // Host windows that already exist ask for their skins at once.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, m_notifyMessage, ostra::kNotifyAttach, 0, SMTO_ABORTIFHUNG, kBroadcastTimeoutMs,
                        &ignored);
    return TRUE;
}

void MainWindow::OnDestroy()
{
    // Removing the hook makes it detach every host window, which destroys
    // their skin windows (each telling its host and module) through
    // WM_SKIN_DETACH. A host that asks for a skin meanwhile (a notify it
    // took before the hook went) gets none: the program is ending.
    m_closing = true;
    if (m_hookInstalled) SetupHook(m_hwnd, 0);
    m_hookInstalled = false;
    // A host whose hook did not answer keeps its skin until here: every
    // skin window goes with the program.
    for (const SkinTable::Entry& entry : m_table.Entries())
        CloseSkin(static_cast<HWND>(entry.skin));
    KillTimer(m_hwnd, kTimerId);
    m_block.Close();
    // Returns once the relay's threads have ended (within a second).
    m_router.StopRouting();
    // The framework does not remove the icon of a window that goes.
    if (m_iconAdded) DeleteNotifyIcon(m_hwnd, kTrayIconId);
    m_iconAdded = false;
    Window::OnDestroy();
}

LRESULT MainWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND host = reinterpret_cast<HWND>(wParam);
    switch (message) {
    case ostra::WM_SKIN_ATTACH:
        return reinterpret_cast<LRESULT>(Attach(host));
    case ostra::WM_SKIN_DETACH:
        Detach(host);
        return 0;
    case ostra::WM_SKIN_LOOKUP: {
        const HWND skin = static_cast<HWND>(m_table.SkinOf(host));
        return reinterpret_cast<LRESULT>(IsWindow(skin) ? skin : nullptr);
    }
    case ostra::WM_TRAY_NOTIFY:
        OnTrayNotify(static_cast<UINT>(lParam));
        return 0;
    default:
        return Window::WindowProc(message, wParam, lParam);
    }
}

HWND MainWindow::Attach(HWND host)
{
    // A late attach for a host whose skin still lives (the hook gave up
    // waiting for an earlier answer) gets that skin, not a second one.
    if (m_closing) return nullptr;
    const HWND known = static_cast<HWND>(m_table.SkinOf(host));
    if (known && m_skins.count(known)) return known;
    // The skin's creation dispatches messages (it asks the host), and the
    // hook may ask again meanwhile when it gave up waiting: that attach is
    // refused (the hook asks once more on the next notify and then gets
    // this skin) instead of making a second skin for the same host.
    if (m_attaching.count(host)) return nullptr;
    m_attaching.insert(host);
    SkinWindow* skin = SkinWindow::Open(*this, host, Application::Get()->Name().c_str());
    m_attaching.erase(host);
    if (!skin) return nullptr;
    const HWND hwnd = skin->Handle();
    // The skin's creation dispatched messages: another attach for the same
    // host may have come first. The older skin goes.
    const HWND earlier = static_cast<HWND>(m_table.SkinOf(host));
    m_skins[hwnd] = skin;
    m_table.Attach(host, hwnd);
    if (earlier && earlier != hwnd) CloseSkin(earlier);
    Publish();
    return IsWindow(hwnd) ? hwnd : nullptr;
}

void MainWindow::Detach(HWND host)
{
    const HWND skin = static_cast<HWND>(m_table.Detach(host));
    if (skin) CloseSkin(skin);
    Publish();
}

void MainWindow::CloseSkin(HWND skinWindow)
{
    // A skin window waits in its notifications while it goes, and a detach
    // for the same host may arrive then: Close ends it once.
    auto it = m_skins.find(skinWindow);
    if (it == m_skins.end()) return;
    SkinWindow* skin = it->second;
    Window::InUse use(*skin);
    skin->Close();
}

void MainWindow::SkinChanged(SkinWindow&)
{
    Publish();
}

void MainWindow::SkinDestroyed(SkinWindow& skin)
{
    // Whatever destroyed the window (a detach, a vanished host, a failed
    // switch), the shared block must not list it any more.
    const HWND hwnd = skin.Handle();
    m_skins.erase(hwnd);
    m_table.RemoveSkin(hwnd);
    Publish();
}

void MainWindow::Publish()
{
    m_block.Publish(m_table);
}

std::vector<HWND> MainWindow::SkinWindows() const
{
    std::vector<HWND> windows;
    for (const SkinTable::Entry& entry : m_table.Entries())
        windows.push_back(static_cast<HWND>(entry.skin));
    return windows;
}

void MainWindow::OnTimer(UINT_PTR id)
{
    if (id != kTimerId) return;
    TalkControl(GetTickCount());
    DiscoverHostsAndCheckSkins();
    if (m_hwnd && m_monitorClock.Tick(GetTickCount(), TickClock::kMonitorPeriod)) RunMonitors();
}

void MainWindow::TalkControl(DWORD now)
{
    if (!m_settings.TalkControl) return;
    if (!m_talkClock.Tick(now, TickClock::TalkPeriod(m_settings.TalkControlInterval))) return;
    // The walk is over a copy: each send dispatches sent messages, and an
    // attach or detach may change the table meanwhile.
    for (const SkinTable::Entry& entry : m_table.Entries())
        DSSTPSend(static_cast<HWND>(entry.skin), static_cast<HWND>(entry.host), kSender, kTalkScript, kTalkOptions);
}

void MainWindow::DiscoverHostsAndCheckSkins()
{
    for (HWND host : TopLevelOfClass(ostra::kHostWindowClass)) {
        // A host with a live skin would only wake to ignore the request.
        const HWND skin = static_cast<HWND>(m_table.SkinOf(host));
        if (skin && m_skins.count(skin)) continue;
        PostMessageA(host, m_notifyMessage, ostra::kNotifyAttach, 0);
    }
    // Every skin window is ours (one instance runs): the table lists them
    // without asking the window server. The walk is over a copy, as a check
    // may destroy a skin whose host is gone.
    for (HWND skin : SkinWindows())
        SendMessageA(skin, ostra::WM_SKIN_CHECK, 0, 0);
}

void MainWindow::RunMonitors()
{
    GetBatteryStatus(m_battery.PowerStateOut(), m_battery.ChargeOut());
    if (auto event = m_battery.Check()) Raise(*event);
    if (auto event = m_resources.Check(GetFreeSystemResources(0))) Raise(*event);
}

void MainWindow::Raise(const MonitorEvent& event)
{
    for (const SkinTable::Entry& entry : m_table.Entries()) {
        const HWND skinWindow = static_cast<HWND>(entry.skin);
        DSSTPNotify(skinWindow, static_cast<HWND>(entry.host), kSender, event.script ? event.script->c_str() : nullptr,
                    event.name.c_str(), event.reference.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr);
        // The notification dispatched messages: look the object up afresh.
        auto it = m_skins.find(skinWindow);
        if (it == m_skins.end()) continue;
        SkinWindow* skin = it->second;
        Window::InUse use(*skin);
        skin->Module().SendModuleEvent(ModuleEvent(event.name, {event.reference}), skin->Sentences());
    }
}

void MainWindow::OnCommand(UINT id, UINT code)
{
    if (id >= kFirstSkinCommand && id <= kLastSkinCommand) {
        const HWND child = GetDlgItem(m_hwnd, static_cast<int>(id));
        for (const SkinTable::Entry& entry : m_table.Entries())
            PostMessageA(static_cast<HWND>(entry.skin), WM_COMMAND, id, reinterpret_cast<LPARAM>(child));
        return;
    }
    switch (id) {
    case kExitCommand:
        SendMessageA(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case kAboutCommand:
        ShowAbout();
        break;
    case kReloadCommand:
        m_catalogue.ScanSkins();
        break;
    case kOptionsCommand:
        ShowOptionsSheet();
        break;
    default:
        Window::OnCommand(id, code);
        break;
    }
}

void MainWindow::OnTrayNotify(UINT mouseMessage)
{
    if (mouseMessage != WM_LBUTTONUP && mouseMessage != WM_RBUTTONUP) return;
    if (m_busy) {
        MessageBeep(0);
        return;
    }
    InUse use(*this);
    ShowTrayMenu(*this, m_catalogue);
}

void MainWindow::ShowAbout()
{
    m_busy = true;
    AboutBox box;
    box.Run(m_hwnd);
    m_busy = false;
}

void MainWindow::ShowOptionsSheet()
{
    m_busy = true;
    if (ShowOptions(m_hwnd, m_settings, *this)) {
        m_talkClock.Restart(GetTickCount());
        SaveSettings(m_settings);
    }
    m_busy = false;
}

void MainWindow::OnEnterIdle(UINT reason, Window*)
{
    if (reason != MSGF_DIALOGBOX) return;
    // A modal dialog's loop (the about box, the options sheet) replaces the
    // program's loop, which would otherwise free the temporary window
    // wrappers after every message; nothing of ours holds one across the
    // dialog, so they go whenever its loop waits. (A menu's loop sends this
    // too, from inside handlers that may still use their wrappers.)
    WindowRegistry::Instance().PurgeTemporaries();
}

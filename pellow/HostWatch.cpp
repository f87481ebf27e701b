#include "pellow/HostWatch.h"

#include "framework/FaultGuard.h"
#include "pellow/FileNameRequest.h"
#include "pellow/HookMessages.h"
#include "pellow/HostName.h"
#include "pellow/SharedHook.h"
#include "text/SystemLeadByte.h"

namespace pellow {

namespace {

// Class names can be up to 256 characters; a shorter buffer would cut
// "TmainformX" down to "Tmainform" and take it for a host window.
bool HasHostWindowClass(HWND window)
{
    char name[257] = {};
    if (GetClassNameA(window, name, sizeof name) == 0) return false;
    return HostName::IsHostWindowClass(name);
}

// Every report waits for the main program at most this long, so a hung main
// program never freezes the host's window: a report that is not answered in
// time counts as answered with 0 ("no skin"), and the host goes on.
constexpr UINT kReportTimeoutMs = 1000;
// The attach waits longer: the main program loads a whole skin meanwhile. An
// attach that times out is refused; the next notify tries again.
constexpr UINT kAttachTimeoutMs = 5000;
// Once a report has timed out, the main program is taken to be hung until it
// answers one again, and reports wait only this long: one move of the host
// window makes three reports, and the system flags a program as hung only
// after five seconds without messages, so full waits would stall each move
// for seconds. The attach keeps its full wait: given up early, it would be
// asked again and again while the main program is still making the skin.
constexpr UINT kHungReportTimeoutMs = 100;

// Whether the last report to the main program (or its skin windows, which
// share its thread) timed out. The host's user-interface thread only.
bool g_mainProgramHung = false;

// 'answered' (when given) tells whether the target answered in time.
LRESULT Send(HWND target, UINT message, WPARAM wParam, UINT timeoutMs = kReportTimeoutMs, bool* answered = nullptr)
{
    DWORD_PTR result = 0;
    if (answered) *answered = false;
    if (g_mainProgramHung && timeoutMs == kReportTimeoutMs) timeoutMs = kHungReportTimeoutMs;
    if (!SendMessageTimeoutA(target, message, wParam, 0, SMTO_ABORTIFHUNG, timeoutMs, &result)) {
        // A target that is no window fails at once and says nothing about the main program.
        if (IsWindow(target)) g_mainProgramHung = true;
        return 0;
    }
    g_mainProgramHung = false;
    if (answered) *answered = true;
    return static_cast<LRESULT>(result);
}

bool IsSkinWindowClass(HWND window)
{
    char name[257] = {};
    if (GetClassNameA(window, name, sizeof name) == 0) return false;
    return lstrcmpA(name, ostra::kSkinWindowClass) == 0;
}

} // namespace

HostWatch& HostWatch::Instance()
{
    static HostWatch watch;
    return watch;
}

void HostWatch::Start()
{
    CheckHost();
    m_mainWindow = FindWindowA(ostra::kMainWindowClass, nullptr);
    m_notifyMessage = RegisterWindowMessageA(ostra::kNotifyMessageName);
    m_fileNameMessage = RegisterWindowMessageA(ostra::kFileNameMessageName);
}

void HostWatch::Stop()
{
    GiveBackWindow();
    m_hostWindow = nullptr;
    m_previousProc = nullptr;
}

bool HostWatch::GiveBackWindow()
{
    HWND host = m_hostWindow;
    if (!host || !m_previousProc || !IsWindow(host)) {
        // Nothing left to give back: the window is gone or was given back.
        m_hostWindow = nullptr;
        m_previousProc = nullptr;
        return true;
    }
    // Only when ours is still the window's procedure: a procedure installed
    // over ours keeps calling into the chain it saved, which we cannot mend.
    if (GetWindowLongPtrA(host, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&HostWindowProc)) return false;
    SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    RemovePropA(host, ostra::kHostSkinProperty);
    m_hostWindow = nullptr;
    m_previousProc = nullptr;
    ForgetReportedPlace();
    return true;
}

void HostWatch::CheckHost()
{
    if (m_gate.HostChecked()) return;
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    m_gate.SetHostProcess(length > 0 && length < MAX_PATH && HostName::IsHostExecutable(path, ansi::IsSystemLeadByte));
}

LRESULT CALLBACK HostWatch::GetMessageProc(int code, WPARAM removal, LPARAM message)
{
    try {
        Instance().OnMessageTaken(code, removal, reinterpret_cast<const MSG*>(message));
    } catch (...) {
        // Nothing may leave a hook procedure; the host goes on as if we were not there.
    }
    return CallNextHookEx(SharedHook::Get(), code, removal, message);
}

void HostWatch::OnMessageTaken(int code, WPARAM removal, const MSG* message)
{
    CheckHost();
    if (!message || !m_gate.IsHostProcess()) return;
    HHOOK installed = SharedHook::Get();
    // The main program we are attached to ended without detaching and a new
    // one installed the hook: let the window go, so the new one can take it.
    if (m_gate.IsAttachedUnderAnother(installed) && GiveBackWindow()) m_gate.Dropped();
    const bool isNotify = m_notifyMessage != 0 && message->message == m_notifyMessage;
    // The main program asks an attached window again only when it keeps no
    // skin for it: the skin ended while the host lives (a switch to a skin
    // that could not be loaded). The window is given back and attached anew,
    // or it would stay without a skin for the rest of its life.
    if (isNotify && message->wParam == ostra::kNotifyAttach && code >= 0 && (removal & PM_REMOVE) != 0 &&
        m_gate.IsAttached() && message->hwnd && message->hwnd == m_hostWindow &&
        !IsLiveSkin(static_cast<HWND>(GetPropA(m_hostWindow, ostra::kHostSkinProperty))) && GiveBackWindow())
        m_gate.Dropped();
    if (!m_gate.MayAttach(code, (removal & PM_REMOVE) != 0, isNotify, message->wParam, installed)) return;
    HWND target = message->hwnd;
    if (!target || !HasHostWindowClass(target) || GetPropA(target, ostra::kHostSkinProperty)) return;
    Attach(target);
}

HWND HostWatch::CurrentMainWindow()
{
    // The main window found at start-up may be gone (the program restarted).
    if (!m_mainWindow || !IsWindow(m_mainWindow)) m_mainWindow = FindWindowA(ostra::kMainWindowClass, nullptr);
    return m_mainWindow;
}

void HostWatch::Attach(HWND host)
{
    m_gate.BeginAttach();
    HWND main = CurrentMainWindow();
    if (!main) return;
    // Subclass first: while the main program creates the skin, the skin asks
    // this window for the host's file name, which only our procedure answers.
    LONG_PTR previous = SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostWindowProc));
    if (previous == 0) return;
    m_hostWindow = host;
    m_previousProc = reinterpret_cast<WNDPROC>(previous);
    ForgetReportedPlace();

    HWND skin =
        reinterpret_cast<HWND>(Send(main, ostra::WM_SKIN_ATTACH, reinterpret_cast<WPARAM>(host), kAttachTimeoutMs));
    if (m_previousProc == nullptr || m_gate.IsReleased()) return; // a detach request came in meanwhile
    if (!skin) {
        SetWindowLongPtrA(host, GWLP_WNDPROC, previous);
        m_hostWindow = nullptr;
        m_previousProc = nullptr;
        return;
    }
    SetPropA(host, ostra::kHostSkinProperty, skin);
    // Attached before the report goes out: a detach request that arrives
    // while the skin handles the report (the main program exiting) must
    // find the window attached and leave it released, not be overwritten.
    m_gate.Attached(SharedHook::Get());
    Send(skin, ostra::WM_SKIN_EVENT, ostra::kSkinEventCreated);
}

LRESULT CALLBACK HostWatch::HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HostWatch& watch = Instance();
    LRESULT result = 0;
    // Nothing may leave a window procedure, and this one also runs the host's
    // own procedure for the message: a hardware fault or exception there, or
    // in our part, ends here with the answer 0 (calling the host's procedure
    // again for the same message would be worse). The guard is a structured
    // exception frame; catch (...) would not see hardware faults.
    if (!faultguard::Guard([&] { result = watch.OnHostMessage(window, message, wParam, lParam); })) return 0;
    return result;
}

LRESULT HostWatch::OnHostMessage(HWND host, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == m_notifyMessage && m_notifyMessage != 0 && wParam == ostra::kNotifyDetach) return Detach(host);
    if (message == m_fileNameMessage && m_fileNameMessage != 0) {
        FileNameRequest::Answer(wParam, lParam);
        return 0;
    }
    switch (message) {
    case WM_MOVE:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        return OnMove(host, message, wParam, lParam);
    case WM_ACTIVATE:
        // 0 exactly: deactivated and not minimised.
        if (wParam == 0) OnDeactivate(host);
        break;
    case WM_SHOWWINDOW:
        if (wParam == 0 || wParam == 1) OnShowWindow(host, wParam == 1);
        break;
    case WM_INITMENUPOPUP:
        OnMenuPopup(host);
        break;
    default:
        break;
    }
    return PassOn(host, message, wParam, lParam);
}

LRESULT HostWatch::Detach(HWND host)
{
    m_gate.Released(SharedHook::Get());
    WNDPROC previous = m_previousProc;
    if (HWND main = CurrentMainWindow()) Send(main, ostra::WM_SKIN_DETACH, reinterpret_cast<WPARAM>(host));
    if (previous) SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(host, ostra::kHostSkinProperty);
    m_previousProc = nullptr;
    m_hostWindow = nullptr;
    ForgetReportedPlace();
    return 0;
}

LRESULT HostWatch::OnMove(HWND host, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The guard is looked at first: a move nested in a report needs no
    // round trip to the main program, since it is passed on in any case.
    // WM_WINDOWPOSCHANGING announces a place the window does not stand at
    // yet (and the host may still change it): the skin hears of the move once
    // the window stands there, from WM_WINDOWPOSCHANGED or WM_MOVE.
    if (m_gate.MoveGuard().IsSet() || message == WM_WINDOWPOSCHANGING) return PassOn(host, message, wParam, lParam);
    HookGate::Scope guard(m_gate.MoveGuard());
    LRESULT result = PassOn(host, message, wParam, lParam);
    // After the host has handled the move, so the skin sees where it went.
    // One move of the window arrives as WM_WINDOWPOSCHANGED with WM_MOVE
    // inside it, and z-order, show and activation changes arrive as
    // WM_WINDOWPOSCHANGED too: only a place the skin has not been told of
    // yet is worth the host's wait.
    HostPlace place;
    if (ReadHostPlace(host, place) && m_reportedValid && place == m_reported) return result;
    HWND skin = SkinForMove(host);
    if (!skin) return result;
    bool answered = false;
    Send(skin, ostra::WM_SKIN_FOLLOW, reinterpret_cast<WPARAM>(host), kReportTimeoutMs, &answered);
    // A report that did not arrive is made again on the next move, even
    // when the window comes back to the same place.
    m_reported = place;
    m_reportedValid = answered && ReadHostPlace(host, place) && place == m_reported;
    return result;
}

bool HostWatch::ReadHostPlace(HWND host, HostPlace& place)
{
    POINT origin{0, 0};
    if (!GetWindowRect(host, &place.window) || !ClientToScreen(host, &origin)) return false;
    place.client = origin;
    return true;
}

HWND HostWatch::SkinForMove(HWND host)
{
    HWND main = CurrentMainWindow();
    if (!main) return nullptr;
    // The window the attach answered, as long as it lives.
    HWND skin = static_cast<HWND>(GetPropA(host, ostra::kHostSkinProperty));
    if (IsLiveSkin(skin)) return skin;
    return LookupSkin(host);
}

bool HostWatch::IsLiveSkin(HWND skin)
{
    // A skin window of the main program: a handle of a destroyed skin can
    // come back as another window's.
    HWND main = CurrentMainWindow();
    return main && skin && IsWindow(skin) && IsSkinWindowClass(skin) &&
           GetWindowThreadProcessId(skin, nullptr) == GetWindowThreadProcessId(main, nullptr);
}

void HostWatch::OnDeactivate(HWND host)
{
    if (m_gate.DeactivateGuard().IsSet()) return;
    HWND skin = LookupSkin(host);
    if (!skin) return;
    HookGate::Scope guard(m_gate.DeactivateGuard());
    Send(skin, ostra::WM_SKIN_ZORDER, ostra::kZOrderHostDeactivated);
}

void HostWatch::OnShowWindow(HWND host, bool shown)
{
    if (m_gate.ShowGuard().IsSet()) return;
    HWND skin = LookupSkin(host);
    if (!skin) return;
    HookGate::Scope guard(m_gate.ShowGuard());
    const bool visible = IsWindowVisible(skin) != FALSE;
    if (shown && !visible) ShowWindow(skin, SW_SHOW);
    if (!shown && visible) ShowWindow(skin, SW_HIDE);
}

void HostWatch::OnMenuPopup(HWND host)
{
    if (HWND skin = LookupSkin(host)) Send(skin, ostra::WM_SKIN_ZORDER, ostra::kZOrderHostMenu);
}

LRESULT HostWatch::PassOn(HWND host, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_previousProc) return DefWindowProcA(host, message, wParam, lParam);
    return CallWindowProcA(m_previousProc, host, message, wParam, lParam);
}

HWND HostWatch::LookupSkin(HWND host)
{
    HWND main = CurrentMainWindow();
    if (!main) return nullptr;
    return reinterpret_cast<HWND>(Send(main, ostra::WM_SKIN_LOOKUP, reinterpret_cast<WPARAM>(host)));
}

} // namespace pellow

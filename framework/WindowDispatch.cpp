// Window::WindowProc: how each message reaches its handler, and when the
// default processing runs after it.
#include "framework/Window.h"

#include <cstdio>

#include "framework/Application.h"
#include "framework/DeviceContext.h"
#include "framework/FaultGuard.h"
#include "framework/FrameworkEntry.h"
#include "framework/Menu.h"
#include "framework/WindowRegistry.h"

namespace {

int LowX(LPARAM lParam)
{
    return static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam)));
}

int HighY(LPARAM lParam)
{
    return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam)));
}

HWND AsWindow(WPARAM value)
{
    return reinterpret_cast<HWND>(value);
}

HWND AsWindow(LPARAM value)
{
    return reinterpret_cast<HWND>(value);
}

} // namespace

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Dispatch(message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_handled = TRUE;
    m_message = message;
    m_wParam = wParam;
    m_lParam = lParam;

    // Windows 95 reports the wheel with a registered message of its own.
    UINT legacyWheel = LegacyWheelMessage();
    if (legacyWheel != 0 && message == legacyWheel) return Dispatch(WM_MOUSEWHEEL, wParam, lParam);

    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam)) ? 0 : -1;
    case WM_CLOSE:
        if (!CanClose()) return 0;
        m_handled = FALSE;
        OnClose();
        break;
    case WM_DESTROY: {
        // Guarded here so that the main window's end still posts the quit.
        faultguard::Guard([&] { OnDestroy(); });
        Application* app = Application::Get();
        if (app && app->MainWindow() == this) PostQuitMessage(0);
        break;
    }
    case WM_NCDESTROY: {
        // Guarded here so that a fault cannot keep the dying handle bound: a
        // new window may get the same handle, and a dialog object that still
        // holds it refuses to be bound again.
        faultguard::Guard([&] { OnNcDestroy(); });
        HWND hwnd = m_hwnd;
        // Default processing still belongs to the procedure the window had
        // before we took it over, so the control can free its own data.
        WNDPROC previous = ReleaseBinding(hwnd);
        if (Application* app = Application::Get()) WinHelpA(hwnd, app->HelpFilePath().c_str(), HELP_QUIT, 0);
        if (previous) {
            LRESULT result = 0;
            if (!faultguard::Guard([&] { result = CallWindowProcA(previous, hwnd, message, wParam, lParam); })) {
                char text[64];
                std::snprintf(text, sizeof(text), "Error; Msg : %d %x\n", message, message);
                OutputDebugStringA(text);
                result = 0;
            }
            m_hwnd = nullptr;
            return result;
        }
        LRESULT result = DefaultProcessing(message, wParam, lParam);
        m_hwnd = nullptr;
        return result;
    }
    case WM_NCHITTEST:
        return OnNcHitTest(LowX(lParam), HighY(lParam));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(OnCtlColor(DeviceContext::FromHandle(reinterpret_cast<HDC>(wParam)),
                                                    Window::FromHandle(AsWindow(lParam)), message - WM_CTLCOLORMSGBOX));
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), &result)) return result;
        break;
    }
    case WM_MOUSEWHEEL:
        if (OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), LowX(lParam), HighY(lParam))) return 0;
        break;
    case WM_PAINT:
        OnPaint();
        if (m_handled) return 0;
        break;
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        if (m_handled) return 0;
        break;
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        if (m_handled) return 0;
        break;
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
        if (m_handled) return 0;
        break;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        OnDrawItem(static_cast<UINT>(wParam), item, DeviceContext::FromHandle(item ? item->hDC : nullptr));
        if (m_handled) return 0;
        break;
    }
    case WM_MEASUREITEM:
        OnMeasureItem(static_cast<UINT>(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        if (m_handled) return 0;
        break;
    case WM_DELETEITEM:
        OnDeleteItem(static_cast<UINT>(wParam), reinterpret_cast<DELETEITEMSTRUCT*>(lParam));
        if (m_handled) return 0;
        break;
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<UINT>(wParam), LowX(lParam), HighY(lParam));
        if (m_handled) return 0;
        break;
    case WM_DRAWCLIPBOARD:
        OnDrawClipboard();
        if (m_handled) return 0;
        break;
    case WM_CHANGECBCHAIN:
        OnChangeCbChain(Window::FromHandle(AsWindow(wParam)), Window::FromHandle(AsWindow(lParam)));
        if (m_handled) return 0;
        break;
    case WM_HOTKEY:
        OnHotKey(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
        if (m_handled) return 0;
        break;
    case WM_APPCOMMAND:
        OnAppCommand(Window::FromHandle(AsWindow(wParam)), GET_APPCOMMAND_LPARAM(lParam), GET_DEVICE_LPARAM(lParam),
                     GET_KEYSTATE_LPARAM(lParam));
        if (m_handled) return TRUE;
        break;
    case WM_ERASEBKGND: {
        BOOL result = OnEraseBkgnd(DeviceContext::FromHandle(reinterpret_cast<HDC>(wParam)));
        if (m_handled) return result;
        break;
    }
    case WM_SETCURSOR: {
        BOOL result = OnSetCursor(Window::FromHandle(AsWindow(wParam)), LOWORD(lParam), HIWORD(lParam));
        if (m_handled) return result;
        break;
    }
    case WM_SETTINGCHANGE:
        OnSettingChange(wParam, lParam);
        break;
    case WM_KEYUP:
        OnKeyUp(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wParam), HIWORD(wParam), Menu::FromHandle(reinterpret_cast<HMENU>(lParam)));
        break;
    case WM_ENTERIDLE:
        OnEnterIdle(static_cast<UINT>(wParam), Window::FromHandle(AsWindow(lParam)));
        break;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_CONTEXTMENU:
        OnContextMenu(Window::FromHandle(AsWindow(wParam)), LowX(lParam), HighY(lParam));
        break;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), Window::FromHandle(AsWindow(lParam)), HIWORD(wParam) != 0);
        break;
    case WM_MOVE:
        OnMove(LowX(lParam), HighY(lParam));
        break;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        break;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(Menu::FromHandle(reinterpret_cast<HMENU>(wParam)), LOWORD(lParam), HIWORD(lParam) != 0);
        break;
    case WM_INITMENU:
        OnInitMenu(Menu::FromHandle(reinterpret_cast<HMENU>(wParam)));
        break;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), LowX(lParam), HighY(lParam));
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), LowX(lParam), HighY(lParam));
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<UINT>(wParam), LowX(lParam), HighY(lParam));
        break;
    case WM_MBUTTONDOWN:
        OnMButtonDown(static_cast<UINT>(wParam), LowX(lParam), HighY(lParam));
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), LowX(lParam), HighY(lParam));
        break;
    case WM_RBUTTONUP:
        OnRButtonUp(static_cast<UINT>(wParam), LowX(lParam), HighY(lParam));
        break;
    case WM_MBUTTONUP:
        OnMButtonUp(static_cast<UINT>(wParam), LowX(lParam), HighY(lParam));
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wParam), LowX(lParam), HighY(lParam));
        break;
    case WM_RBUTTONDBLCLK:
        OnRButtonDblClk(static_cast<UINT>(wParam), LowX(lParam), HighY(lParam));
        break;
    case WM_MBUTTONDBLCLK:
        OnMButtonDblClk(static_cast<UINT>(wParam), LowX(lParam), HighY(lParam));
        break;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        break;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), Window::FromHandle(AsWindow(lParam)));
        break;
    case WM_HSCROLL:
        OnHScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), Window::FromHandle(AsWindow(lParam)));
        break;
    default:
        break;
    }
    return DefaultProcessing(message, wParam, lParam);
}

LRESULT Window::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The handler destroyed the window: nothing is left to process.
    if (!m_hwnd) return 0;
    // A handler may have processed other messages of this window meanwhile.
    m_message = message;
    m_wParam = wParam;
    m_lParam = lParam;
    LRESULT result = 0;
    if (!faultguard::Guard([&] { result = DefaultProc(); })) {
        char text[64];
        std::snprintf(text, sizeof(text), "Error; Msg : %d %x\n", message, message);
        OutputDebugStringA(text);
        return 0;
    }
    return result;
}

LRESULT Window::DefaultProc()
{
    if (m_previousProc) return CallWindowProcA(m_previousProc, m_hwnd, m_message, m_wParam, m_lParam);
    return DefWindowProcA(m_hwnd, m_message, m_wParam, m_lParam);
}

// Default handlers. "Not handled" means the handled flag is cleared, so the
// message goes on to default processing.
BOOL Window::OnIdle()
{
    return FALSE;
}

BOOL Window::CanClose()
{
    return TRUE;
}

void Window::OnHotKey(int, UINT, UINT)
{
    m_handled = FALSE;
}

void Window::OnAppCommand(Window*, short, WORD, WORD)
{
    m_handled = FALSE;
}

BOOL Window::OnSetCursor(Window*, UINT, UINT)
{
    m_handled = FALSE;
    return FALSE;
}

void Window::OnSettingChange(WPARAM, LPARAM)
{
    m_handled = FALSE;
}

void Window::OnDrawClipboard()
{
    m_handled = FALSE;
}

void Window::OnChangeCbChain(Window*, Window*)
{
    m_handled = FALSE;
}

BOOL Window::OnMouseWheel(UINT, short, int, int)
{
    m_handled = FALSE;
    return FALSE;
}

BOOL Window::OnCreate(CREATESTRUCTA*)
{
    m_handled = FALSE;
    return TRUE;
}

HBRUSH Window::OnCtlColor(DeviceContext*, Window*, UINT)
{
    m_handled = FALSE;
    return reinterpret_cast<HBRUSH>(DefWindowProcA(m_hwnd, m_message, m_wParam, m_lParam));
}

void Window::OnPaint()
{
    m_handled = FALSE;
}

BOOL Window::OnEraseBkgnd(DeviceContext*)
{
    m_handled = FALSE;
    return FALSE;
}

void Window::OnShowWindow(BOOL, UINT)
{
    m_handled = FALSE;
}

void Window::OnWindowPosChanging(WINDOWPOS*)
{
    m_handled = FALSE;
}

void Window::OnWindowPosChanged(WINDOWPOS*)
{
    m_handled = FALSE;
}

LRESULT Window::OnNcHitTest(int, int)
{
    m_handled = FALSE;
    return DefWindowProcA(m_hwnd, m_receivedMessage, m_receivedWParam, m_receivedLParam);
}

void Window::OnMenuSelect(UINT, UINT, Menu*)
{
    m_handled = FALSE;
}

BOOL Window::OnNotify(int, NMHDR*, LRESULT*)
{
    m_handled = FALSE;
    return FALSE;
}

void Window::OnEnterIdle(UINT, Window*)
{
    m_handled = FALSE;
}

void Window::OnNcDestroy()
{
    m_handled = FALSE;
}

void Window::OnSysCommand(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnCommand(UINT, UINT)
{
    m_handled = FALSE;
}

void Window::OnActivate(UINT, Window*, BOOL)
{
    m_handled = FALSE;
}

void Window::OnMove(int, int)
{
    m_handled = FALSE;
}

void Window::OnClose()
{
    m_handled = FALSE;
}

void Window::OnSize(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnDestroy()
{
    m_handled = FALSE;
}

void Window::OnInitMenuPopup(Menu*, UINT, BOOL)
{
    m_handled = FALSE;
}

void Window::OnInitMenu(Menu*)
{
    m_handled = FALSE;
}

void Window::OnDeleteItem(UINT, DELETEITEMSTRUCT*)
{
    m_handled = FALSE;
}

void Window::OnDrawItem(UINT, DRAWITEMSTRUCT*, DeviceContext*)
{
    m_handled = FALSE;
}

void Window::OnMeasureItem(UINT, MEASUREITEMSTRUCT*)
{
    m_handled = FALSE;
}

void Window::OnDropFiles(HDROP)
{
    m_handled = FALSE;
}

void Window::OnMouseMove(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnLButtonDown(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnRButtonDown(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnMButtonDown(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnLButtonUp(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnRButtonUp(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnMButtonUp(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnLButtonDblClk(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnRButtonDblClk(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnMButtonDblClk(UINT, int, int)
{
    m_handled = FALSE;
}

void Window::OnSysColorChange()
{
    m_handled = FALSE;
}

#include "framework/Dialog.h"

#include <vector>

#include "framework/Application.h"
#include "framework/FaultGuard.h"
#include "framework/WindowRegistry.h"

namespace {

HINSTANCE AppInstance()
{
    Application* app = Application::Get();
    return app ? app->Instance() : GetModuleHandleA(nullptr);
}

} // namespace

BOOL Dialog::Create(const char* className, const char* windowName, DWORD style, DWORD exStyle, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, void* param)
{
    return CreateEx(className, windowName, style, exStyle, x, y, width, height, parent, menuOrId, param);
}

BOOL Dialog::CreateEx(const char*, const char*, DWORD, DWORD, int, int, int, int, HWND parent, HMENU, void* param)
{
    if (parent) m_owner = parent;
    return CreateModeless(reinterpret_cast<LPARAM>(param));
}

LRESULT Dialog::DefaultProc()
{
    if (m_previousProc) return CallWindowProcA(m_previousProc, m_hwnd, m_message, m_wParam, m_lParam);
    return DefaultDialogProc();
}

LRESULT Dialog::DefaultDialogProc()
{
    return DefDlgProcA(m_hwnd, m_message, m_wParam, m_lParam);
}

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        m_handled = TRUE;
        m_message = message;
        m_wParam = wParam;
        m_lParam = lParam;
        return OnInitDialog();
    }
    return Dispatch(message, wParam, lParam);
}

void Dialog::OnCommand(UINT id, UINT code)
{
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
    Window::OnCommand(id, code);
}

BOOL Dialog::CreateModeless(LPARAM initParam)
{
    WindowRegistry& registry = WindowRegistry::Instance();
    if (!m_template || !registry.OnUserInterfaceThread()) return FALSE;
    InUse use(*this);
    m_modal = false;
    registry.AddPendingDialog(this);
    HWND hwnd = nullptr;
    bool completed = faultguard::Guard([&] {
        hwnd = CreateDialogIndirectParamA(AppInstance(), m_template, m_owner, &Dialog::FrameworkDialogProc, initParam);
    });
    // A dialog that never reached the dialog procedure must not be bound to
    // the next dialog created.
    registry.ForgetPendingDialog(this);
    return completed && hwnd ? TRUE : FALSE;
}

INT_PTR Dialog::DoModal(LPARAM initParam)
{
    if (!m_template) return 0;
    WindowRegistry& registry = WindowRegistry::Instance();
    if (!registry.OnUserInterfaceThread()) return -1; // as a dialog that could not be made
    // The modal loop runs on this object's behalf: a deletion asked during it
    // waits until the loop has ended and we are back here.
    InUse use(*this);
    m_modal = true;
    registry.AddPendingDialog(this);
    INT_PTR result = -1;
    if (!faultguard::Guard([&] {
            result =
                DialogBoxIndirectParamA(AppInstance(), m_template, m_owner, &Dialog::FrameworkDialogProc, initParam);
        })) {
        result = -1;
    }
    registry.ForgetPendingDialog(this);
    return result;
}

void Dialog::End(INT_PTR result)
{
    if (m_modal)
        EndDialog(m_hwnd, result);
    else
        Destroy();
}

BOOL Dialog::OnInitDialog()
{
    return TRUE;
}

void Dialog::OnOK()
{
    End(IDOK);
}

void Dialog::OnCancel()
{
    End(IDCANCEL);
}

BOOL Dialog::AttachControl(int id, Window& control)
{
    HWND item = GetDlgItem(m_hwnd, id);
    if (!item) return FALSE;
    control.m_hwnd = item;
    return control.Subclass();
}

std::string Dialog::ItemText(int id) const
{
    HWND item = GetDlgItem(m_hwnd, id);
    if (!item) return std::string();
    int length = GetWindowTextLengthA(item);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int copied = GetWindowTextA(item, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

BOOL Dialog::MoveInDialogUnits(int x, int y, int width, int height)
{
    LONG base = GetDialogBaseUnits();
    int baseX = LOWORD(base), baseY = HIWORD(base);
    return MoveWindow(m_hwnd, x * baseX / 4, y * baseY / 8, width * baseX / 4, height * baseY / 8, TRUE);
}

BOOL Dialog::SizeInDialogUnits(int width, int height)
{
    LONG base = GetDialogBaseUnits();
    int baseX = LOWORD(base), baseY = HIWORD(base);
    return SetWindowPos(m_hwnd, nullptr, 0, 0, width * baseX / 4, height * baseY / 8,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::BindDialogWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    m_hwnd = hwnd;
    Subclass();
    // The first message takes the same road as every later one.
    RunWindowProc(this, hwnd, message, wParam, lParam);
}

INT_PTR CALLBACK Dialog::FrameworkDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowRegistry& registry = WindowRegistry::Instance();
    if (!registry.OnUserInterfaceThread() || registry.Find(hwnd)) return 0;
    Dialog* dialog = registry.PeekPendingDialog();
    if (!dialog || dialog->m_hwnd) return 0;
    registry.RemovePendingDialog();
    dialog->BindDialogWindow(hwnd, message, wParam, lParam);
    registry.AdvanceDialog();
    return 0;
}

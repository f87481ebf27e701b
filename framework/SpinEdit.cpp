#include "framework/SpinEdit.h"

#include <commctrl.h>

#include <new>
#include <string>

#include "framework/SpinEditInput.h"

namespace {

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kUpDownStyle =
    WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
// Setting the edit box's text from inside its change notification raises
// another one; the nested one finds a good text and ends the chain. This
// bound only guards against a chain that would not end.
constexpr int kMaxChangeDepth = 4;

struct SpinState {
    int maximum = 0;
    int minimum = 0;
    int value = 0;
    HWND edit = nullptr;
    HWND upDown = nullptr;
    int changeDepth = 0;
};

// The state pointer fills the window's pointer-sized extra bytes, so it
// survives intact in the 64-bit build as well.
SpinState* StateOf(HWND hwnd)
{
    return reinterpret_cast<SpinState*>(GetWindowLongPtrA(hwnd, 0));
}

std::string EditText(const SpinState& state)
{
    char text[spinedit::kTextLimit + 1] = {};
    GetWindowTextA(state.edit, text, static_cast<int>(sizeof text));
    return text;
}

void ShowValue(const SpinState& state, int value)
{
    SetWindowTextA(state.edit, spinedit::DecimalText(value).c_str());
}

// The up-down control keeps 16-bit positions.
void MoveUpDown(const SpinState& state, int value)
{
    SendMessageA(state.upDown, UDM_SETPOS, 0, MAKELPARAM(LOWORD(value), 0));
}

void NotifyParent(HWND hwnd)
{
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    int id = GetDlgCtrlID(hwnd);
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(GetDlgItem(parent, id)));
}

LRESULT OnCreate(HWND hwnd, const CREATESTRUCTA& create)
{
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SpinState));
    if (!block) return -1;
    auto* state = new (block) SpinState;
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state));

    state->edit =
        CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", kEditStyle, 0, 0, 1, 1, hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSpinEditEditId)), create.hInstance, nullptr);
    state->upDown =
        CreateUpDownControl(kUpDownStyle, 0, 0, 0, 0, hwnd, kSpinEditUpDownId, create.hInstance, state->edit, 0, 0, 0);
    HWND parent = GetParent(hwnd);
    LPARAM font = parent ? SendMessageA(parent, WM_GETFONT, 0, 0) : 0;
    SendMessageA(state->edit, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    SendMessageA(state->upDown, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    SendMessageA(state->upDown, UDM_SETRANGE, 0, MAKELPARAM(LOWORD(state->maximum), LOWORD(state->minimum)));
    MoveUpDown(*state, state->value);
    ShowValue(*state, state->value);
    return 0;
}

void OnDestroy(HWND hwnd)
{
    SpinState* state = StateOf(hwnd);
    if (!state) return;
    SetWindowLongPtrA(hwnd, 0, 0);
    state->~SpinState();
    HeapFree(GetProcessHeap(), 0, state);
}

LRESULT OnDeltaPos(HWND hwnd, SpinState& state, const NMUPDOWN& change)
{
    if ((change.iPos <= state.minimum && change.iDelta < 0) || (change.iPos >= state.maximum && change.iDelta > 0)) {
        MessageBeep(0);
        return 1; // refuses the step
    }
    long long next = static_cast<long long>(change.iPos) + change.iDelta;
    // A fast (accelerated) step stops at the bound, as the up-down control does.
    if (next < state.minimum) next = state.minimum;
    if (next > state.maximum) next = state.maximum;
    state.value = static_cast<int>(next);
    NotifyParent(hwnd);
    return 0;
}

void OnEditChanged(HWND hwnd, SpinState& state)
{
    if (state.changeDepth >= kMaxChangeDepth) return;
    ++state.changeDepth;
    spinedit::TextVerdict verdict =
        spinedit::JudgeChangedText(EditText(state), state.minimum, state.maximum, state.value);
    if (!verdict.leaveAlone) {
        if (verdict.beep) MessageBeep(0);
        if (verdict.storeValue) state.value = verdict.value;
        if (verdict.rewriteText) ShowValue(state, verdict.value);
        MoveUpDown(state, verdict.value);
        NotifyParent(hwnd);
    }
    --state.changeDepth;
}

void OnEditLeft(SpinState& state)
{
    if (!spinedit::RestoreOnLeave(EditText(state))) return;
    MessageBeep(0);
    ShowValue(state, state.value);
    SendMessageA(state.edit, EM_SETSEL, 0, -1);
}

LRESULT OnSetRange(SpinState& state, int minimum, int maximum)
{
    if (maximum < minimum) return FALSE;
    state.minimum = minimum;
    state.maximum = maximum;
    SendMessageA(state.upDown, UDM_SETRANGE, 0, MAKELPARAM(LOWORD(maximum), LOWORD(minimum)));
    if (state.value < minimum || state.value > maximum) {
        state.value = state.value < minimum ? minimum : maximum;
        MoveUpDown(state, state.value);
        ShowValue(state, state.value);
    }
    InvalidateRect(state.upDown, nullptr, TRUE);
    return TRUE;
}

LRESULT OnSetPos(SpinState& state, int value)
{
    if (value < state.minimum || value > state.maximum) return FALSE;
    state.value = value;
    MoveUpDown(state, value);
    ShowValue(state, value);
    return TRUE;
}

LRESULT OnGetPos(SpinState& state)
{
    LRESULT answer = SendMessageA(state.upDown, UDM_GETPOS, 0, 0);
    state.value = static_cast<short>(LOWORD(answer));
    return state.value;
}

LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) return OnCreate(hwnd, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
    if (message == WM_DESTROY) {
        OnDestroy(hwnd);
        return 0;
    }
    SpinState* state = StateOf(hwnd);
    if (!state) {
        if (message == SEM_SETRANGE || message == SEM_SETPOS || message == SEM_GETPOS) return 0;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_SIZE:
        MoveWindow(state->edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        // Re-attaching the buddy puts the arrows inside its right edge again.
        SendMessageA(state->upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(state->edit), 0);
        return 0;
    case WM_SETFOCUS:
        SetFocus(state->edit);
        return 0;
    case WM_ENABLE:
        EnableWindow(state->edit, static_cast<BOOL>(wParam));
        EnableWindow(state->upDown, static_cast<BOOL>(wParam));
        return 1;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom == state->upDown && header->code == UDN_DELTAPOS)
            return OnDeltaPos(hwnd, *state, *reinterpret_cast<const NMUPDOWN*>(lParam));
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) != kSpinEditEditId || reinterpret_cast<HWND>(lParam) != state->edit) break;
        if (HIWORD(wParam) == EN_KILLFOCUS) OnEditLeft(*state);
        if (HIWORD(wParam) == EN_CHANGE) OnEditChanged(hwnd, *state);
        return 0;
    case SEM_SETRANGE:
        return OnSetRange(*state, static_cast<int>(wParam), static_cast<int>(lParam));
    case SEM_SETPOS:
        return OnSetPos(*state, static_cast<int>(wParam));
    case SEM_GETPOS:
        return OnGetPos(*state);
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK SpinEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Nothing may leave a window procedure; a failure falls back to default processing.
    try {
        return HandleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

BOOL RegisterSpinEditClass(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_GLOBALCLASS;
    wc.lpfnWndProc = SpinEditProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kSpinEditClass;
    RegisterClassExA(&wc);
    return TRUE;
}

BOOL SpinEdit_SetRange(HWND spin, int minimum, int maximum)
{
    return SendMessageA(spin, SEM_SETRANGE, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum)) != 0;
}

BOOL SpinEdit_SetPos(HWND spin, int value)
{
    return SendMessageA(spin, SEM_SETPOS, static_cast<WPARAM>(value), 0) != 0;
}

int SpinEdit_GetPos(HWND spin)
{
    return static_cast<int>(SendMessageA(spin, SEM_GETPOS, 0, 0));
}

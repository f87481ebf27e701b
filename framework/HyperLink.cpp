#include "framework/HyperLink.h"

#include <new>

#include "framework/GdiObject.h"
#include "framework/LinkHover.h"

namespace {

constexpr int kTextLimit = 300;

struct LinkState {
    COLORREF background = 0;
    COLORREF normal = RGB(0, 0, 255);
    COLORREF hover = RGB(255, 0, 0);
    COLORREF visited = RGB(128, 0, 128);
    LinkHover state;
    HCURSOR cursor = nullptr;
};

// The state pointer fills the window's pointer-sized extra bytes, so it
// survives intact in the 64-bit build as well.
LinkState* StateOf(HWND hwnd)
{
    return reinterpret_cast<LinkState*>(GetWindowLongPtrA(hwnd, 0));
}

bool IsLink(HWND hwnd)
{
    char name[sizeof kHyperLinkClass + 1] = {};
    return IsWindow(hwnd) && GetClassNameA(hwnd, name, sizeof name) && lstrcmpiA(name, kHyperLinkClass) == 0;
}

LinkState* LiveState(HWND hwnd)
{
    return IsLink(hwnd) ? StateOf(hwnd) : nullptr;
}

// The window text, at most kTextLimit characters.
int ReadText(HWND hwnd, char (&text)[kTextLimit + 1])
{
    return GetWindowTextA(hwnd, text, kTextLimit + 1);
}

HFONT FontOf(HWND hwnd)
{
    return reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
}

// The size of the control's text in the parent's font: one line, as DrawText measures it.
SIZE MeasureText(HWND link)
{
    char text[kTextLimit + 1];
    ReadText(link, text);
    SIZE size{0, 0};
    HDC dc = GetDC(link);
    if (!dc) return size;
    HWND parent = GetParent(link);
    HFONT font = parent ? FontOf(parent) : nullptr;
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    RECT rect{0, 0, 0, 0};
    DrawTextA(dc, text, -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    if (old) SelectObject(dc, old);
    ReleaseDC(link, dc);
    size.cx = rect.right - rect.left;
    size.cy = rect.bottom - rect.top;
    return size;
}

void Repaint(HWND hwnd, LinkHover::Repaint how)
{
    switch (how) {
    case LinkHover::Repaint::None:
        break;
    case LinkHover::Repaint::Now:
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
        break;
    case LinkHover::Repaint::Later:
        InvalidateRect(hwnd, nullptr, TRUE);
        break;
    }
}

LRESULT OnCreate(HWND hwnd)
{
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(LinkState));
    if (!block) return -1;
    auto* state = new (block) LinkState;
    state->background = GetSysColor(COLOR_BTNFACE);
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state));

    char text[kTextLimit + 1];
    if (ReadText(hwnd, text) == 0) SetWindowTextA(hwnd, kHyperLinkDefaultText);
    HCURSOR cursor = LoadCursor(nullptr, IDC_HAND);
    state->cursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
    SetTimer(hwnd, kHyperLinkTimer, kHyperLinkTimerPeriod, nullptr);
    return 0;
}

void OnDestroy(HWND hwnd)
{
    KillTimer(hwnd, kHyperLinkTimer);
    LinkState* state = StateOf(hwnd);
    if (!state) return;
    SetWindowLongPtrA(hwnd, 0, 0);
    if (state->cursor) DestroyCursor(state->cursor);
    state->~LinkState();
    HeapFree(GetProcessHeap(), 0, state);
}

LRESULT OnPrint(HWND hwnd, LinkState& state, HDC dc)
{
    char text[kTextLimit + 1];
    ReadText(hwnd, text);
    RECT client;
    GetClientRect(hwnd, &client);
    HWND parent = GetParent(hwnd);
    if (parent && (GetWindowLongPtrA(parent, GWL_STYLE) & WS_CLIPCHILDREN)) {
        // The parent leaves this area unpainted: cover all of it.
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, state.background);
        GdiObject<HBRUSH> brush(CreateSolidBrush(state.background));
        FillRect(dc, &client, brush.Get());
    } else {
        SetBkMode(dc, TRANSPARENT);
    }
    HFONT font = FontOf(hwnd);
    if (!font && parent) font = FontOf(parent);
    if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    LOGFONTA description{};
    GetObjectA(font, sizeof description, &description);
    description.lfUnderline = TRUE;
    GdiObject<HFONT> underlined(CreateFontIndirectA(&description));
    HGDIOBJ old = SelectObject(dc, underlined ? underlined.Get() : font);

    COLORREF colour = state.normal;
    if (state.state.TextColour() == LinkHover::Colour::Hover) colour = state.hover;
    if (state.state.TextColour() == LinkHover::Colour::Visited) colour = state.visited;
    SetTextColor(dc, colour);
    DrawTextA(dc, text, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SelectObject(dc, old);
    return 1;
}

void OnMouseMove(HWND hwnd, LinkState& state, POINT point)
{
    RECT client;
    GetClientRect(hwnd, &client);
    LinkHover::MoveAnswer answer = state.state.MouseMoved(PtInRect(&client, point) != FALSE);
    if (answer.release) ReleaseCapture();
    Repaint(hwnd, answer.repaint);
    if (answer.capture) SetCapture(hwnd);
}

void OnTimer(HWND hwnd, LinkState& state)
{
    POINT cursor;
    RECT window;
    if (!GetCursorPos(&cursor) || !GetWindowRect(hwnd, &window)) return;
    HWND parent = GetParent(hwnd);
    bool parentEnabled = !parent || IsWindowEnabled(parent);
    Repaint(hwnd, state.state.TimerTick(PtInRect(&window, cursor) != FALSE, parentEnabled));
}

void OnClick(HWND hwnd, LinkState& state)
{
    LinkHover::Repaint repaint = state.state.Clicked();
    HWND parent = GetParent(hwnd);
    if (parent) {
        int id = GetDlgCtrlID(hwnd);
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(hwnd));
    }
    // The parent may have destroyed the control while it handled the click.
    if (!IsWindow(hwnd) || StateOf(hwnd) != &state) return;
    Repaint(hwnd, repaint);
}

LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) return OnCreate(hwnd);
    if (message == WM_DESTROY) {
        OnDestroy(hwnd);
        return 0;
    }
    LinkState* state = StateOf(hwnd);
    if (!state) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        if (dc) SendMessageA(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_PRINT:
    case WM_PRINTCLIENT:
        return OnPrint(hwnd, *state, reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        SetCursor(state->cursor ? state->cursor : LoadCursor(nullptr, IDC_ARROW));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(hwnd, *state, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_TIMER:
        if (wParam != kHyperLinkTimer) break;
        OnTimer(hwnd, *state);
        return 1;
    case WM_LBUTTONUP:
        OnClick(hwnd, *state);
        return 1;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK HyperLinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Nothing may leave a window procedure; a failure falls back to default processing.
    try {
        return HandleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

BOOL RegisterHyperLinkClass(HINSTANCE instance)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_GLOBALCLASS;
    wc.lpfnWndProc = HyperLinkProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.lpszClassName = kHyperLinkClass;
    RegisterClassExA(&wc);
    return TRUE;
}

BOOL SetLinkColors(HWND link, COLORREF background, COLORREF normal, COLORREF hover, COLORREF visited)
{
    LinkState* state = LiveState(link);
    if (!state) return FALSE;
    state->background = background;
    state->normal = normal;
    state->hover = hover;
    state->visited = visited;
    InvalidateRect(link, nullptr, TRUE);
    return TRUE;
}

BOOL SetLinkCursor(HWND link, HCURSOR cursor)
{
    LinkState* state = LiveState(link);
    if (!state) return FALSE;
    state->cursor = cursor;
    return TRUE;
}

BOOL SizeLinkToText(HWND link)
{
    if (!IsWindow(link)) return FALSE;
    SIZE size = MeasureText(link);
    return SetWindowPos(link, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
}

BOOL CenterLinkInRect(HWND link, const RECT& rect)
{
    if (!IsWindow(link)) return FALSE;
    SIZE size = MeasureText(link);
    int left = rect.left + (rect.right - rect.left - size.cx) / 2;
    int top = rect.top + (rect.bottom - rect.top - size.cy) / 2;
    return SetWindowPos(link, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER);
}

#include "app/AboutBox.h"

#include <cmath>
#include <cstdio>

#include "framework/Application.h"
#include "framework/HyperLink.h"
#include "framework/ModulePath.h"
#include "framework/OsVersion.h"
#include "framework/WindowRegistry.h"

namespace {

constexpr UINT_PTR kPictureTimer = 1;
constexpr UINT kPictureTimerPeriod = 1; // milliseconds
// The picture, in client pixels; the hand cursor shows over it.
constexpr RECT kPicture{12, 9, 52, 52};
const char kFontName[] = "ＭＳ Ｐゴシック";
constexpr int kFontPixels = 12;
constexpr DWORD kShowMs = 400;
constexpr DWORD kHideMs = 200;

using AnimateWindowFn = BOOL(WINAPI*)(HWND, DWORD, DWORD);

// Looked up at run time: the call is missing from the oldest systems.
AnimateWindowFn FindAnimateWindow()
{
    HMODULE user = GetModuleHandleA("User32.dll");
    return user ? reinterpret_cast<AnimateWindowFn>(reinterpret_cast<void*>(GetProcAddress(user, "AnimateWindow")))
                : nullptr;
}

bool IsNtLine()
{
    OSVERSIONINFOA version;
    return QueryOsVersion(version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void PushText(std::vector<WORD>& words, const std::string& ansi)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(length > 0 ? length : 1, L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(), length);
    for (wchar_t c : wide)
        words.push_back(static_cast<WORD>(c));
}

} // namespace

AboutBox::AboutBox()
{
    // DLGTEMPLATE, no items: they are made in pixels once the box exists.
    const DWORD style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    m_templateWords = {LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0, 200, 100, 0, 0};
    PushText(m_templateWords, Application::Get()->Name() + "について");
    m_templateWords.push_back(9); // points: 12 pixels at 96 dots per inch
    PushText(m_templateWords, kFontName);
    SetTemplate(reinterpret_cast<const DLGTEMPLATE*>(m_templateWords.data()));
}

void AboutBox::Run(HWND owner)
{
    SetOwner(owner);
    DoModal(0);
}

std::string AboutBox::PhaseText()
{
    std::string version = "?.??";
    const std::string program = modulepath::ModuleFileName(nullptr);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(program.c_str(), &ignored);
    if (size > 0) {
        std::vector<char> info(size);
        struct Translation {
            WORD language;
            WORD codePage;
        }* translations = nullptr;
        UINT length = 0;
        if (GetFileVersionInfoA(program.c_str(), 0, size, info.data()) &&
            VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                           &length) &&
            length >= sizeof(Translation)) {
            char key[64];
            std::snprintf(key, sizeof key, "\\StringFileInfo\\%04x%04x\\FileVersion", translations[0].language,
                          translations[0].codePage);
            char* text = nullptr;
            UINT textLength = 0;
            if (VerQueryValueA(info.data(), key, reinterpret_cast<void**>(&text), &textLength) && text && textLength)
                version.assign(text, strnlen(text, textLength));
        }
    }
    return "Phase " + version;
}

BOOL AboutBox::OnInitDialog()
{
    RECT frame{0, 0, kClientWidth, kClientHeight};
    if (!AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_STYLE)), FALSE,
                            static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_EXSTYLE)))) {
        Application::Get()->MessageBox("原因不明のエラーが発生しました。", MB_ICONERROR);
        End(IDCANCEL);
        return TRUE;
    }
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(m_hwnd, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

    m_font = CreateFontA(-kFontPixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontName);
    const auto child = [this](const char* className, const char* text, DWORD style, int x, int y, int w, int h,
                              int id) {
        HWND item =
            CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Application::Get()->Instance(), nullptr);
        if (item && m_font) SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        return item;
    };
    child("STATIC", "おすとら", SS_LEFT, 68, 12, 200, 16, -1);
    child("STATIC", PhaseText().c_str(), SS_LEFT, 68, 32, 200, 16, -1);
    HWND link = child(kHyperLinkClass, kHyperLinkDefaultText, 0, 68, 60, 200, 16, kLinkId);
    if (link) SizeLinkToText(link);
    HWND ok = child("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 182, 119, 88, 21, IDOK);
    if (ok) SetFocus(ok);

    SetTimer(m_hwnd, kPictureTimer, kPictureTimerPeriod, nullptr);
    if (AnimateWindowFn animate = FindAnimateWindow()) {
        animate(m_hwnd, kShowMs, IsNtLine() ? (AW_BLEND | AW_ACTIVATE) : (AW_CENTER | AW_ACTIVATE));
    }
    // The dialog's loop shows the box plainly when it is still hidden.
    return FALSE;
}

void AboutBox::OnOK()
{
    Close(IDOK);
}

void AboutBox::OnCancel()
{
    Close(IDCANCEL);
}

void AboutBox::Close(INT_PTR result)
{
    if (m_closing) return;
    m_closing = true;
    KillTimer(m_hwnd, kPictureTimer);
    if (IsNtLine()) {
        if (AnimateWindowFn animate = FindAnimateWindow()) animate(m_hwnd, kHideMs, AW_BLEND | AW_HIDE);
    }
    End(result);
}

void AboutBox::OnCommand(UINT id, UINT code)
{
    if (id == kLinkId) {
        char url[300] = {};
        GetDlgItemTextA(m_hwnd, kLinkId, url, sizeof url);
        ShellExecuteA(m_hwnd, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    Dialog::OnCommand(id, code);
}

void AboutBox::OnTimer(UINT_PTR id)
{
    if (id != kPictureTimer) return;
    ++m_phase;
    InvalidateRect(m_hwnd, &kPicture, FALSE);
    // This loop is the dialog's, not the program's: the temporary window
    // wrappers made while the box paints go here, or they would pile up
    // for as long as the box stays open.
    WindowRegistry::Instance().PurgeTemporaries();
}

void AboutBox::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    PaintPicture(dc);
    EndPaint(m_hwnd, &ps);
}

void AboutBox::PaintPicture(HDC dc) const
{
    // A shell that breathes: its size and colour follow a slow wave.
    const double wave = 0.5 + 0.5 * std::sin(static_cast<double>(m_phase % 2000) * 3.14159265358979 / 1000.0);
    HBRUSH background = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &kPicture, background);
    const int cx = (kPicture.left + kPicture.right) / 2;
    const int cy = (kPicture.top + kPicture.bottom) / 2;
    const int radius = 12 + static_cast<int>(wave * 7.0);
    HBRUSH shell = CreateSolidBrush(RGB(230, 150 + static_cast<int>(wave * 60.0), 120));
    HPEN outline = CreatePen(PS_SOLID, 1, RGB(120, 70, 40));
    HGDIOBJ oldBrush = SelectObject(dc, shell);
    HGDIOBJ oldPen = SelectObject(dc, outline);
    Ellipse(dc, cx - radius, cy - radius * 3 / 4, cx + radius, cy + radius * 3 / 4);
    MoveToEx(dc, cx, cy - radius * 3 / 4, nullptr);
    LineTo(dc, cx, cy + radius * 3 / 4);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(shell);
    DeleteObject(outline);
}

BOOL AboutBox::OnSetCursor(Window* window, UINT hitTest, UINT mouseMessage)
{
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(m_hwnd, &p);
    if (hitTest == HTCLIENT && PtInRect(&kPicture, p)) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
    }
    return Dialog::OnSetCursor(window, hitTest, mouseMessage);
}

void AboutBox::OnDestroy()
{
    KillTimer(m_hwnd, kPictureTimer);
    Dialog::OnDestroy();
}

AboutBox::~AboutBox()
{
    // The controls used the font until the box's window was gone.
    if (m_font) DeleteObject(m_font);
}

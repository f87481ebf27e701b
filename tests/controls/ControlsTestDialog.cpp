#include "ControlsTestDialog.h"

#include "framework/HyperLink.h"
#include "framework/SpinEdit.h"

void RegisterControlClasses()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterHyperLinkClass(GetModuleHandleA(nullptr));
    RegisterSpinEditClass(GetModuleHandleA(nullptr));
}

ControlsTestDialog::ControlsTestDialog(int templateId)
{
    RegisterControlClasses();
    m_hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr, Proc,
                                reinterpret_cast<LPARAM>(this));
    if (m_hwnd) {
        SetWindowPos(m_hwnd, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        UpdateWindow(m_hwnd);
    }
}

ControlsTestDialog::~ControlsTestDialog()
{
    if (m_hwnd) DestroyWindow(m_hwnd);
}

INT_PTR CALLBACK ControlsTestDialog::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        return TRUE;
    }
    auto* self = reinterpret_cast<ControlsTestDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (self && message == WM_COMMAND && LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) {
        self->commands.push_back({wParam, lParam});
        return TRUE;
    }
    return FALSE;
}

PaintedPixels::PaintedPixels(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    m_width = client.right;
    m_height = client.bottom;
    if (m_width <= 0 || m_height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, m_width, m_height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    m_pixels.assign(pixels, pixels + static_cast<std::size_t>(m_width) * m_height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
}

std::size_t PaintedPixels::Count(COLORREF colour) const
{
    // A 32-bit DIB holds blue in the low byte, a COLORREF red.
    DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    std::size_t n = 0;
    for (DWORD pixel : m_pixels)
        if ((pixel & 0xFFFFFF) == wanted) ++n;
    return n;
}

COLORREF PaintedPixels::At(int x, int y) const
{
    DWORD pixel = m_pixels.at(static_cast<std::size_t>(y) * m_width + x);
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

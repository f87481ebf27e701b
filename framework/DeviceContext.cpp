#include "framework/DeviceContext.h"

#include <memory>

#include "framework/WindowRegistry.h"

bool DeviceContext::GetWindowContext(HWND hwnd)
{
    Release();
    m_dc = GetDC(hwnd);
    if (!m_dc) return false;
    m_kind = Kind::Window;
    m_hwnd = hwnd;
    return true;
}

bool DeviceContext::BeginPaint(HWND hwnd)
{
    Release();
    m_dc = ::BeginPaint(hwnd, &m_paint);
    if (!m_dc) return false;
    m_kind = Kind::Paint;
    m_hwnd = hwnd;
    return true;
}

bool DeviceContext::CreateCompatible(HDC reference)
{
    Release();
    m_dc = CreateCompatibleDC(reference);
    if (!m_dc) return false;
    m_kind = Kind::Created;
    return true;
}

bool DeviceContext::CreateDisplay()
{
    Release();
    m_dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    if (!m_dc) return false;
    m_kind = Kind::Created;
    return true;
}

void DeviceContext::AttachForeign(HDC dc)
{
    Release();
    m_dc = dc;
    m_kind = dc ? Kind::Foreign : Kind::None;
}

void DeviceContext::RestoreSelections()
{
    for (HGDIOBJ* original : {&m_originalBitmap, &m_originalBrush, &m_originalPen, &m_originalFont}) {
        if (*original) ::SelectObject(m_dc, *original);
        *original = nullptr;
    }
    m_originalRegion = nullptr;
}

void DeviceContext::Release()
{
    if (m_dc && m_kind != Kind::Foreign) RestoreSelections();
    switch (m_kind) {
    case Kind::Window:
        ReleaseDC(m_hwnd, m_dc);
        break;
    case Kind::Paint:
        EndPaint(m_hwnd, &m_paint);
        break;
    case Kind::Created:
        DeleteDC(m_dc);
        break;
    case Kind::Foreign:
    case Kind::None:
        break;
    }
    m_dc = nullptr;
    m_kind = Kind::None;
    m_hwnd = nullptr;
    m_originalBitmap = m_originalBrush = m_originalPen = m_originalFont = m_originalRegion = nullptr;
}

BOOL DeviceContext::BitBlt(int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop)
{
    return ::BitBlt(m_dc, x, y, width, height, source, sourceX, sourceY, rop);
}

int DeviceContext::StretchDIBits(int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
                                 int sourceHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    return ::StretchDIBits(m_dc, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight, bits, info, usage,
                           rop);
}

int DeviceContext::SetDIBitsToDevice(int x, int y, DWORD width, DWORD height, int sourceX, int sourceY, UINT startScan,
                                     UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    return ::SetDIBitsToDevice(m_dc, x, y, width, height, sourceX, sourceY, startScan, scanLines, bits, info, usage);
}

HGDIOBJ DeviceContext::SelectObject(HGDIOBJ object)
{
    HGDIOBJ previous = ::SelectObject(m_dc, object);
    if (!previous || previous == HGDI_ERROR || m_kind == Kind::Foreign) return previous;
    HGDIOBJ* original = nullptr;
    switch (GetObjectType(object)) {
    case OBJ_BITMAP:
        original = &m_originalBitmap;
        break;
    case OBJ_BRUSH:
        original = &m_originalBrush;
        break;
    case OBJ_PEN:
        original = &m_originalPen;
        break;
    case OBJ_FONT:
        original = &m_originalFont;
        break;
    default:
        break; // a region is copied into the context, nothing to give back
    }
    if (original && !*original) *original = previous;
    return previous;
}

DeviceContext* DeviceContext::FromHandle(HDC dc)
{
    if (!dc || !WindowRegistry::Instance().OnUserInterfaceThread()) return nullptr;
    auto wrapper = std::make_unique<DeviceContext>();
    wrapper->AttachForeign(dc);
    return WindowRegistry::Instance().AddTemporary(std::move(wrapper));
}

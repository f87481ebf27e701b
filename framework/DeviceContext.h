#pragma once
// A device context and how to give it back: released to its window, ended as
// a paint context, deleted as a created one, or left alone when it belongs to
// someone else (a temporary wrapper of a foreign handle).
#include <windows.h>

class DeviceContext {
  public:
    DeviceContext() = default;
    ~DeviceContext() { Release(); }
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    bool GetWindowContext(HWND hwnd);     // GetDC; ReleaseDC later
    bool BeginPaint(HWND hwnd);           // BeginPaint; EndPaint later
    bool CreateCompatible(HDC reference); // CreateCompatibleDC; DeleteDC later
    bool CreateDisplay();                 // CreateDCA("DISPLAY"); DeleteDC later
    void AttachForeign(HDC dc);           // not released by this object
    void Release();

    HDC Handle() const { return m_dc; }
    const PAINTSTRUCT& PaintInfo() const { return m_paint; }

    BOOL BitBlt(int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);
    int StretchDIBits(int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                      const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
    int SetDIBitsToDevice(int x, int y, DWORD width, DWORD height, int sourceX, int sourceY, UINT startScan,
                          UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage);
    // Selects an object; the objects first replaced are selected back when
    // the context is given back, so a bitmap can be deleted after its context.
    HGDIOBJ SelectObject(HGDIOBJ object);

    // The wrapper of a handle, valid only while the current message is handled;
    // nullptr on a thread other than the user-interface thread.
    static DeviceContext* FromHandle(HDC dc);

  private:
    enum class Kind { None, Window, Paint, Created, Foreign };
    void RestoreSelections();

    HDC m_dc = nullptr;
    Kind m_kind = Kind::None;
    HWND m_hwnd = nullptr;
    PAINTSTRUCT m_paint{};
    HGDIOBJ m_originalBitmap = nullptr;
    HGDIOBJ m_originalBrush = nullptr;
    HGDIOBJ m_originalPen = nullptr;
    HGDIOBJ m_originalFont = nullptr;
    HGDIOBJ m_originalRegion = nullptr;
};

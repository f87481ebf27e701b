#pragma once
// Owners of GDI handles: each deletes its handle when it goes away.
// Bitmap, DibSection, Region, Brush and Font are GDI objects (DeleteObject);
// an Icon is a user object (DestroyIcon, see Icon.h).
#include <windows.h>

#include <utility>

template <class Handle> class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : m_handle(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : m_handle(other.Detach()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(Handle handle = nullptr)
    {
        if (m_handle) DeleteObject(m_handle);
        m_handle = handle;
    }
    // Gives up ownership, e.g. when a region is handed to SetWindowRgn.
    Handle Detach() { return std::exchange(m_handle, nullptr); }

  private:
    Handle m_handle = nullptr;
};

class Bitmap : public GdiObject<HBITMAP> {
  public:
    using GdiObject::GdiObject;
    bool Load(HINSTANCE instance, const char* name)
    {
        Reset(LoadBitmapA(instance, name));
        return Get() != nullptr;
    }
    bool LoadImageFile(const char* path)
    {
        Reset(static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
        return Get() != nullptr;
    }
    bool CreateCompatible(HDC dc, int width, int height)
    {
        Reset(CreateCompatibleBitmap(dc, width, height));
        return Get() != nullptr;
    }
};

class DibSection : public GdiObject<HBITMAP> {
  public:
    using GdiObject::GdiObject;
    // 'bits' receives the address of the pixels, valid while the object lives.
    bool Create(HDC dc, const BITMAPINFO* info, void** bits)
    {
        Reset(CreateDIBSection(dc, info, DIB_RGB_COLORS, bits, nullptr, 0));
        return Get() != nullptr;
    }
};

class Region : public GdiObject<HRGN> {
  public:
    using GdiObject::GdiObject;
    bool CreateRect(int left, int top, int right, int bottom)
    {
        Reset(CreateRectRgn(left, top, right, bottom));
        return Get() != nullptr;
    }
};

class Brush : public GdiObject<HBRUSH> {
  public:
    using GdiObject::GdiObject;
    bool CreateSolid(COLORREF colour)
    {
        Reset(CreateSolidBrush(colour));
        return Get() != nullptr;
    }
};

class Font : public GdiObject<HFONT> {
  public:
    using GdiObject::GdiObject;
    bool Create(const LOGFONTA& description)
    {
        Reset(CreateFontIndirectA(&description));
        return Get() != nullptr;
    }
};

#pragma once
// Owners of GDI handles: each deletes its handle when it goes away.
// Bitmap, DibSection, Region, Brush and Font are GDI objects (DeleteObject);
// an Icon is a user object (DestroyIcon, see Icon.h).
#include <windows.h>

#include "framework/OwnedHandle.h"

// GDI objects of every kind are released by DeleteObject.
template <class H> struct GdiObjectTraits {
    using Handle = H;
    static Handle None() { return nullptr; }
    static bool Release(Handle handle) { return DeleteObject(handle) != FALSE; }
};

template <class Handle> using GdiObject = OwnedHandle<GdiObjectTraits<Handle>>;

class Bitmap : public GdiObject<HBITMAP> {
  public:
    using OwnedHandle::OwnedHandle;
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
    using OwnedHandle::OwnedHandle;
    // 'bits' receives the address of the pixels, valid while the object lives.
    bool Create(HDC dc, const BITMAPINFO* info, void** bits)
    {
        Reset(CreateDIBSection(dc, info, DIB_RGB_COLORS, bits, nullptr, 0));
        return Get() != nullptr;
    }
};

class Region : public GdiObject<HRGN> {
  public:
    using OwnedHandle::OwnedHandle;
    bool CreateRect(int left, int top, int right, int bottom)
    {
        Reset(CreateRectRgn(left, top, right, bottom));
        return Get() != nullptr;
    }
};

class Brush : public GdiObject<HBRUSH> {
  public:
    using OwnedHandle::OwnedHandle;
    bool CreateSolid(COLORREF colour)
    {
        Reset(CreateSolidBrush(colour));
        return Get() != nullptr;
    }
};

class Font : public GdiObject<HFONT> {
  public:
    using OwnedHandle::OwnedHandle;
    bool Create(const LOGFONTA& description)
    {
        Reset(CreateFontIndirectA(&description));
        return Get() != nullptr;
    }
};

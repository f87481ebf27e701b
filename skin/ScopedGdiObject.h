#pragma once
// Owners of the GDI handles the surfaces and players keep: bitmaps, regions
// (deleted with DeleteObject) and memory device contexts (DeleteDC).
#include <windows.h>

#include "framework/GdiObject.h"

#include <utility>

// Bitmaps and regions use the framework's owner of GDI objects.
using ScopedBitmap = GdiObject<HBITMAP>;
using ScopedRegion = GdiObject<HRGN>;

// A memory device context; the bitmap it was created with is selected back
// before it is deleted, so the bitmaps selected into it can be deleted alone.
class ScopedMemoryDC {
  public:
    ScopedMemoryDC() = default;
    explicit ScopedMemoryDC(HDC reference) : m_dc(CreateCompatibleDC(reference)) {}
    ~ScopedMemoryDC() { Reset(); }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }
    // Selects 'bitmap', remembering the context's own first bitmap.
    void Select(HBITMAP bitmap)
    {
        HGDIOBJ previous = SelectObject(m_dc, bitmap);
        if (!m_original) m_original = previous;
    }
    void Reset()
    {
        if (!m_dc) return;
        if (m_original) SelectObject(m_dc, m_original);
        DeleteDC(m_dc);
        m_dc = nullptr;
        m_original = nullptr;
    }
    void Swap(ScopedMemoryDC& other)
    {
        std::swap(m_dc, other.m_dc);
        std::swap(m_original, other.m_original);
    }

  private:
    HDC m_dc = nullptr;
    HGDIOBJ m_original = nullptr;
};

#pragma once
// An icon handle with its owner. Icons from LoadIconA are shared by the
// system and never destroyed; those from LoadImageA without LR_SHARED are.
#include <windows.h>

#include <utility>

class Icon {
  public:
    Icon() = default;
    ~Icon() { Reset(); }
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;

    bool LoadShared(HINSTANCE instance, const char* name)
    {
        Reset();
        m_icon = LoadIconA(instance, name);
        m_owned = false;
        return m_icon != nullptr;
    }
    bool LoadSized(HINSTANCE instance, const char* name, int width, int height)
    {
        Reset();
        m_icon = static_cast<HICON>(LoadImageA(instance, name, IMAGE_ICON, width, height, 0));
        m_owned = m_icon != nullptr;
        return m_icon != nullptr;
    }
    BOOL Draw(HDC dc, int x, int y, int width, int height) const
    {
        return DrawIconEx(dc, x, y, m_icon, width, height, 0, nullptr, DI_NORMAL);
    }
    HICON Get() const { return m_icon; }
    void Reset()
    {
        if (m_icon && m_owned) DestroyIcon(m_icon);
        m_icon = nullptr;
        m_owned = false;
    }

  private:
    HICON m_icon = nullptr;
    bool m_owned = false;
};

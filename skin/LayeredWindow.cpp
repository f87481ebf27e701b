#include "skin/LayeredWindow.h"

#include "framework/KernelHandle.h"
#include "skin/OpacityAlpha.h"

#include <atomic>

namespace ostra {

namespace {

using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Both may be read from any thread; they change only when a test installs a lookup.
std::atomic<LayeredFunctionLookup> g_lookup{nullptr};
// -1: not looked up yet; 0: missing; 1: present.
std::atomic<int> g_supported{-1};

FARPROC Find(HMODULE user32, LPCSTR name)
{
    LayeredFunctionLookup lookup = g_lookup.load();
    return lookup ? lookup(user32, name) : GetProcAddress(user32, name);
}

// Holds the library reference for the length of one call.
class User32Reference {
  public:
    User32Reference() : m_module(LoadLibraryA("User32")) {}

    SetLayeredWindowAttributesFn Function() const
    {
        if (!m_module) return nullptr;
        return reinterpret_cast<SetLayeredWindowAttributesFn>(
            reinterpret_cast<void*>(Find(m_module.Get(), "SetLayeredWindowAttributes")));
    }

  private:
    ModuleHandle m_module;
};

BOOL SetAlpha(HWND window, BYTE alpha)
{
    User32Reference user32;
    SetLayeredWindowAttributesFn set = user32.Function();
    if (!set) return FALSE;
    return set(window, 0, alpha, LWA_ALPHA);
}

bool HasLayeredBit(HWND window)
{
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

} // namespace

BOOL MakeLayered(HWND window)
{
    if (!IsWindow(window)) return FALSE;
    User32Reference user32;
    SetLayeredWindowAttributesFn set = user32.Function();
    if (!set) return FALSE;
    SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    return set(window, 0, 255, LWA_ALPHA);
}

BOOL ApplyTransparency(HWND window, BYTE percent)
{
    if (!IsWindow(window) || !HasLayeredBit(window)) return FALSE;
    return SetAlpha(window, OpacityAlpha(percent));
}

bool LayeredWindowsSupported()
{
    int known = g_supported.load();
    if (known < 0) {
        User32Reference user32;
        known = user32.Function() ? 1 : 0;
        g_supported.store(known);
    }
    return known == 1;
}

void SetLayeredFunctionLookup(LayeredFunctionLookup lookup)
{
    g_lookup.store(lookup);
    g_supported.store(-1);
}

} // namespace ostra

#pragma once
// What a surface player needs from the skin window it draws for.
#include <windows.h>

#include <cstdint>

struct SurfaceImage;

class PlayerWindow {
  public:
    virtual HWND Handle() const = 0;
    // The window's placement beside its host; sets the started player's
    // origin and moves the window there (user-interface thread).
    virtual void Place() = 0;
    // The skin's surface picture of that number, or null. Called from the
    // animation thread; the map does not change while a player runs.
    virtual const SurfaceImage* FindSurface(int32_t number) const = 0;
    // The host window and the skin's "ontop" setting, for the owner and the
    // z-order the first pass gives the window.
    virtual HWND Host() const = 0;
    virtual bool OnTop() const = 0;

  protected:
    ~PlayerWindow() = default;
};

#pragma once
// A skin window for the surface tests: a real popup window that paints from
// the shown player, with a visible host window beside it and the maps a skin
// window keeps. Placement puts the window at a fixed origin.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "skin/PlayerWindow.h"
#include "skin/SurfaceImage.h"
#include "skin/SurfacePlayer.h"

class SurfaceTestWindow : public PlayerWindow {
  public:
    explicit SurfaceTestWindow(bool onTop = false);
    ~SurfaceTestWindow();
    SurfaceTestWindow(const SurfaceTestWindow&) = delete;
    SurfaceTestWindow& operator=(const SurfaceTestWindow&) = delete;

    // The program's screen context, made once.
    static HDC Screen();

    bool Load(const std::string& folder);
    // Stops the current player and starts and resumes player n.
    void Show(int32_t n);
    void StopCurrent();
    SurfacePlayer* Current() const { return m_current; }
    // Destroys every player, the shown one included.
    void DropPlayers();
    // Posts a message whose handler calls onPosted: it runs on this thread
    // wherever messages are next dispatched (inside a player's Stop, say).
    void PostRun();
    std::function<void()> onPosted;
    // Called once by the next placement (placement is where a skin window
    // waits on the host and so dispatches messages).
    std::function<void()> onPlace;

    HWND Handle() const override { return m_hwnd; }
    void Place() override;
    const SurfaceImage* FindSurface(int32_t number) const override;
    HWND Host() const override { return m_host; }
    bool OnTop() const override { return m_onTop; }

    SurfaceMap surfaces;
    PlayerMap players;
    int32_t originX = 300;
    int32_t originY = 200;
    int placements = 0;
    // Surface look-ups made by animation threads: each carried overlay or
    // base pattern makes one, so a count that grows shows passes being made.
    mutable std::atomic<int> threadLookups{0};

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    DWORD m_uiThread = GetCurrentThreadId();
    HWND m_hwnd = nullptr;
    HWND m_host = nullptr;
    bool m_onTop = false;
    SurfacePlayer* m_current = nullptr;
};

// Handles this thread's messages until done() holds or timeoutMs pass.
template <typename Done> bool PumpUntil(Done done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
}

inline void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

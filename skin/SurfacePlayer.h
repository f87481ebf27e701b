#pragma once
// Plays the animations of one surface of a skin window: its base image, its
// animation file, a back buffer the window paints from, and while the surface
// is shown, an animation thread that carries out the engine's decisions.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/KernelHandle.h"
#include "skin/AnimationEngine.h"
#include "skin/PlayerWindow.h"
#include "skin/ScopedGdiObject.h"
#include "skin/SurfaceImage.h"

class SurfacePlayer {
  public:
    // How the player shows its one message (an unreadable base image). The
    // program routes it to its application's message box, captioned with the
    // application title; without a handler a plain message box is shown.
    using MessageHandler = void (*)(const char* text, UINT type);
    static void SetMessageHandler(MessageHandler handler);

    SurfacePlayer();
    ~SurfacePlayer();
    SurfacePlayer(const SurfacePlayer&) = delete;
    SurfacePlayer& operator=(const SurfacePlayer&) = delete;

    // Loads folder + baseFile as the base image and folder + animationFile as
    // the animation file (which need not exist). An empty name is read from
    // the folder's "ostra.ini" (keys "base" and "animation"). 'screen' is the
    // program's screen device context; it must outlive the player. False, after
    // the message "サーフェスが読み込めません。", only when the base image
    // cannot be loaded. User-interface thread.
    bool Load(HDC screen, const std::string& folder, const std::string& baseFile, const std::string& animationFile);
    // Stops the player and frees its pictures, lines and animations.
    void Unload();

    // Shows the base image in 'window' (resized, placed, shaped) and, when
    // there are animations, creates the paused animation thread; else shows
    // the window. A thread still running is stopped first. 'window' must
    // outlive the run. User-interface thread.
    void Start(PlayerWindow& window);
    // Lets the thread begin its passes.
    void Resume();
    // Ends the thread, dispatching this thread's messages while waiting so
    // the thread's window calls complete; then resets every animation.
    //
    // What those messages do may come back to this player: another Stop, an
    // Unload, a Start (a click that changes the surface) or the player's
    // destruction (the skin window torn down by a detach). Each of them waits
    // for the same thread before it touches anything the thread uses; a Stop
    // whose player was destroyed meanwhile returns without touching it, and
    // one whose player was started again meanwhile leaves the new run alone.
    void Stop();

    // The paint handler's copy of the back buffer's top-left width x height
    // pixels to (0, 0) of 'target'.
    void Paint(HDC target, int width, int height);

    // The placement's result for this player: the window's computed screen
    // position, and where the window belongs including the last move offset.
    void SetOrigin(int32_t x, int32_t y) { m_engine.SetOrigin(x, y); }
    int32_t WindowX() const { return m_engine.WindowX(); }
    int32_t WindowY() const { return m_engine.WindowY(); }

    // What was loaded and how the player stands.
    const std::string& Folder() const { return m_folder; }
    const std::vector<std::string>& Lines() const { return m_lines; }
    const AnimationEngine& Engine() const { return m_engine; }
    PixelSize BaseSize() const { return m_engine.BaseSize(); }

  private:
    // One run of the animation thread: its handle and its own stop flag, so a
    // Stop that is re-entered while it waits cannot stop a later run. Shared
    // by the player and every Stop waiting for it: the handle stays open
    // until the last of them has seen the thread end.
    struct Run {
        SurfacePlayer* player = nullptr;
        std::atomic<bool> stopRequested{false};
        // Set with the stop request: the thread may be asleep for many
        // passes at once, and must not keep the stop waiting that long.
        KernelHandle wake;
        KernelHandle thread;
    };

    static DWORD WINAPI ThreadMain(void* context);
    // Stops until no run is left; false when the player was destroyed while
    // a stop waited (the caller must then not touch it).
    bool StopEveryRun();
    // Dispatches this thread's messages until the run's thread has ended.
    static void WaitForThreadEnd(const Run& run);
    void Animate(Run& run);
    // Sleeps 'ms' milliseconds, or less when the run is asked to stop.
    static void SleepUnlessStopped(const Run& run, int64_t ms);
    void InitialiseWindow(HRGN currentRegion, HDC scratch);
    void FinishFirstPass();
    void Carry(const PatternAction& action, HRGN currentRegion, HDC scratch);
    void ReplaceBackBuffer(PixelSize size);
    void MakeShape(const WindowShape& shape, HRGN out) const;
    void GiveWindowRegion(HRGN source, BOOL redraw) const;

    HDC m_screen = nullptr;
    std::string m_folder; // ends in a backslash
    std::vector<std::string> m_lines;
    AnimationEngine m_engine;

    // The base image: the player's own copies, replaced by base patterns.
    ScopedBitmap m_baseBitmap;
    ScopedRegion m_baseRegion;

    // The back buffer: a memory context holding a screen-compatible bitmap.
    // The lock orders the thread's drawing against the paint handler; it is
    // never held across a window call, which may wait for the UI thread.
    // (The bitmap is declared first so the context, which holds it, goes first.)
    std::mutex m_bufferLock;
    ScopedBitmap m_backBitmap;
    ScopedMemoryDC m_backBuffer;

    PlayerWindow* m_window = nullptr;
    std::shared_ptr<Run> m_run;
    // Cleared by the destructor; a Stop that dispatched messages checks it
    // before it touches the player again.
    std::shared_ptr<bool> m_alive;
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_initialised{false};
};

// The skin window's players by surface number.
using PlayerMap = std::map<int32_t, std::unique_ptr<SurfacePlayer>>;

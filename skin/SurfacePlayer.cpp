#include "skin/SurfacePlayer.h"

#include <mmsystem.h>

#include <optional>

#include "framework/KernelHandle.h"
#include "framework/PrivateProfile.h"
#include "selka/selka.h"
#include "skin/AnimationFile.h"
#include "skin/Random.h"
#include "skin/SkinDefinition.h"
#include "text/AnsiText.h"
#include "text/SystemLeadByte.h"

namespace {

SurfacePlayer::MessageHandler g_messageHandler = nullptr;

// Window flags of the engine's resizes: size only, nothing else disturbed.
constexpr UINT kResizeFlags =
    SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;

void ShowMessage(const char* text, UINT type)
{
    if (g_messageHandler)
        g_messageHandler(text, type);
    else
        MessageBoxA(nullptr, text, nullptr, type);
}

// The folder with one trailing backslash; a 0x5C that is the second byte of a
// double-byte character does not count as one.
std::string WithTrailingBackslash(const std::string& folder)
{
    const size_t last = ansi::FindLastBackslash(folder, ansi::IsSystemLeadByte);
    const bool endsInBackslash = last != std::string::npos && last + 1 == folder.size();
    return endsInBackslash ? folder : folder + "\\";
}

std::string IniText(const std::string& iniPath, const char* key, const char* fallback)
{
    return privateprofile::ReadText(iniPath, "OSTRA", key, fallback, SkinDefinition::kLongTextLimit);
}

// The whole file, or false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    char chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr)) return false;
        if (got == 0) return true;
        bytes.append(chunk, got); // may throw: the owner closes the file
    }
}

// Draws 'bitmap' (width x height from its top-left) into 'target' at (x, y)
// through the scratch context, which is left as it was.
void Blit(HDC target, HDC scratch, HBITMAP bitmap, int x, int y, int width, int height)
{
    if (!target || !bitmap) return;
    HGDIOBJ previous = SelectObject(scratch, bitmap);
    BitBlt(target, x, y, width, height, scratch, 0, 0, SRCCOPY);
    SelectObject(scratch, previous);
}

HRGN NewRegion()
{
    return CreateRectRgn(0, 0, 1, 1);
}

} // namespace

void SurfacePlayer::SetMessageHandler(MessageHandler handler)
{
    g_messageHandler = handler;
}

SurfacePlayer::SurfacePlayer() : m_alive(std::make_shared<bool>(true)) {}

SurfacePlayer::~SurfacePlayer()
{
    Unload();
    *m_alive = false;
}

bool SurfacePlayer::Load(HDC screen, const std::string& folder, const std::string& baseFile,
                         const std::string& animationFile)
{
    try {
        const std::shared_ptr<bool> alive = m_alive;
        Unload();
        if (!*alive) return false;
        m_screen = screen;
        m_folder = WithTrailingBackslash(folder);
        const std::string iniPath = m_folder + "ostra.ini";
        const std::string base = baseFile.empty() ? IniText(iniPath, "base", "surface0.png") : baseFile;
        const std::string animation =
            animationFile.empty() ? IniText(iniPath, "animation", "surface0a.txt") : animationFile;

        SurfaceImage image;
        if (!image.LoadFile(screen, m_folder + base)) {
            ShowMessage("サーフェスが読み込めません。", MB_ICONERROR);
            return false;
        }
        m_baseBitmap = std::move(image.bitmap);
        m_baseRegion = std::move(image.region);

        std::string bytes;
        if (ReadWholeFile(m_folder + animation, bytes)) m_lines = AnimationFile::ReadLines(bytes);
        m_engine.Load(AnimationFile::Parse(m_lines), {image.width, image.height});

        ReplaceBackBuffer({image.width, image.height});
        return true;
    } catch (...) {
        // Out of memory for a huge animation file: the surface is unusable.
        Unload();
        return false;
    }
}

void SurfacePlayer::Unload()
{
    if (!StopEveryRun()) return;
    {
        std::lock_guard<std::mutex> hold(m_bufferLock);
        m_backBuffer.Reset();
        m_backBitmap.Reset();
    }
    m_baseBitmap.Reset();
    m_baseRegion.Reset();
    m_lines.clear();
    m_engine.Load({}, {0, 0});
    m_window = nullptr;
}

void SurfacePlayer::ReplaceBackBuffer(PixelSize size)
{
    ScopedBitmap bitmap(CreateCompatibleBitmap(m_screen, size.width, size.height));
    ScopedMemoryDC dc(m_screen);
    if (!bitmap || !dc) return;
    dc.Select(bitmap.Get());
    std::lock_guard<std::mutex> hold(m_bufferLock);
    if (m_backBuffer) BitBlt(dc.Get(), 0, 0, size.width, size.height, m_backBuffer.Get(), 0, 0, SRCCOPY);
    m_backBuffer.Swap(dc);
    std::swap(m_backBitmap, bitmap);
    // 'dc' (now the old context) is deleted before 'bitmap' (the old bitmap) by
    // the order of their declarations.
}

void SurfacePlayer::GiveWindowRegion(HRGN source, BOOL redraw) const
{
    // The window takes ownership of the region it is given, so it gets a copy;
    // when the source is missing the copy stays the 1-by-1 rectangle.
    HRGN copy = NewRegion();
    if (source) CombineRgn(copy, source, nullptr, RGN_COPY);
    if (!SetWindowRgn(m_window->Handle(), copy, redraw)) DeleteObject(copy);
}

void SurfacePlayer::Start(PlayerWindow& window)
{
    if (!StopEveryRun()) return;
    // The window calls below may dispatch messages (placement asks the host
    // across processes); what they dispatch may destroy, unload, stop or
    // start this player. Such a later call owns the player from then on.
    const std::shared_ptr<bool> alive = m_alive;
    const auto overtaken = [&] { return !*alive || m_run || m_window != &window; };
    m_paused = true;
    m_window = &window;
    HWND hwnd = window.Handle();
    const PixelSize size = m_engine.PrepareStart();
    // Not activated: showing a surface must not take the keyboard focus from
    // whatever the user is working in.
    SetWindowPos(hwnd, nullptr, 0, 0, size.width, size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);

    const PixelSize buffer = m_engine.BufferSize();
    {
        std::lock_guard<std::mutex> hold(m_bufferLock);
        if (m_backBuffer) PatBlt(m_backBuffer.Get(), 0, 0, buffer.width, buffer.height, BLACKNESS);
    }
    window.Place();
    if (overtaken()) return;
    {
        ScopedMemoryDC scratch(m_screen);
        std::lock_guard<std::mutex> hold(m_bufferLock);
        Blit(m_backBuffer.Get(), scratch.Get(), m_baseBitmap.Get(), 0, 0, size.width, size.height);
    }
    GiveWindowRegion(m_baseRegion.Get(), FALSE);

    if (!m_engine.Animations().empty()) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
        if (overtaken()) return;
        auto run = std::make_shared<Run>();
        run->player = this;
        run->thread.Reset(CreateThread(nullptr, 0, ThreadMain, run.get(), 0, nullptr));
        if (run->thread) m_run = std::move(run);
    } else {
        SetWindowPos(hwnd, nullptr, 0, 0, size.width, size.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING |
                         SWP_SHOWWINDOW);
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
}

void SurfacePlayer::Resume()
{
    m_paused = false;
}

void SurfacePlayer::Stop()
{
    if (m_run) {
        // The record stays in m_run while this waits, so whatever re-enters
        // the player meanwhile finds the thread and waits for it too.
        const std::shared_ptr<Run> run = m_run;
        const std::shared_ptr<bool> alive = m_alive;
        run->stopRequested = true;
        WaitForThreadEnd(*run);
        // Destroyed while this waited: nothing of the player is left to touch.
        if (!*alive) return;
        if (m_run == run) m_run.reset();
        // A Start re-entered while this Stop waited owns the player now.
        if (m_run) return;
    }
    m_engine.Reset();
    m_initialised = false;
}

bool SurfacePlayer::StopEveryRun()
{
    // A Start re-entered while a Stop waits begins a new run; it is stopped
    // too, so no second thread ever runs beside the one being replaced.
    const std::shared_ptr<bool> alive = m_alive;
    while (m_run) {
        Stop();
        if (!*alive) return false;
    }
    return true;
}

void SurfacePlayer::WaitForThreadEnd(const Run& run)
{
    // The thread's window calls are handled by this thread: keep handling
    // messages until it has ended. A quit request met on the way is put back
    // for the message loop.
    HANDLE thread = run.thread.Get();
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD waited = MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (waited == WAIT_OBJECT_0) break;
        if (waited != WAIT_OBJECT_0 + 1) {
            // The wait itself failed: fall back to reading the exit code.
            DWORD code = 0;
            if (!GetExitCodeThread(thread, &code) || code != STILL_ACTIVE) break;
            Sleep(1);
        }
    }
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

void SurfacePlayer::Paint(HDC target, int width, int height)
{
    std::lock_guard<std::mutex> hold(m_bufferLock);
    if (m_backBuffer) BitBlt(target, 0, 0, width, height, m_backBuffer.Get(), 0, 0, SRCCOPY);
}

DWORD WINAPI SurfacePlayer::ThreadMain(void* context)
{
    Run* run = static_cast<Run*>(context);
    try {
        run->player->Animate(*run);
    } catch (...) {
        // Out of memory inside a pass: the animation ends, the window stays.
    }
    return 0;
}

void SurfacePlayer::Animate(Run& run)
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    const AnimationEngine::RandomSource random = Random;
    m_engine.BeginRun(timeGetTime(), random);
    ScopedRegion current(NewRegion());
    ScopedMemoryDC scratch(m_screen);
    const AnimationEngine::SurfaceSizes sizes = [this](int32_t number) -> std::optional<PixelSize> {
        const SurfaceImage* s = m_window->FindSurface(number);
        if (!s || !s->bitmap) return std::nullopt;
        return PixelSize{s->width, s->height};
    };
    std::vector<PatternAction> actions;

    while (!run.stopRequested) {
        if (m_paused) {
            Sleep(1);
            continue;
        }
        if (!m_initialised) InitialiseWindow(current.Get(), scratch.Get());
        actions.clear();
        m_engine.Pass(timeGetTime(), random, sizes, actions);
        for (const PatternAction& action : actions)
            Carry(action, current.Get(), scratch.Get());
        if (!m_initialised) {
            FinishFirstPass();
            m_initialised = true;
        }
        Sleep(AnimationEngine::kSleep);
    }
}

void SurfacePlayer::InitialiseWindow(HRGN currentRegion, HDC scratch)
{
    const PixelSize size = m_engine.Initialise();
    {
        std::lock_guard<std::mutex> hold(m_bufferLock);
        Blit(m_backBuffer.Get(), scratch, m_baseBitmap.Get(), 0, 0, size.width, size.height);
    }
    SetWindowPos(m_window->Handle(), nullptr, 0, 0, size.width, size.height, kResizeFlags);
    if (m_baseRegion) CombineRgn(currentRegion, m_baseRegion.Get(), nullptr, RGN_COPY);
    GiveWindowRegion(m_baseRegion.Get(), FALSE);
}

void SurfacePlayer::FinishFirstPass()
{
    HWND hwnd = m_window->Handle();
    HWND host = m_window->Host();
    const bool onTop = m_window->OnTop();
    SetWindowLongPtrA(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(onTop ? host : nullptr));
    SetOstraZOrder(hwnd, host, onTop, SWP_NOACTIVATE);
    if (IsWindowVisible(host) && !IsIconic(host)) SetOstraZOrder(hwnd, host, onTop, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void SurfacePlayer::MakeShape(const WindowShape& shape, HRGN out) const
{
    if (m_baseRegion) CombineRgn(out, m_baseRegion.Get(), nullptr, RGN_COPY);
    if (!shape.hasOverlay) return;
    const SurfaceImage* overlay = m_window->FindSurface(shape.overlay);
    if (!overlay || !overlay->region) return;
    ScopedRegion shifted(NewRegion());
    CombineRgn(shifted.Get(), overlay->region.Get(), nullptr, RGN_COPY);
    OffsetRgn(shifted.Get(), shape.x, shape.y);
    CombineRgn(out, out, shifted.Get(), RGN_OR);
}

void SurfacePlayer::Carry(const PatternAction& action, HRGN currentRegion, HDC scratch)
{
    HWND hwnd = m_window->Handle();
    const PixelSize base = m_engine.BaseSize();
    switch (action.kind) {
    case PatternAction::Kind::Skipped:
        return;
    case PatternAction::Kind::Move:
        // Not activated either: a hop of the skin must not take the focus.
        SetWindowPos(hwnd, nullptr, m_engine.WindowX(), m_engine.WindowY(), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOCOPYBITS | SWP_NOACTIVATE);
        return;
    case PatternAction::Kind::RestoreBase: {
        std::lock_guard<std::mutex> hold(m_bufferLock);
        Blit(m_backBuffer.Get(), scratch, m_baseBitmap.Get(), 0, 0, base.width, base.height);
        break;
    }
    case PatternAction::Kind::Overlay: {
        const SurfaceImage* s = m_window->FindSurface(action.surface);
        if (!s) return;
        ScopedRegion clip;
        if (s->region) {
            clip.Reset(NewRegion());
            CombineRgn(clip.Get(), s->region.Get(), nullptr, RGN_COPY);
            OffsetRgn(clip.Get(), action.x, action.y);
        }
        std::lock_guard<std::mutex> hold(m_bufferLock);
        Blit(m_backBuffer.Get(), scratch, m_baseBitmap.Get(), 0, 0, base.width, base.height);
        if (clip) SelectClipRgn(m_backBuffer.Get(), clip.Get());
        Blit(m_backBuffer.Get(), scratch, s->bitmap.Get(), action.x, action.y, s->width, s->height);
        SelectClipRgn(m_backBuffer.Get(), nullptr);
        break;
    }
    case PatternAction::Kind::Base: {
        const SurfaceImage* s = m_window->FindSurface(action.surface);
        if (!s) return;
        if (action.newBuffer) ReplaceBackBuffer(*action.newBuffer);
        if (action.resizeWindow)
            SetWindowPos(hwnd, nullptr, 0, 0, action.resizeWindow->width, action.resizeWindow->height, kResizeFlags);
        {
            std::lock_guard<std::mutex> hold(m_bufferLock);
            Blit(m_backBuffer.Get(), scratch, s->bitmap.Get(), 0, 0, s->width, s->height);
        }
        // s becomes the base image until the player is loaded again.
        ScopedBitmap copy(CreateCompatibleBitmap(m_screen, s->width, s->height));
        if (copy) {
            ScopedMemoryDC target(m_screen);
            target.Select(copy.Get());
            Blit(target.Get(), scratch, s->bitmap.Get(), 0, 0, s->width, s->height);
        }
        m_baseBitmap = std::move(copy);
        if (s->region) {
            m_baseRegion.Reset(NewRegion());
            CombineRgn(m_baseRegion.Get(), s->region.Get(), nullptr, RGN_COPY);
        } else {
            m_baseRegion.Reset();
        }
        break;
    }
    }

    bool regionChanged = false;
    if (action.reshape) {
        ScopedRegion shape(NewRegion());
        MakeShape(*action.reshape, shape.Get());
        if (!EqualRgn(shape.Get(), currentRegion)) {
            CombineRgn(currentRegion, shape.Get(), nullptr, RGN_COPY);
            regionChanged = true;
        }
    }
    if (regionChanged) GiveWindowRegion(currentRegion, TRUE);
    if (regionChanged || action.drawn) {
        const RECT dirty{action.dirty.left, action.dirty.top, action.dirty.right, action.dirty.bottom};
        InvalidateRect(hwnd, &dirty, FALSE);
        UpdateWindow(hwnd);
    }
}

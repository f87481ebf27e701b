// Window objects on real windows under Wine: binding, the handlers and
// what the dispatcher answers with or without default processing.
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"
#include "framework/FrameworkEntry.h"
#include "framework/Window.h"
#include "framework/WindowRegistry.h"

namespace {

struct Seen {
    UINT message;
    HWND boundHandle;
};

class RecordingWindow : public Window {
  public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back({message, Handle()});
        return Window::WindowProc(message, wParam, lParam);
    }
    BOOL OnCreate(CREATESTRUCTA* create) override
    {
        handleInOnCreate = Handle();
        createName = create && create->lpszName ? create->lpszName : "";
        return createAnswer;
    }
    BOOL CanClose() override
    {
        ++canCloseCalls;
        return allowClose;
    }
    void OnClose() override
    {
        ++closeCalls;
        Window::OnClose();
    }
    void OnDestroy() override
    {
        ++destroyCalls;
        Window::OnDestroy();
    }
    void OnNcDestroy() override
    {
        ++ncDestroyCalls;
        Window::OnNcDestroy();
    }
    void OnPaint() override
    {
        ++paintCalls;
        if (!claimPaint) Window::OnPaint();
    }
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override { keys.push_back({WM_KEYDOWN, key, repeat, flags}); }
    void OnKeyUp(UINT key, UINT repeat, UINT flags) override { keys.push_back({WM_KEYUP, key, repeat, flags}); }
    BOOL OnMouseWheel(UINT keyState, short delta, int x, int y) override
    {
        wheel.push_back({keyState, delta, x, y});
        if (!claimWheel) return Window::OnMouseWheel(keyState, delta, x, y);
        return TRUE;
    }
    void OnMove(int x, int y) override
    {
        moves.push_back({x, y});
        Window::OnMove(x, y);
    }
    void OnCommand(UINT id, UINT code) override
    {
        commands.push_back({id, code});
        Window::OnCommand(id, code);
    }
    void OnTimer(UINT_PTR id) override { timers.push_back(id); }
    LRESULT OnNcHitTest(int x, int y) override
    {
        hitTests.push_back({x, y});
        return hitAnswer ? hitAnswer : Window::OnNcHitTest(x, y);
    }

    struct Key {
        UINT message, key, repeat, flags;
    };
    struct Wheel {
        UINT keys;
        short delta;
        int x, y;
    };
    struct Point {
        int x, y;
    };
    struct Command {
        UINT id, code;
    };

    std::vector<Seen> seen;
    HWND handleInOnCreate = nullptr;
    std::string createName;
    BOOL createAnswer = TRUE;
    BOOL allowClose = TRUE;
    bool claimPaint = false;
    bool claimWheel = false;
    LRESULT hitAnswer = 0;
    int canCloseCalls = 0, closeCalls = 0, destroyCalls = 0, ncDestroyCalls = 0, paintCalls = 0;
    std::vector<Key> keys;
    std::vector<Wheel> wheel;
    std::vector<Point> moves;
    std::vector<Command> commands;
    std::vector<UINT_PTR> timers;
    std::vector<Point> hitTests;
};

bool MakeTopLevel(Window& window, const char* title = "test")
{
    return window.CreateEx(TestClassName(), title, WS_POPUP, 0, 10, 10, 120, 80, nullptr, nullptr, nullptr) != FALSE;
}

} // namespace

TEST(WindowBinding, ObjectIsBoundBeforeNcCreateAndOnCreateSeesItsHandle)
{
    RecordingWindow window;
    ASSERT_TRUE(MakeTopLevel(window, "初めての窓"));
    HWND hwnd = window.Handle();
    ASSERT_TRUE(IsWindow(hwnd));
    ASSERT_FALSE(window.seen.empty());
    // The very first message already found the object bound to the new handle.
    EXPECT_EQ(window.seen.front().boundHandle, hwnd);
    bool sawNcCreate = false;
    for (const Seen& s : window.seen) {
        EXPECT_EQ(s.boundHandle, hwnd) << "message " << s.message;
        if (s.message == WM_NCCREATE) sawNcCreate = true;
    }
    EXPECT_TRUE(sawNcCreate);
    EXPECT_EQ(window.handleInOnCreate, hwnd);
    EXPECT_EQ(window.createName, "初めての窓");
    EXPECT_EQ(window.GetText(), "初めての窓");
    EXPECT_EQ(WindowRegistry::Instance().Find(hwnd), &window);
    EXPECT_EQ(Window::FromHandle(hwnd), &window);
    window.Destroy();
    EXPECT_EQ(WindowRegistry::Instance().Find(hwnd), nullptr);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(window.destroyCalls, 1);
    EXPECT_EQ(window.ncDestroyCalls, 1);
}

TEST(WindowBinding, OnCreateAnsweringFalseFailsCreationAndLeavesNothingBound)
{
    size_t boundBefore = WindowRegistry::Instance().BoundCount();
    RecordingWindow refusing;
    refusing.createAnswer = FALSE;
    EXPECT_FALSE(MakeTopLevel(refusing));
    EXPECT_EQ(refusing.Handle(), nullptr);
    EXPECT_EQ(refusing.ncDestroyCalls, 1); // the system destroys the half-made window
    EXPECT_EQ(WindowRegistry::Instance().BoundCount(), boundBefore);

    // The next creation binds its own object, not the refused one.
    RecordingWindow next;
    ASSERT_TRUE(MakeTopLevel(next));
    EXPECT_EQ(WindowRegistry::Instance().Find(next.Handle()), &next);
    next.Destroy();
}

TEST(WindowBinding, FailedCreationOfAnUnknownClassDoesNotBindTheNextWindow)
{
    RecordingWindow lost;
    EXPECT_FALSE(lost.CreateEx("NoSuchClassAnywhere", "x", WS_POPUP, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr));
    // A window of a framework class made directly, without an object.
    HWND raw = CreateWindowExA(0, TestClassName(), "raw", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, TheApp().Instance(),
                               nullptr);
    ASSERT_TRUE(raw);
    EXPECT_EQ(WindowRegistry::Instance().Find(raw), nullptr);
    EXPECT_TRUE(lost.seen.empty());
    DestroyWindow(raw);
}

TEST(WindowBinding, CreationCounterWrapsAfter0xFFFFFE)
{
    WindowRegistry& registry = WindowRegistry::Instance();
    registry.SetCreationNumber(0xFFFFFE);
    RecordingWindow last;
    ASSERT_TRUE(MakeTopLevel(last));
    EXPECT_EQ(registry.Find(last.Handle()), &last);
    EXPECT_EQ(registry.CreationNumber(), 0u);
    RecordingWindow first;
    ASSERT_TRUE(MakeTopLevel(first));
    EXPECT_EQ(registry.Find(first.Handle()), &first);
    EXPECT_EQ(registry.CreationNumber(), 1u);
    last.Destroy();
    first.Destroy();
}

TEST(WindowMessages, CanCloseFalseKeepsTheWindowOpen)
{
    RecordingWindow window;
    ASSERT_TRUE(MakeTopLevel(window));
    HWND hwnd = window.Handle();
    window.allowClose = FALSE;
    EXPECT_EQ(SendMessageA(hwnd, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(window.canCloseCalls, 1);
    EXPECT_EQ(window.closeCalls, 0);
    window.allowClose = TRUE;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd)); // OnClose then default processing destroyed it
    EXPECT_EQ(window.closeCalls, 1);
    EXPECT_EQ(window.destroyCalls, 1);
}

TEST(WindowMessages, PaintHandledFlagDecidesWhetherDefWindowProcValidates)
{
    RecordingWindow window;
    ASSERT_TRUE(MakeTopLevel(window));
    HWND hwnd = window.Handle();
    ShowWindow(hwnd, SW_SHOWNOACTIVATE); // a hidden window has no update region
    RECT update;

    // A handler that claims the message without painting: 0 is returned and
    // nothing validates the window.
    window.claimPaint = true;
    InvalidateRect(hwnd, nullptr, FALSE);
    EXPECT_EQ(SendMessageA(hwnd, WM_PAINT, 0, 0), 0);
    EXPECT_TRUE(GetUpdateRect(hwnd, &update, FALSE));

    // The default OnPaint lets DefWindowProcA validate it.
    window.claimPaint = false;
    SendMessageA(hwnd, WM_PAINT, 0, 0);
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(window.paintCalls, 2);
    window.Destroy();
}

TEST(WindowMessages, KeyMessagesReachTheirOwnHandlersWithUnpackedArguments)
{
    RecordingWindow window;
    ASSERT_TRUE(MakeTopLevel(window));
    HWND hwnd = window.Handle();
    // Repeat count 3, scan code 0x1E, extended flag; then the release.
    PostMessageA(hwnd, WM_KEYDOWN, 'A', 0x011E0003);
    PostMessageA(hwnd, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001u));
    DrainQueue();
    ASSERT_EQ(window.keys.size(), 2u);
    EXPECT_EQ(window.keys[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(window.keys[0].key, static_cast<UINT>('A'));
    EXPECT_EQ(window.keys[0].repeat, 3u);
    EXPECT_EQ(window.keys[0].flags, 0x011Eu);
    EXPECT_EQ(window.keys[1].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(window.keys[1].key, static_cast<UINT>(VK_RETURN));
    EXPECT_EQ(window.keys[1].repeat, 1u);
    EXPECT_EQ(window.keys[1].flags, 0xC01Cu);
    window.Destroy();
}

TEST(WindowMessages, MouseWheelArgumentsAndDefaultForwardingToTheParent)
{
    RecordingWindow parent;
    ASSERT_TRUE(MakeTopLevel(parent));
    RecordingWindow child;
    ASSERT_TRUE(child.CreateEx(TestClassName(), "child", WS_CHILD | WS_VISIBLE, 0, 0, 0, 50, 50, parent.Handle(),
                               reinterpret_cast<HMENU>(7), nullptr));
    // Delta -240 with MK_SHIFT at screen point (-20, 300).
    WPARAM wParam = MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-240));
    LPARAM lParam = MAKELPARAM(static_cast<WORD>(-20), 300);

    // Not handled: DefWindowProcA passes the wheel on to the parent.
    SendMessageA(child.Handle(), WM_MOUSEWHEEL, wParam, lParam);
    ASSERT_EQ(child.wheel.size(), 1u);
    EXPECT_EQ(child.wheel[0].keys, static_cast<UINT>(MK_SHIFT));
    EXPECT_EQ(child.wheel[0].delta, -240);
    EXPECT_EQ(child.wheel[0].x, -20);
    EXPECT_EQ(child.wheel[0].y, 300);
    EXPECT_EQ(parent.wheel.size(), 1u);

    // Handled: 0 is returned and the parent hears nothing.
    child.claimWheel = true;
    EXPECT_EQ(SendMessageA(child.Handle(), WM_MOUSEWHEEL, wParam, lParam), 0);
    EXPECT_EQ(child.wheel.size(), 2u);
    EXPECT_EQ(parent.wheel.size(), 1u);

    // Windows 95 reports the wheel with its registered message; it reaches
    // the same handler with the same arguments.
    UINT legacy = RegisterLegacyWheelMessage();
    ASSERT_NE(legacy, 0u);
    EXPECT_EQ(SendMessageA(child.Handle(), legacy, wParam, lParam), 0);
    ASSERT_EQ(child.wheel.size(), 3u);
    EXPECT_EQ(child.wheel[2].delta, -240);
    EXPECT_EQ(child.wheel[2].x, -20);
    parent.Destroy();
    EXPECT_EQ(child.Handle(), nullptr); // destroyed with its parent
}

TEST(WindowMessages, MoveCommandTimerAndHitTestArguments)
{
    RecordingWindow window;
    ASSERT_TRUE(MakeTopLevel(window));
    HWND hwnd = window.Handle();
    SetWindowPos(hwnd, nullptr, -30, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_FALSE(window.moves.empty());
    EXPECT_EQ(window.moves.back().x, -30); // client origin of a border-less pop-up
    EXPECT_EQ(window.moves.back().y, 45);

    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(40011, 1), 0);
    ASSERT_EQ(window.commands.size(), 1u);
    EXPECT_EQ(window.commands[0].id, 40011u);
    EXPECT_EQ(window.commands[0].code, 1u);

    ASSERT_TRUE(SetTimer(hwnd, 77, 10, nullptr));
    for (int i = 0; i < 50 && window.timers.empty(); ++i) {
        Sleep(10);
        DrainQueue();
    }
    KillTimer(hwnd, 77);
    ASSERT_FALSE(window.timers.empty());
    EXPECT_EQ(window.timers[0], 77u);

    // The default hit test is DefWindowProcA's answer; a handler's answer is returned as it stands.
    RECT rect;
    GetWindowRect(hwnd, &rect);
    LPARAM inside = MAKELPARAM(rect.left + 5, rect.top + 5);
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, inside), HTCLIENT);
    window.hitAnswer = HTCAPTION;
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, inside), HTCAPTION);
    EXPECT_EQ(window.hitTests.back().x, rect.left + 5);
    window.Destroy();
}

namespace {

HWND g_plainNcDestroyed = nullptr;

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY) g_plainNcDestroyed = hwnd;
    if (message == WM_USER + 1) return 4242;
    if (message == WM_USER + 2) {
        volatile int* nowhere = nullptr;
        *nowhere = 1; // a fault inside the window's own procedure
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakePlainWindow()
{
    static ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OstraPlainTest";
        return RegisterClassA(&wc);
    }();
    if (!atom) return nullptr;
    return CreateWindowExA(0, "OstraPlainTest", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

class SubclassingWindow : public Window {
  public:
    void Take(HWND hwnd) { m_hwnd = hwnd; }
    void PreSubclass() override { ++preSubclassCalls; }
    void OnCommand(UINT id, UINT) override { lastCommand = id; }
    int preSubclassCalls = 0;
    UINT lastCommand = 0;
};

} // namespace

TEST(WindowSubclass, TakesOverAnExistingWindowAndGivesItBack)
{
    HWND hwnd = MakePlainWindow();
    ASSERT_TRUE(hwnd);
    WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    SubclassingWindow window;
    window.Take(hwnd);
    ASSERT_TRUE(window.Subclass());
    EXPECT_EQ(window.preSubclassCalls, 1);
    EXPECT_TRUE(window.IsSubclassed());
    EXPECT_EQ(WindowRegistry::Instance().Find(hwnd), &window); // bound at once
    EXPECT_TRUE(window.Subclass());                            // already subclassed: TRUE, nothing repeated
    EXPECT_EQ(window.preSubclassCalls, 1);

    SendMessageA(hwnd, WM_COMMAND, 5, 0);
    EXPECT_EQ(window.lastCommand, 5u);
    // Default processing goes to the window's own procedure.
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 1, 0, 0), 4242);
    // A fault in default processing is caught and answered with 0.
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 2, 0, 0), 0);

    EXPECT_EQ(window.Unsubclass(), hwnd);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)), original);
    EXPECT_EQ(WindowRegistry::Instance().Find(hwnd), nullptr);
    EXPECT_EQ(window.Unsubclass(), nullptr);
    DestroyWindow(hwnd);

    SubclassingWindow none;
    none.Take(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7654)));
    EXPECT_FALSE(none.Subclass());
}

TEST(WindowSubclass, SubclassedWindowIsReleasedAtNcDestroy)
{
    HWND hwnd = MakePlainWindow();
    ASSERT_TRUE(hwnd);
    SubclassingWindow window;
    window.Take(hwnd);
    ASSERT_TRUE(window.Subclass());
    g_plainNcDestroyed = nullptr;
    DestroyWindow(hwnd);
    // The window's own procedure still got its last message, to free its data.
    EXPECT_EQ(g_plainNcDestroyed, hwnd);
    EXPECT_FALSE(window.IsSubclassed());
    EXPECT_EQ(WindowRegistry::Instance().Find(hwnd), nullptr);
    EXPECT_EQ(window.Handle(), nullptr);
}

namespace {

class FaultingWindow : public Window {
  public:
    void OnCommand(UINT id, UINT) override
    {
        ++calls;
        if (id == 1) throw std::runtime_error("handler failed");
        if (id == 2) {
            volatile int* nowhere = nullptr;
            *nowhere = 7;
        }
        if (id == 3) {
            volatile int zero = 0;
            volatile int quotient = 10 / zero;
            (void)quotient;
        }
        if (id == 4) RaiseException(0xE0000001, 0, 0, nullptr);
    }
    LRESULT OnNcHitTest(int, int) override
    {
        throw 42; // the outer guard answers with DefWindowProcA
    }
    int calls = 0;
};

} // namespace

TEST(WindowFaults, NeitherExceptionsNorHardwareFaultsLeaveTheWindowProcedure)
{
    FaultingWindow window;
    ASSERT_TRUE(MakeTopLevel(window));
    HWND hwnd = window.Handle();
    for (WPARAM id : {1, 2, 3, 4, 2, 1}) {
        EXPECT_EQ(SendMessageA(hwnd, WM_COMMAND, id, 0), 0) << "command " << id;
    }
    EXPECT_EQ(window.calls, 6);
    RECT rect;
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(rect.left + 2, rect.top + 2)), HTCLIENT);
    // The window still works normally afterwards.
    EXPECT_TRUE(IsWindow(hwnd));
    window.SetText("まだ動く");
    EXPECT_EQ(window.GetText(), "まだ動く");
    window.Destroy();
}

TEST(WindowTemporaries, UnknownHandlesYieldTemporaryObjectsUntilThePurge)
{
    WindowRegistry& registry = WindowRegistry::Instance();
    registry.PurgeTemporaries();
    HWND plain = MakePlainWindow();
    ASSERT_TRUE(plain);
    Window* first = Window::FromHandle(plain);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Handle(), plain);
    EXPECT_EQ(registry.TemporaryCount(), 1u);
    EXPECT_EQ(registry.Find(plain), nullptr); // a temporary is never bound
    EXPECT_EQ(Window::FromHandle(nullptr), nullptr);
    registry.PurgeTemporaries();
    EXPECT_EQ(registry.TemporaryCount(), 0u);
    Window* second = Window::FromHandle(plain);
    EXPECT_EQ(registry.TemporaryCount(), 1u);
    EXPECT_EQ(second->Handle(), plain);
    registry.PurgeTemporaries();
    // A temporary never destroys the window it wraps.
    EXPECT_TRUE(IsWindow(plain));
    DestroyWindow(plain);
}

TEST(WindowHelpers, ForegroundHelpersAndTextRoundTrip)
{
    RecordingWindow window;
    ASSERT_TRUE(MakeTopLevel(window));
    ShowWindow(window.Handle(), SW_SHOWNOACTIVATE);
    EXPECT_TRUE(window.SetForeground(true));
    EXPECT_EQ(GetForegroundWindow(), window.Handle());
    EXPECT_TRUE(window.BringToTop(false));
    window.Activate(true);
    EXPECT_EQ(GetActiveWindow(), window.Handle());
    // Shift_JIS text with a trail byte 0x5C ("表") survives the round trip.
    window.SetText("表示テスト\\");
    EXPECT_EQ(window.GetText(), "表示テスト\\");
    window.Destroy();
}

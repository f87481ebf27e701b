// The window layer under re-entry, faults and other threads, on real windows
// under Wine: messages of a window dispatched inside its own handlers, faults
// in the creation and destruction handlers, calls from threads that do not
// run the windows, and window objects deleted while their handlers run.
#include <windows.h>

#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"
#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/Menu.h"
#include "framework/Window.h"
#include "framework/WindowRegistry.h"

namespace {

constexpr UINT kPing = WM_APP + 40; // a message whose handler leaves it to default processing

bool MakeTopLevel(Window& window, const char* title)
{
    return window.CreateEx(TestClassName(), title, WS_POPUP, 0, 20, 20, 100, 60, nullptr, nullptr, nullptr) != FALSE;
}

// Handlers that send their own window another message before they answer.
class SelfSendingWindow : public Window {
  public:
    BOOL OnEraseBkgnd(DeviceContext*) override
    {
        SendMessageA(Handle(), WM_COMMAND, 1, 0); // OnCommand leaves it to default processing
        return 77;                                // ...but this message is handled
    }
    void OnPaint() override
    {
        // Claimed without painting: the update region must stay.
        SendMessageA(Handle(), WM_COMMAND, 2, 0);
    }
    LRESULT OnNcHitTest(int x, int y) override
    {
        SendMessageA(Handle(), WM_COMMAND, 3, 0);
        return Window::OnNcHitTest(x, y); // the default answer for the hit test, not for WM_COMMAND
    }
};

} // namespace

TEST(WindowReentry, AMessageDispatchedInsideAHandlerKeepsItsOwnHandledFlagAndMessage)
{
    SelfSendingWindow window;
    ASSERT_TRUE(MakeTopLevel(window, "reentry"));
    HWND hwnd = window.Handle();
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);

    HDC dc = GetDC(hwnd);
    // DefWindowProcA would erase with the class brush and answer 1.
    EXPECT_EQ(SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 77);
    ReleaseDC(hwnd, dc);

    InvalidateRect(hwnd, nullptr, FALSE);
    EXPECT_EQ(SendMessageA(hwnd, WM_PAINT, 0, 0), 0);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(hwnd, &update, FALSE)) << "default processing validated a claimed WM_PAINT";
    ValidateRect(hwnd, nullptr);

    RECT rect;
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(rect.left + 3, rect.top + 3)), HTCLIENT);
    window.Destroy();
}

namespace {

// A window whose WM_PAINT never validates: the queue hands out WM_PAINT for
// as long as anyone asks.
class NeverPainted : public Window {
  public:
    void OnPaint() override { ++paints; }
    void OnCommand(UINT id, UINT) override { commands.push_back(id); }
    int paints = 0;
    std::vector<UINT> commands;
};

// Turns a pump that never returns into a failure: after a minute it posts
// WM_QUIT to the pumping thread, which makes the pump answer false.
class HangBreaker {
  public:
    HangBreaker() : m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        DWORD target = GetCurrentThreadId();
        m_thread = std::thread([this, target] {
            if (WaitForSingleObject(m_done, 60000) == WAIT_TIMEOUT) PostThreadMessageA(target, WM_QUIT, 0, 0);
        });
    }
    ~HangBreaker()
    {
        SetEvent(m_done);
        m_thread.join();
        CloseHandle(m_done);
    }

  private:
    HANDLE m_done;
    std::thread m_thread;
};

} // namespace

TEST(ApplicationPump, AWindowThatNeverValidatesDoesNotHoldEitherPump)
{
    TestApplication& app = TheApp();
    NeverPainted window;
    ASSERT_TRUE(MakeTopLevel(window, "never painted"));
    app.SetMainWindow(&window);
    ShowWindow(window.Handle(), SW_SHOWNOACTIVATE);
    InvalidateRect(window.Handle(), nullptr, FALSE);
    PostMessageA(window.Handle(), WM_COMMAND, 11, 0);
    PostMessageA(window.Handle(), WM_COMMAND, 12, 0);
    {
        HangBreaker breaker;
        EXPECT_TRUE(app.PumpWaitingMessages());
        // Posted messages come before WM_PAINT and were all dispatched.
        EXPECT_EQ(window.commands, (std::vector<UINT>{11, 12}));
        EXPECT_GT(window.paints, 0);
        int paintsBefore = window.paints;
        EXPECT_TRUE(app.PumpMessagesFor(200));
        EXPECT_GT(window.paints, paintsBefore);
    }
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "a pump hung";
    app.SetMainWindow(nullptr);
    window.Destroy();
    DrainQueue();
}

namespace {

class FaultingCreation : public Window {
  public:
    enum class Fault { Throw, AccessViolation };
    explicit FaultingCreation(Fault fault) : m_fault(fault) {}
    BOOL OnCreate(CREATESTRUCTA*) override
    {
        ++createCalls;
        if (m_fault == Fault::Throw) throw std::runtime_error("creation failed");
        volatile int* nowhere = nullptr;
        *nowhere = 1;
        return TRUE;
    }
    void OnNcDestroy() override
    {
        ++ncDestroyCalls;
        Window::OnNcDestroy();
    }
    int createCalls = 0, ncDestroyCalls = 0;

  private:
    Fault m_fault;
};

class FaultingEndDialog : public Dialog {
  public:
    using Dialog::Dialog;
    BOOL OnInitDialog() override
    {
        ++initCalls;
        lastInitHandle = Handle();
        if (IsModal()) PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }
    void OnNcDestroy() override
    {
        if (faultOnNcDestroy) {
            faultOnNcDestroy = false;
            volatile int* nowhere = nullptr;
            *nowhere = 2;
        }
        Dialog::OnNcDestroy();
    }
    bool faultOnNcDestroy = true;
    int initCalls = 0;
    HWND lastInitHandle = nullptr;
};

// Faults in its own routing, before the framework's dispatch sees the message.
class FaultingRouter : public Window {
  public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCDESTROY) throw std::runtime_error("routing failed");
        return Window::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST(WindowFaults, AFaultInOnCreateFailsTheCreationAndLeavesNoWindow)
{
    WindowRegistry& registry = WindowRegistry::Instance();
    size_t boundBefore = registry.BoundCount();
    for (auto fault : {FaultingCreation::Fault::Throw, FaultingCreation::Fault::AccessViolation}) {
        FaultingCreation window(fault);
        EXPECT_FALSE(MakeTopLevel(window, "half built"));
        EXPECT_EQ(window.createCalls, 1);
        EXPECT_EQ(window.Handle(), nullptr);
        EXPECT_EQ(window.ncDestroyCalls, 1); // the system took the half-made window down
        EXPECT_EQ(FindWindowA(TestClassName(), "half built"), nullptr);
        EXPECT_EQ(registry.BoundCount(), boundBefore);
    }
}

TEST(WindowFaults, AFaultInOnNcDestroyStillReleasesTheHandleSoTheDialogCanRunAgain)
{
    DialogTemplate tmpl(L"終わりに失敗", WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    FaultingEndDialog dialog(tmpl.Get(), nullptr);
    EXPECT_EQ(dialog.DoModal(0), IDOK);
    HWND first = dialog.lastInitHandle;
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(dialog.faultOnNcDestroy) << "the fault was not raised";
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(dialog.Handle(), nullptr);
    EXPECT_EQ(WindowRegistry::Instance().Find(first), nullptr);

    // The same object is bound to its next window (modeless, so that a
    // refused binding shows as a failure here and not as a dialog that
    // nothing can end).
    ASSERT_TRUE(dialog.CreateModeless(0));
    EXPECT_EQ(dialog.initCalls, 2);
    ASSERT_NE(dialog.Handle(), nullptr);
    EXPECT_EQ(WindowRegistry::Instance().Find(dialog.Handle()), &dialog);
    dialog.End(IDOK);
    EXPECT_EQ(dialog.Handle(), nullptr);

    // A fault before the dispatch: the window procedure releases the handle itself.
    FaultingRouter router;
    ASSERT_TRUE(MakeTopLevel(router, "router"));
    HWND routed = router.Handle();
    ASSERT_TRUE(DestroyWindow(routed));
    EXPECT_EQ(router.Handle(), nullptr);
    EXPECT_EQ(WindowRegistry::Instance().Find(routed), nullptr);
    ASSERT_TRUE(MakeTopLevel(router, "router again"));
    EXPECT_EQ(WindowRegistry::Instance().Find(router.Handle()), &router);
    router.Destroy();
}

namespace {

class CommandCounter : public Window {
  public:
    void OnCommand(UINT id, UINT) override
    {
        ++commands;
        handleSeen = Handle();
        lastId = id;
    }
    int commands = 0;
    UINT lastId = 0;
    HWND handleSeen = nullptr;
};

HWND MakePlainWindow(const char* title)
{
    static ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OstraReentryPlain";
        return RegisterClassA(&wc);
    }();
    if (!atom) return nullptr;
    return CreateWindowExA(0, "OstraReentryPlain", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

class Subclasser : public Window {
  public:
    void Take(HWND hwnd) { m_hwnd = hwnd; }
};

} // namespace

TEST(WindowThreads, DestroyFromAnotherThreadLeavesTheWindowAndItsObjectAsTheyWere)
{
    CommandCounter window;
    ASSERT_TRUE(MakeTopLevel(window, "stays"));
    HWND hwnd = window.Handle();
    std::thread([&] { window.Destroy(); }).join();
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(window.Handle(), hwnd);
    EXPECT_EQ(WindowRegistry::Instance().Find(hwnd), &window);
    SendMessageA(hwnd, WM_COMMAND, 9, 0);
    EXPECT_EQ(window.commands, 1);
    EXPECT_EQ(window.handleSeen, hwnd);

    window.Destroy(); // on its own thread it goes
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(window.Handle(), nullptr);
}

TEST(WindowThreads, OnlyTheUserInterfaceThreadReachesTheBindingTables)
{
    WindowRegistry& registry = WindowRegistry::Instance();
    ASSERT_TRUE(registry.OnUserInterfaceThread());
    CommandCounter known;
    ASSERT_TRUE(MakeTopLevel(known, "known"));
    HWND plain = MakePlainWindow("plain");
    ASSERT_NE(plain, nullptr);
    HMENU menu = CreatePopupMenu();
    DialogTemplate tmpl(L"よそのスレッド", WS_POPUP | WS_CAPTION);
    size_t bound = registry.BoundCount();
    registry.PurgeTemporaries();

    struct Answers {
        bool onUiThread = true;
        BOOL created = TRUE;
        HWND createdHandle = reinterpret_cast<HWND>(1);
        Window* knownObject = reinterpret_cast<Window*>(1);
        Window* plainObject = reinterpret_cast<Window*>(1);
        Menu* menuObject = reinterpret_cast<Menu*>(1);
        Window* found = reinterpret_cast<Window*>(1);
        BOOL subclassed = TRUE;
        BOOL modeless = TRUE;
    } answers;
    const LONG_PTR plainProc = GetWindowLongPtrA(plain, GWLP_WNDPROC);
    std::thread([&] {
        answers.onUiThread = registry.OnUserInterfaceThread();
        CommandCounter elsewhere;
        answers.created = MakeTopLevel(elsewhere, "elsewhere");
        answers.createdHandle = elsewhere.Handle();
        answers.knownObject = Window::FromHandle(known.Handle());
        answers.plainObject = Window::FromHandle(plain);
        answers.menuObject = Menu::FromHandle(menu);
        answers.found = registry.Find(known.Handle());
        Subclasser taker;
        taker.Take(plain);
        answers.subclassed = taker.Subclass();
        taker.Take(nullptr);
        Dialog dialog(tmpl.Get(), nullptr);
        answers.modeless = dialog.CreateModeless(0);
        known.DeleteWhenIdle(); // refused: a stack object would otherwise be deleted
    }).join();

    EXPECT_FALSE(answers.onUiThread);
    EXPECT_FALSE(answers.created);
    EXPECT_EQ(answers.createdHandle, nullptr);
    EXPECT_EQ(FindWindowA(TestClassName(), "elsewhere"), nullptr);
    EXPECT_EQ(answers.knownObject, nullptr);
    EXPECT_EQ(answers.plainObject, nullptr);
    EXPECT_EQ(answers.menuObject, nullptr);
    EXPECT_EQ(answers.found, nullptr);
    EXPECT_FALSE(answers.subclassed);
    EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_WNDPROC), plainProc);
    EXPECT_FALSE(answers.modeless);
    EXPECT_EQ(FindWindowA(nullptr, "よそのスレッド"), nullptr);

    // Here nothing changed, and the tables still work.
    EXPECT_EQ(registry.BoundCount(), bound);
    EXPECT_EQ(registry.TemporaryCount(), 0u);
    EXPECT_EQ(Window::FromHandle(known.Handle()), &known);
    EXPECT_FALSE(known.IsDeletePending());
    SendMessageA(known.Handle(), WM_COMMAND, 4, 0);
    EXPECT_EQ(known.lastId, 4u);
    DestroyMenu(menu);
    DestroyWindow(plain);
    known.Destroy();
}

namespace {

// Window objects placed in memory of our own: freed memory is filled with
// kFreed and never handed out again, so that any write to an object after its
// deletion shows in the bytes, and any virtual call through it faults.
constexpr unsigned char kFreed = 0xDD;
constexpr int kArenaSlots = 8;
constexpr size_t kSlotSize = 1024;
alignas(16) unsigned char g_arena[kArenaSlots][kSlotSize];
size_t g_slotSize[kArenaSlots];
int g_slotsUsed = 0;

std::vector<std::string> g_log;
int g_destructions = 0;

bool SlotStillPoisoned(int slot)
{
    for (size_t i = 0; i < g_slotSize[slot]; ++i)
        if (g_arena[slot][i] != kFreed) return false;
    return true;
}

class Victim : public Window {
  public:
    static void* operator new(size_t size)
    {
        if (size > kSlotSize || g_slotsUsed == kArenaSlots) throw std::bad_alloc();
        g_slotSize[g_slotsUsed] = size;
        return g_arena[g_slotsUsed++];
    }
    static void operator delete(void* memory, size_t size)
    {
        g_log.push_back("freed");
        std::memset(memory, kFreed, size);
    }
    ~Victim() override
    {
        g_log.push_back("destructor");
        ++g_destructions;
        magic = 0;
    }

    // The scenario run by a command's handler; what ends the object is
    // decided elsewhere (see the tests).
    static constexpr unsigned kAlive = 0x0A11CE;
    std::function<void()> work;
    unsigned magic = kAlive;

    void OnCommand(UINT, UINT) override
    {
        g_log.push_back("handler starts");
        if (work) work();
        // Still our own object: the deletion waits for this handler.
        if (IsDeletePending()) g_log.push_back("deletion pending");
        g_log.push_back(magic == kAlive ? "handler ends alive" : "handler ends on a dead object");
    }
};

int SlotOf(Victim* victim)
{
    for (int slot = 0; slot < g_slotsUsed; ++slot)
        if (reinterpret_cast<unsigned char*>(victim) == g_arena[slot]) return slot;
    return -1;
}

// The window that ends the victim: its window first, then the object.
class Killer : public Window {
  public:
    Victim* target = nullptr;
    bool destroyFirst = true;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != kPing) return Window::WindowProc(message, wParam, lParam);
        g_log.push_back("deletion asked");
        if (destroyFirst) target->Destroy();
        target->DeleteWhenIdle();
        return 0;
    }
};

// A dialog whose start asks the killer to end its owner, then ends itself.
class OwnedDialog : public Dialog {
  public:
    using Dialog::Dialog;
    HWND killer = nullptr;
    BOOL OnInitDialog() override
    {
        PostMessageA(killer, kPing, 0, 0);
        PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }
};

std::vector<std::string> Expected(std::initializer_list<const char*> entries)
{
    return std::vector<std::string>(entries.begin(), entries.end());
}

} // namespace

TEST(WindowLifetime, DeletionAskedDuringANestedModalLoopOfItsOwnHandlerWaitsForTheHandler)
{
    Killer killer;
    ASSERT_TRUE(MakeTopLevel(killer, "killer"));

    // Idle: the object goes at once.
    g_log.clear();
    g_destructions = 0;
    auto* idle = new Victim;
    ASSERT_TRUE(MakeTopLevel(*idle, "idle victim"));
    HWND idleHandle = idle->Handle();
    idle->DeleteWhenIdle();
    EXPECT_EQ(g_destructions, 1);
    EXPECT_EQ(WindowRegistry::Instance().Find(idleHandle), nullptr);
    DestroyWindow(idleHandle); // left alive, on default processing

    // A modal dialog owned by the victim, started by its own handler; the
    // killer destroys the victim's window (and so the dialog) and asks for
    // the deletion from inside that modal loop.
    for (bool destroyFirst : {true, false}) {
        g_log.clear();
        g_destructions = 0;
        auto* victim = new Victim;
        ASSERT_TRUE(MakeTopLevel(*victim, "victim"));
        HWND hwnd = victim->Handle();
        int slot = SlotOf(victim);
        killer.target = victim;
        killer.destroyFirst = destroyFirst;
        DialogTemplate tmpl(L"情報", WS_POPUP | WS_CAPTION | DS_MODALFRAME);
        victim->work = [victim, &killer, &tmpl] {
            OwnedDialog dialog(tmpl.Get(), victim->Handle());
            dialog.killer = killer.Handle();
            dialog.DoModal(0);
            g_log.push_back("modal loop ended");
        };
        SendMessageA(hwnd, WM_COMMAND, 1, 0);

        EXPECT_EQ(g_log, Expected({"handler starts", "deletion asked", "modal loop ended", "deletion pending",
                                   "handler ends alive", "destructor", "freed"}))
            << (destroyFirst ? "window destroyed first" : "window left alive");
        EXPECT_EQ(g_destructions, 1);
        ASSERT_GE(slot, 0);
        EXPECT_TRUE(SlotStillPoisoned(slot)) << "the object was written to after it was freed";
        EXPECT_EQ(WindowRegistry::Instance().Find(hwnd), nullptr);
        if (!destroyFirst) {
            EXPECT_TRUE(IsWindow(hwnd));
            EXPECT_EQ(SendMessageA(hwnd, WM_COMMAND, 1, 0), 0); // default processing, no object
            DestroyWindow(hwnd);
        }
        EXPECT_FALSE(IsWindow(hwnd));
    }
    killer.Destroy();
}

namespace {

// A window on a thread of its own; its procedure sends the killer the
// request, as a hook in another process sends while a handler waits on it.
struct Relay {
    HWND window = nullptr;
    HWND killer = nullptr;
    DWORD threadId = 0;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread thread;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kPing) {
            auto* self = reinterpret_cast<Relay*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            return SendMessageA(self->killer, kPing, 0, 0);
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    void Start()
    {
        thread = std::thread([this] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "OstraReentryRelay";
            RegisterClassA(&wc);
            window = CreateWindowExA(0, "OstraReentryRelay", "relay", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            threadId = GetCurrentThreadId();
            SetEvent(ready);
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0) > 0)
                DispatchMessageA(&message);
            DestroyWindow(window);
        });
        WaitForSingleObject(ready, INFINITE);
    }
    ~Relay()
    {
        if (thread.joinable()) {
            PostThreadMessageA(threadId, WM_QUIT, 0, 0);
            thread.join();
        }
        CloseHandle(ready);
    }
};

} // namespace

TEST(WindowLifetime, DeletionAskedByASentMessageDuringItsHandlerWaitsForTheHandler)
{
    Killer killer;
    ASSERT_TRUE(MakeTopLevel(killer, "killer"));
    Relay relay;
    relay.killer = killer.Handle();
    relay.Start();
    ASSERT_NE(relay.window, nullptr);

    // The handler sends to another thread, which sends the request back
    // while the handler waits for its answer.
    g_log.clear();
    g_destructions = 0;
    auto* victim = new Victim;
    ASSERT_TRUE(MakeTopLevel(*victim, "victim"));
    HWND hwnd = victim->Handle();
    int slot = SlotOf(victim);
    killer.target = victim;
    victim->work = [&relay] {
        SendMessageA(relay.window, kPing, 0, 0);
        g_log.push_back("send returned");
    };
    SendMessageA(hwnd, WM_COMMAND, 1, 0);
    EXPECT_EQ(g_log, Expected({"handler starts", "deletion asked", "send returned", "deletion pending",
                               "handler ends alive", "destructor", "freed"}));
    EXPECT_EQ(g_destructions, 1);
    EXPECT_TRUE(SlotStillPoisoned(slot)) << "the object was written to after it was freed";
    EXPECT_FALSE(IsWindow(hwnd));

    // The handler's own window gets a message inside the handler, and that
    // inner handler asks for the deletion: the outer one still finishes first.
    g_log.clear();
    g_destructions = 0;
    victim = new Victim;
    ASSERT_TRUE(MakeTopLevel(*victim, "victim"));
    hwnd = victim->Handle();
    slot = SlotOf(victim);
    killer.target = victim;
    int depth = 0;
    victim->work = [victim, &depth, &killer] {
        if (++depth == 1) {
            SendMessageA(victim->Handle(), WM_COMMAND, 2, 0);
            g_log.push_back("inner handler returned");
        } else {
            SendMessageA(killer.Handle(), kPing, 0, 0);
        }
    };
    SendMessageA(hwnd, WM_COMMAND, 1, 0);
    EXPECT_EQ(g_log,
              Expected({"handler starts", "handler starts", "deletion asked", "deletion pending", "handler ends alive",
                        "inner handler returned", "deletion pending", "handler ends alive", "destructor", "freed"}));
    EXPECT_EQ(g_destructions, 1);
    EXPECT_TRUE(SlotStillPoisoned(slot)) << "the object was written to after it was freed";
    EXPECT_FALSE(IsWindow(hwnd));
    killer.Destroy();
}

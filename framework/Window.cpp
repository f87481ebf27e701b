#include "framework/Window.h"

#include "framework/OsVersion.h"

#include <cstdlib>
#include <vector>

#include "framework/Application.h"
#include "framework/FaultGuard.h"
#include "framework/KernelHandle.h"
#include "framework/WindowRegistry.h"

namespace {

// A programming error that would otherwise lead to freed memory being used.
// Ends the process with exit code 3, as abort() would, but without the
// message box that abort() shows in a program without a console.
[[noreturn]] void StopProgram(const char* why)
{
    OutputDebugStringA(why);
    TerminateProcess(GetCurrentProcess(), Window::kStoppedExitCode);
    std::abort(); // not reached
}

} // namespace

Window::~Window()
{
    WindowRegistry& registry = WindowRegistry::Instance();
    if (!registry.OnUserInterfaceThread()) {
        // The tables belong to the user-interface thread; an object without a
        // handle is in none of them, but a bound one cannot be taken out from here.
        if (m_hwnd) StopProgram("Window: an object holding a window was destroyed on another thread\n");
        return;
    }
    // The dispatcher would go on using this object after its handler returns.
    if (m_useCount > 0)
        StopProgram("Window: an object was deleted while one of its handlers ran; use DeleteWhenIdle\n");
    // An object that goes away while its window lives must not be reached
    // through the tables any more; its window keeps running on default processing.
    registry.ForgetPendingCreation(this);
    if (m_hwnd && registry.Find(m_hwnd) == this) {
        if (m_previousProc && IsWindow(m_hwnd)) {
            SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
        }
        registry.Unbind(m_hwnd);
    }
    if (Application* app = Application::Get()) {
        app->RemoveIdleHandler(this);
        if (app->MainWindow() == this) app->SetMainWindow(nullptr);
    }
}

BOOL Window::Create(const char* className, const char* windowName, DWORD style, DWORD exStyle, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, void* param)
{
    return CreateEx(className, windowName, style, exStyle, x, y, width, height, parent, menuOrId, param);
}

BOOL Window::CreateEx(const char* className, const char* windowName, DWORD style, DWORD exStyle, int x, int y,
                      int width, int height, HWND parent, HMENU menuOrId, void* param)
{
    WindowRegistry& registry = WindowRegistry::Instance();
    if (!registry.OnUserInterfaceThread()) return FALSE;
    // A deletion asked by a handler during the creation waits until we are done here.
    InUse use(*this);
    registry.AddPendingCreation(this);
    Application* app = Application::Get();
    HINSTANCE instance = app ? app->Instance() : GetModuleHandleA(nullptr);
    HWND created = nullptr;
    bool completed = faultguard::Guard([&] {
        created = CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId,
                                  instance, param);
    });
    // When no message reached the window procedure (an unknown class, or a
    // class with another procedure) the object is still waiting; it must not
    // be bound to whichever window is created next.
    registry.ForgetPendingCreation(this);
    return completed && created ? TRUE : FALSE;
}

void Window::Destroy()
{
    if (!m_hwnd || !WindowRegistry::Instance().OnUserInterfaceThread()) return;
    HWND hwnd = m_hwnd;
    // A bound window forgets its handle at WM_NCDESTROY already; a failed
    // DestroyWindow (a window of another thread) leaves the object as it was.
    if (DestroyWindow(hwnd) || !IsWindow(hwnd)) {
        if (m_hwnd == hwnd) m_hwnd = nullptr;
    }
}

void Window::DeleteWhenIdle()
{
    if (m_lifetime != Lifetime::Alive || !WindowRegistry::Instance().OnUserInterfaceThread()) return;
    if (m_useCount > 0) {
        m_lifetime = Lifetime::DeleteRequested;
        return;
    }
    m_lifetime = Lifetime::Deleting;
    delete this;
}

void Window::EndUse(Window& window)
{
    if (--window.m_useCount > 0 || window.m_lifetime != Lifetime::DeleteRequested) return;
    // Messages that the destructor dispatches for this window must not
    // start a second deletion when their dispatch ends.
    window.m_lifetime = Lifetime::Deleting;
    delete &window;
}

BOOL Window::Subclass()
{
    if (!m_hwnd || !IsWindow(m_hwnd) || !WindowRegistry::Instance().OnUserInterfaceThread()) return FALSE;
    if (m_previousProc) return TRUE;
    // A window of a framework class already runs the framework's procedure;
    // taking it as the previous one would make default processing recurse.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hwnd, GWLP_WNDPROC)) == &Window::FrameworkWindowProc) {
        return WindowRegistry::Instance().Find(m_hwnd) == this ? TRUE : FALSE;
    }
    PreSubclass();
    WindowRegistry& registry = WindowRegistry::Instance();
    // Another object may be bound to this handle (a temporary wrapper or an
    // earlier owner); the window procedure binds whichever object waits.
    registry.Unbind(m_hwnd);
    registry.AddPendingCreation(this);
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::FrameworkWindowProc)));
    if (!previous) {
        registry.ForgetPendingCreation(this);
        return FALSE;
    }
    m_previousProc = previous;
    // One message now, so the binding happens at once.
    FrameworkWindowProc(m_hwnd, 0, 0, 0);
    return TRUE;
}

HWND Window::Unsubclass()
{
    if (!m_previousProc || !WindowRegistry::Instance().OnUserInterfaceThread()) return nullptr;
    HWND hwnd = m_hwnd;
    if (IsWindow(hwnd)) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    m_previousProc = nullptr;
    WindowRegistry::Instance().Unbind(hwnd);
    return hwnd;
}

void Window::SetText(const char* text)
{
    SetWindowTextA(m_hwnd, text ? text : "");
}

std::string Window::GetText()
{
    int length = GetWindowTextLengthA(m_hwnd);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int copied = GetWindowTextA(m_hwnd, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void Window::Attach(HWND hwnd)
{
    WindowRegistry::Instance().Bind(hwnd, this);
    m_hwnd = hwnd;
}

Window* Window::FromHandle(HWND hwnd)
{
    WindowRegistry& registry = WindowRegistry::Instance();
    if (!hwnd || !registry.OnUserInterfaceThread()) return nullptr;
    if (Window* bound = registry.Find(hwnd)) return bound;
    auto wrapper = std::make_unique<Window>();
    wrapper->m_hwnd = hwnd; // not bound: the handle map keeps only real owners
    return registry.AddTemporary(std::move(wrapper));
}

LRESULT CALLBACK Window::FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowRegistry& registry = WindowRegistry::Instance();
    // A window of a framework class made on another thread has no object.
    if (!registry.OnUserInterfaceThread()) return DefWindowProcA(hwnd, message, wParam, lParam);
    Window* window = registry.Find(hwnd);
    if (!window) {
        window = registry.TakePendingCreation();
        if (!window) return DefWindowProcA(hwnd, message, wParam, lParam);
        window->Attach(hwnd);
        registry.AdvanceCreation();
    }
    ++registry.DispatchDepth();
    LRESULT result = RunWindowProc(window, hwnd, message, wParam, lParam);
    if (--registry.DispatchDepth() == 0 && registry.PurgeAfterOutermostMessage()) registry.PurgeTemporaries();
    return result;
}

LRESULT Window::RunWindowProc(Window* window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The state of a dispatch of this object that may be running further out
    // (this message was sent from inside one of its handlers).
    const BOOL outerHandled = window->m_handled;
    const UINT outerMessage = window->m_message;
    const WPARAM outerWParam = window->m_wParam;
    const LPARAM outerLParam = window->m_lParam;
    const UINT outerReceived = window->m_receivedMessage;
    const WPARAM outerReceivedWParam = window->m_receivedWParam;
    const LPARAM outerReceivedLParam = window->m_receivedLParam;

    window->m_receivedMessage = message;
    window->m_receivedWParam = wParam;
    window->m_receivedLParam = lParam;
    ++window->m_useCount;
    LRESULT result = 0;
    if (!faultguard::Guard([&] { result = window->WindowProc(message, wParam, lParam); })) {
        if (message == WM_NCCREATE) {
            result = FALSE; // a window whose creation faulted must not be made
        } else if (message == WM_CREATE) {
            result = -1;
        } else if (message == WM_NCDESTROY) {
            // A fault before the binding was released came before the default
            // processing too: release it and let that run now. After the
            // release, the default processing has run already.
            if (WindowRegistry::Instance().Find(hwnd) == window) {
                WNDPROC previous = window->ReleaseBinding(hwnd);
                window->m_hwnd = nullptr;
                if (!faultguard::Guard([&] {
                        result = previous ? CallWindowProcA(previous, hwnd, message, wParam, lParam)
                                          : DefWindowProcA(hwnd, message, wParam, lParam);
                    })) {
                    result = 0;
                }
            }
        } else {
            result = DefWindowProcA(hwnd, message, wParam, lParam);
        }
    }
    window->m_handled = outerHandled;
    window->m_message = outerMessage;
    window->m_wParam = outerWParam;
    window->m_lParam = outerLParam;
    window->m_receivedMessage = outerReceived;
    window->m_receivedWParam = outerReceivedWParam;
    window->m_receivedLParam = outerReceivedLParam;
    EndUse(*window);
    return result;
}

WNDPROC Window::ReleaseBinding(HWND hwnd)
{
    WNDPROC previous = m_previousProc;
    if (m_previousProc)
        Unsubclass();
    else
        WindowRegistry::Instance().Unbind(hwnd);
    if (Application* app = Application::Get()) app->RemoveIdleHandler(this);
    return previous;
}

namespace {

// Windows 98 and later of the consumer line, and Windows 2000 and later,
// refuse SetForegroundWindow to a process that is not in the foreground.
bool ForegroundNeedsRights()
{
    OSVERSIONINFOA version;
    if (!QueryOsVersion(version)) return false;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        return version.dwMajorVersion > 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion > 0);
    }
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
}

// AllowSetForegroundWindow is looked up at run time: older systems lack it.
void AllowOwnProcessForeground()
{
    HMODULE user32 = GetModuleHandleA("User32.dll");
    ModuleHandle loaded;
    if (!user32) {
        loaded.Reset(LoadLibraryA("User32.dll"));
        user32 = loaded.Get();
    }
    if (!user32) return;
    using AllowProc = BOOL(WINAPI*)(DWORD);
    auto allow =
        reinterpret_cast<AllowProc>(reinterpret_cast<void*>(GetProcAddress(user32, "AllowSetForegroundWindow")));
    if (allow) allow(GetCurrentProcessId());
}

} // namespace

template <class Call> auto Window::WithForegroundRights(bool force, Call call) -> decltype(call())
{
    if (!force || !ForegroundNeedsRights()) return call();
    DWORD ownThread = GetCurrentThreadId();
    HWND foreground = GetForegroundWindow();
    DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    bool attached =
        foregroundThread && foregroundThread != ownThread && AttachThreadInput(ownThread, foregroundThread, TRUE);
    AllowOwnProcessForeground();
    auto result = call();
    if (attached) AttachThreadInput(ownThread, foregroundThread, FALSE);
    return result;
}

BOOL Window::SetForeground(bool force)
{
    return WithForegroundRights(force, [this] { return SetForegroundWindow(m_hwnd); });
}

HWND Window::Activate(bool force)
{
    return WithForegroundRights(force, [this] { return SetActiveWindow(m_hwnd); });
}

BOOL Window::BringToTop(bool force)
{
    return WithForegroundRights(force, [this] { return BringWindowToTop(m_hwnd); });
}

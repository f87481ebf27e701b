#include "framework/Window.h"

#include "framework/OsVersion.h"

#include <vector>

#include "framework/Application.h"
#include "framework/FaultGuard.h"
#include "framework/KernelHandle.h"
#include "framework/WindowRegistry.h"

Window::~Window()
{
    // An object that goes away while its window lives must not be reached
    // through the tables any more; its window keeps running on default processing.
    WindowRegistry& registry = WindowRegistry::Instance();
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
    if (m_hwnd) {
        HWND hwnd = m_hwnd;
        DestroyWindow(hwnd);
        m_hwnd = nullptr;
    }
}

BOOL Window::Subclass()
{
    if (!m_hwnd || !IsWindow(m_hwnd)) return FALSE;
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
    if (!m_previousProc) return nullptr;
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
    if (!hwnd) return nullptr;
    if (Window* bound = WindowRegistry::Instance().Find(hwnd)) return bound;
    auto wrapper = std::make_unique<Window>();
    wrapper->m_hwnd = hwnd; // not bound: the handle map keeps only real owners
    return WindowRegistry::Instance().AddTemporary(std::move(wrapper));
}

LRESULT CALLBACK Window::FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowRegistry& registry = WindowRegistry::Instance();
    Window* window = registry.Find(hwnd);
    if (!window) {
        window = registry.TakePendingCreation();
        if (!window) return DefWindowProcA(hwnd, message, wParam, lParam);
        window->Attach(hwnd);
        registry.AdvanceCreation();
    }
    window->m_receivedMessage = message;
    window->m_receivedWParam = wParam;
    window->m_receivedLParam = lParam;
    LRESULT result = 0;
    ++registry.DispatchDepth();
    if (!faultguard::Guard([&] { result = window->WindowProc(message, wParam, lParam); })) {
        result = DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (--registry.DispatchDepth() == 0 && registry.PurgeAfterOutermostMessage()) registry.PurgeTemporaries();
    return result;
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

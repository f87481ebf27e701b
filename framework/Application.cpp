#include "framework/Application.h"

#include <algorithm>
#include <cstdlib>

#include "framework/DbcsPath.h"
#include "framework/ModulePath.h"
#include "framework/Window.h"
#include "framework/WindowRegistry.h"

namespace {

Application* g_application = nullptr;

} // namespace

Application::Application() : m_instance(GetModuleHandleA(nullptr))
{
    if (g_application) {
        // Two application objects mean two owners of one message loop and
        // one set of binding tables: a programming error, stopped at once.
        std::abort();
    }
    g_application = this;
    // The thread that makes the application object runs its windows.
    WindowRegistry::Instance().ClaimUserInterfaceThread();
    m_helpFilePath = dbcs::ReplaceExtension(modulepath::ModuleFileName(nullptr), ".hlp", modulepath::IsSystemLeadByte);
}

Application::~Application()
{
    if (g_application == this) g_application = nullptr;
}

Application* Application::Get()
{
    return g_application;
}

BOOL Application::InitInstance()
{
    return TRUE;
}

int Application::ExitInstance()
{
    return m_exitCode;
}

BOOL Application::OnIdle(LONG /*idleCount*/)
{
    return FALSE;
}

BOOL Application::PreTranslateMessage(MSG* /*message*/)
{
    return FALSE;
}

void Application::SetEntryData(HINSTANCE instance, const std::string& commandLine, int showCommand)
{
    m_instance = instance;
    m_commandLine = commandLine;
    m_showCommand = showCommand;
}

bool Application::MainWindowAlive() const
{
    return m_mainWindow && m_mainWindow->Handle() && IsWindow(m_mainWindow->Handle());
}

void Application::DispatchOne(MSG& message)
{
    if (!PreTranslateMessage(&message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int Application::Run()
{
    WindowRegistry& registry = WindowRegistry::Instance();
    bool idleArmed = true;
    LONG idleCount = 0;
    bool quitTaken = false;
    MSG message{};
    for (;;) {
        if (!MainWindowAlive()) {
            registry.PurgeTemporaries();
            break;
        }
        // Taken in one look: a look that leaves the message and a second that
        // takes it each cost a round trip to the window server (and a run of
        // every message hook), which an idle program pays on every timer tick.
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitTaken = true;
                break;
            }
            DispatchOne(message);
            idleArmed = true;
            idleCount = 0;
        } else if (idleArmed) {
            if (!OnIdle(idleCount++)) idleArmed = false;
            // A handler may remove itself from the list while it is called.
            std::vector<Window*> handlers = m_idleHandlers;
            bool allWantMore = true;
            for (Window* window : handlers) {
                if (std::find(m_idleHandlers.begin(), m_idleHandlers.end(), window) == m_idleHandlers.end()) continue;
                if (!window->OnIdle()) allWantMore = false;
            }
            if (!allWantMore) idleArmed = false;
            if (!idleArmed && MainWindowAlive()) {
                // The idle work is done: wait at once instead of looking at
                // the queue again first (one more round trip on every timer
                // tick). Whatever arrived since the last look, also what the
                // idle work posted, ends the wait right away.
                registry.PurgeTemporaries();
                WaitMessage();
            }
        } else {
            WaitMessage();
        }
        registry.PurgeTemporaries();
    }
    registry.PurgeTemporaries();
    if (!quitTaken) {
        // The loop noticed the main window gone before it took the quit
        // message that the window's destruction posted: take that one, so the
        // exit code is its wParam and not that of an unrelated message.
        MSG quit{};
        // Without one (the loop never had a main window) the code is 0.
        message = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? quit : MSG{};
    }
    m_exitCode = static_cast<int>(message.wParam);
    return ExitInstance();
}

Application::PumpEnd Application::PumpQueued(DWORD start, DWORD limit)
{
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the quit for the message loop, which must still see it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return PumpEnd::Stopped;
        }
        DispatchOne(message);
        if (m_mainWindow && !MainWindowAlive()) return PumpEnd::Stopped;
        // Unsigned difference: correct across the tick count's wrap.
        if (GetTickCount() - start >= limit) return PumpEnd::OutOfTime;
    }
    return PumpEnd::Drained;
}

bool Application::PumpWaitingMessages()
{
    if (PumpQueued(GetTickCount(), kWaitingMessagesBudget) == PumpEnd::Stopped) return false;
    return !m_mainWindow || MainWindowAlive();
}

bool Application::PumpMessagesFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpEnd end = PumpQueued(start, milliseconds);
        if (end == PumpEnd::Stopped) return false;
        if (m_mainWindow && !MainWindowAlive()) return false;
        DWORD elapsed = GetTickCount() - start;
        if (end == PumpEnd::OutOfTime || elapsed >= milliseconds) return true;
        // The queue is empty: sleep until a message arrives or the time is up.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

int Application::MessageBox(const char* text, UINT type)
{
    const char* shown = text ? text : "";
    if (MainWindowAlive()) {
        return ::MessageBoxA(m_mainWindow->Handle(), shown, m_name.c_str(), type | MB_SETFOREGROUND);
    }
    return ::MessageBoxA(nullptr, shown, m_name.c_str(), type | MB_SETFOREGROUND | MB_TASKMODAL);
}

bool Application::IsAnotherInstanceRunning(const char* mutexName)
{
    if (m_instanceChecked) return m_anotherInstance;
    m_instanceChecked = true;
    bool existed = false;
    if (!m_mutex.Create(mutexName, &existed)) {
        MessageBox("内部エラーが発生しました。", MB_ICONEXCLAMATION);
        m_anotherInstance = true;
    } else if (existed) {
        m_mutex.Close();
        m_anotherInstance = true;
    }
    return m_anotherInstance;
}

bool Application::AddIdleHandler(Window* window)
{
    if (!window || !window->Handle() || !IsWindow(window->Handle())) return false;
    if (std::find(m_idleHandlers.begin(), m_idleHandlers.end(), window) == m_idleHandlers.end()) {
        m_idleHandlers.push_back(window);
    }
    return true;
}

void Application::RemoveIdleHandler(Window* window)
{
    m_idleHandlers.erase(std::remove(m_idleHandlers.begin(), m_idleHandlers.end(), window), m_idleHandlers.end());
}

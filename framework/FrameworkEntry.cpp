#include "framework/FrameworkEntry.h"

#include "framework/OsVersion.h"

#include "framework/Application.h"
#include "framework/WindowRegistry.h"

namespace {

UINT g_legacyWheelMessage = 0;
HHOOK g_idleHook = nullptr;

LRESULT CALLBACK ForegroundIdleProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) WindowRegistry::Instance().PurgeTemporaries();
    return CallNextHookEx(g_idleHook, code, wParam, lParam);
}

void RegisterWheelOnWindows95()
{
    if (IsWindows95()) RegisterLegacyWheelMessage();
}

} // namespace

UINT LegacyWheelMessage()
{
    return g_legacyWheelMessage;
}

UINT RegisterLegacyWheelMessage()
{
    g_legacyWheelMessage = RegisterWindowMessageA("MSWHEEL_ROLLMSG");
    return g_legacyWheelMessage;
}

bool IsWindows95()
{
    OSVERSIONINFOA version;
    if (!QueryOsVersion(version)) return false;
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMajorVersion == 4 &&
           version.dwMinorVersion == 0;
}

int FrameworkWinMain(HINSTANCE instance, const char* commandLine, int showCommand)
{
    Application* app = Application::Get();
    if (!app) return 0;
    RegisterWheelOnWindows95();
    app->SetEntryData(instance, commandLine ? commandLine : "", showCommand);
    if (!app->InitInstance()) return 0;
    return app->Run();
}

BOOL FrameworkLibraryAttach(HINSTANCE module)
{
    Application* app = Application::Get();
    if (!app) return FALSE;
    RegisterWheelOnWindows95();
    if (!g_idleHook)
        g_idleHook = SetWindowsHookExA(WH_FOREGROUNDIDLE, ForegroundIdleProc, nullptr, GetCurrentThreadId());
    WindowRegistry::Instance().SetPurgeAfterOutermostMessage(true);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    app->SetEntryData(module, std::string(), show);
    return app->InitInstance() ? TRUE : FALSE;
}

int FrameworkLibraryDetach()
{
    if (g_idleHook) {
        UnhookWindowsHookEx(g_idleHook);
        g_idleHook = nullptr;
    }
    WindowRegistry::Instance().SetPurgeAfterOutermostMessage(false);
    WindowRegistry::Instance().PurgeTemporaries();
    Application* app = Application::Get();
    return app ? app->ExitInstance() : 0;
}

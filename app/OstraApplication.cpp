#include "app/OstraApplication.h"

#include <winsock2.h>

#include "app/SettingsFile.h"
#include "framework/HyperLink.h"
#include "skin/SkinWindow.h"

// The program's one application object; the framework's WinMain runs it.
static OstraApplication g_application;

BOOL OstraApplication::InitInstance()
{
    WSADATA data;
    // Without sockets the SSTP relay and the TCP client simply fail.
    m_socketsStarted = WSAStartup(MAKEWORD(1, 1), &data) == 0;

    RegisterHyperLinkClass(Instance());
    SetName(kTitle);
    m_settings = LoadSettings();

    // A second instance ends silently; a mutex that cannot be made at all
    // has been reported by the framework.
    if (IsAnotherInstanceRunning(kMutexName)) return TRUE;

    m_screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);

    if (!m_catalogue.ScanSkins()) {
        MessageBox("スキンが読み込めませんでした。", MB_ICONEXCLAMATION);
        return TRUE;
    }

    // Whether the program runs on is decided by whether the main window
    // exists: the message loop ends at once without one.
    auto window = std::make_unique<::MainWindow>(m_catalogue, m_settings, m_screen);
    if (window->Open(kTitle)) {
        SetMainWindow(window.get());
        m_window = std::move(window);
    }
    return TRUE;
}

int OstraApplication::ExitInstance()
{
    m_window.reset();
    // Skin objects whose windows went in the last messages are deleted by now.
    if (m_socketsStarted) WSACleanup();
    if (m_screen) DeleteDC(m_screen);
    m_screen = nullptr;
    return Application::ExitInstance();
}

// A program made only of the framework's entry and a small application
// class; the framework tests start it to watch the entry steps and the
// single-instance test from outside, and the misuses of window objects that
// stop the program. Arguments: mode, marker file[, mutex].
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "framework/Application.h"
#include "framework/Window.h"
#include "framework/WindowClass.h"

namespace {

class TestMainWindow : public Window {};

// Deletes itself with a plain delete from inside its own handler.
class SelfDeleting : public Window {
  public:
    void OnCommand(UINT, UINT) override { delete this; }
};

class TestAppApplication : public Application {
  public:
    BOOL InitInstance() override
    {
        if (__argc < 3) return FALSE;
        m_mode = __argv[1];
        m_marker = __argv[2];
        if (m_mode == "refuse") return FALSE;
        Append(std::string("init") + (CommandLine().find(m_mode) != std::string::npos ? " " + m_mode : ""));
        if (m_mode == "single") {
            if (__argc < 4) return FALSE;
            if (IsAnotherInstanceRunning(__argv[3])) {
                Append(";another");
                return TRUE; // no main window: the loop ends at once
            }
        }
        if (!RegisterWindowClass("OstraTestAppMain", 0, nullptr, nullptr, LoadCursor(nullptr, IDC_ARROW),
                                 reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))) {
            return FALSE;
        }
        if (!m_main.CreateEx("OstraTestAppMain", "test app", WS_POPUP, 0, 0, 0, 40, 40, nullptr, nullptr, nullptr)) {
            return FALSE;
        }
        SetMainWindow(&m_main);
        if (m_mode == "quit") PostMessageA(m_main.Handle(), WM_CLOSE, 0, 0);
        if (m_mode == "code") PostQuitMessage(23);
        if (m_mode == "delete-in-handler" || m_mode == "delete-elsewhere") {
            auto* doomed = new SelfDeleting;
            if (!doomed->CreateEx("OstraTestAppMain", "doomed", WS_POPUP, 0, 0, 0, 20, 20, nullptr, nullptr, nullptr))
                return FALSE;
            if (m_mode == "delete-in-handler")
                SendMessageA(doomed->Handle(), WM_COMMAND, 1, 0);
            else
                std::thread([doomed] { delete doomed; }).join();
            Append(";survived"); // not reached: the program stops
            PostMessageA(m_main.Handle(), WM_CLOSE, 0, 0);
        }
        return TRUE;
    }
    int ExitInstance() override
    {
        int code = Application::ExitInstance();
        Append(";exit " + std::to_string(code));
        return code;
    }

  private:
    void Append(const std::string& text)
    {
        std::ofstream out(m_marker, std::ios::binary | std::ios::app);
        out << text;
    }
    std::string m_mode;
    std::string m_marker;
    TestMainWindow m_main;
};

TestAppApplication g_app;

} // namespace

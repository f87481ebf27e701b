#pragma once
// The one application object of a process: its entry data, the message loop
// with idle processing, the pumping helpers used while waiting, the
// single-instance test and the message-box helper. A program (or a DLL that
// carries the framework) defines one static object of its own class derived
// from this one; constructing a second one stops the program.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/NamedMutex.h"

class Window;

class Application {
  public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // What a program's or library's own application class overrides.
    virtual BOOL InitInstance();                    // FALSE ends the program at once (exit code 0)
    virtual int ExitInstance();                     // its result is the process's exit code
    virtual BOOL OnIdle(LONG idleCount);            // TRUE while more idle work is wanted
    virtual BOOL PreTranslateMessage(MSG* message); // TRUE: the message was consumed

    // The process's application object, or nullptr before one is constructed.
    static Application* Get();

    // Runs the message loop until the main window is gone or WM_QUIT arrives;
    // returns ExitInstance's result.
    int Run();
    // The longest PumpWaitingMessages keeps dispatching, in milliseconds of
    // GetTickCount: a queue that never empties (a window whose update region
    // stays invalid gets WM_PAINT again and again) must not hold the caller.
    static constexpr DWORD kWaitingMessagesBudget = 50;

    // Dispatches what is queued, then returns; after kWaitingMessagesBudget
    // it returns even if more is waiting. False when the main window is gone
    // or WM_QUIT was taken (the quit is posted again for the loop).
    bool PumpWaitingMessages();
    // Keeps dispatching until 'milliseconds' of GetTickCount have passed
    // (checked after every message), with the same early stops as
    // PumpWaitingMessages.
    bool PumpMessagesFor(DWORD milliseconds);

    // A message box captioned with the application name: over the main window
    // when there is one, task-modal otherwise. A null text shows as empty.
    int MessageBox(const char* text, UINT type);

    // Creates the named mutex on the first call; true when another instance
    // already holds it or the mutex could not be made (after telling the user).
    // Later calls repeat the first answer.
    bool IsAnotherInstanceRunning(const char* mutexName);

    // Idle handlers: only windows bound to a live handle are taken.
    bool AddIdleHandler(Window* window);
    void RemoveIdleHandler(Window* window);

    HINSTANCE Instance() const { return m_instance; }
    const std::string& CommandLine() const { return m_commandLine; }
    int ShowCommand() const { return m_showCommand; }
    Window* MainWindow() const { return m_mainWindow; }
    void SetMainWindow(Window* window) { m_mainWindow = window; }
    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    const std::string& HelpFilePath() const { return m_helpFilePath; }
    int ExitCode() const { return m_exitCode; }

    // Entry data, stored by the program's or the library's entry steps.
    void SetEntryData(HINSTANCE instance, const std::string& commandLine, int showCommand);

  private:
    bool MainWindowAlive() const;
    // One message taken from the queue: PreTranslateMessage, then translation and dispatch.
    void DispatchOne(MSG& message);
    enum class PumpEnd { Drained, OutOfTime, Stopped };
    // Dispatches queued messages until none is left, 'limit' milliseconds
    // have passed since 'start', or the main window or a WM_QUIT stops it.
    PumpEnd PumpQueued(DWORD start, DWORD limit);

    HINSTANCE m_instance;
    std::string m_commandLine;
    int m_showCommand = SW_SHOWNORMAL;
    Window* m_mainWindow = nullptr;
    std::string m_name = "Application";
    std::string m_helpFilePath;
    NamedMutex m_mutex;
    bool m_instanceChecked = false;
    bool m_anotherInstance = false;
    int m_exitCode = 0;
    std::vector<Window*> m_idleHandlers;
};

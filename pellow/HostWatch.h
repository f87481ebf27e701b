#pragma once
// The hook library's work inside one process: the host test, the hook
// procedure that attaches a host main window when the main program's notify
// message is taken from the queue, and the replacement window procedure that
// reports what happens to that window. One object per process (each process
// has its own copy of the library), used from the thread that runs the host
// window.
#include <windows.h>

#include "pellow/HookGate.h"

namespace pellow {

class HostWatch {
public:
    static HostWatch& Instance();

    HostWatch(const HostWatch&) = delete;
    HostWatch& operator=(const HostWatch&) = delete;

    // Start-up in this process: the host test, the main program's window
    // (class "DLVOstraMainClass") and the two registered messages.
    void Start();
    // The library is leaving this process while it lives on: a host window
    // still running our procedure gets its own back, since our code is about
    // to go away under it.
    void Stop();

    // The main program replaces the window found at start-up by its own.
    void SetMainWindow(HWND window) { m_mainWindow = window; }
    HWND MainWindow() const { return m_mainWindow; }
    UINT NotifyMessage() const { return m_notifyMessage; }
    const HookGate& Gate() const { return m_gate; }

    // The WH_GETMESSAGE procedure.
    static LRESULT CALLBACK GetMessageProc(int code, WPARAM removal, LPARAM message);
    // The procedure that replaces the attached host window's own.
    static LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    HostWatch() = default;

    void CheckHost();
    // Puts the host window's own procedure back and removes "OstraProp",
    // when ours is still its procedure; true when the window was given back
    // or there is none to give back, false when another procedure was
    // installed over ours.
    bool GiveBackWindow();
    void OnMessageTaken(int code, WPARAM removal, const MSG* message);
    void Attach(HWND host);
    LRESULT OnHostMessage(HWND host, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Detach(HWND host);
    LRESULT OnMove(HWND host, UINT message, WPARAM wParam, LPARAM lParam);
    void OnDeactivate(HWND host);
    void OnShowWindow(HWND host, bool shown);
    void OnMenuPopup(HWND host);
    LRESULT PassOn(HWND host, UINT message, WPARAM wParam, LPARAM lParam);
    // The skin window that the main program keeps for 'host', or null.
    HWND LookupSkin(HWND host);
    // The skin window a move is reported to: the one "OstraProp" names, while
    // it is a skin window of the main program's thread, so that a move costs
    // no lookup round trip; else whatever the lookup answers.
    HWND SkinForMove(HWND host);
    // Whether 'skin' is a live skin window of the main program.
    bool IsLiveSkin(HWND skin);
    HWND CurrentMainWindow();

    // Where the host window stood when its skin was last told of a move:
    // window rectangle and client origin, screen coordinates.
    struct HostPlace {
        RECT window{};
        POINT client{};
        bool operator==(const HostPlace& o) const
        {
            return EqualRect(&window, &o.window) && client.x == o.client.x && client.y == o.client.y;
        }
    };
    static bool ReadHostPlace(HWND host, HostPlace& place);
    void ForgetReportedPlace() { m_reportedValid = false; }

    HookGate m_gate;
    HWND m_mainWindow = nullptr;
    UINT m_notifyMessage = 0;
    UINT m_fileNameMessage = 0;
    HWND m_hostWindow = nullptr;      // the subclassed window, while it is
    WNDPROC m_previousProc = nullptr; // its own procedure, while it is subclassed
    HostPlace m_reported;             // valid while m_reportedValid
    bool m_reportedValid = false;
};

} // namespace pellow

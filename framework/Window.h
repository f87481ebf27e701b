#pragma once
// A window object: bound to at most one window handle, every message of that
// window turned into a call of a virtual handler. Derived classes override
// handlers; a handler that does not handle its message leaves it to default
// processing (see WindowProc).
//
// Threads: window objects belong to the user-interface thread, the thread
// that constructed the application object (see WindowRegistry). On any other
// thread CreateEx, Subclass and the dialogs' creation fail, Unsubclass and
// FromHandle answer nullptr, Destroy and DeleteWhenIdle do nothing, and
// destroying an object that still holds a window handle stops the program:
// its binding could not be removed safely.
//
// Lifetime: the object's owner decides when it goes, but never while one of
// its handlers runs. A handler may wait in a nested message loop (a modal
// dialog, a tracked menu, a cross-process send, a wait that pumps messages),
// and the message that asks for the object's end may arrive there. Objects
// made with new therefore end with DeleteWhenIdle, which deletes at once when
// no handler of the object runs and otherwise when the outermost one returns.
// A plain delete while a handler of the object runs would leave the
// dispatcher working on freed memory: the destructor stops the program then
// (exit code kStoppedExitCode).
// That holds for window objects that are members of another one too: a dialog
// member whose modal loop runs keeps its owner's deletion waiting only when
// the loop was started from one of the owner's handlers.
#include <windows.h>
#include <shellapi.h>

#include <string>

class DeviceContext;
class Menu;

class Window {
  public:
    // The exit code of a process stopped for a misuse described above.
    static constexpr UINT kStoppedExitCode = 3;

    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Creation, destruction and the binding to a window handle.
    virtual ~Window();
    virtual BOOL Create(const char* className, const char* windowName, DWORD style, DWORD exStyle, int x, int y,
                        int width, int height, HWND parent, HMENU menuOrId, void* param);
    virtual BOOL CreateEx(const char* className, const char* windowName, DWORD style, DWORD exStyle, int x, int y,
                          int width, int height, HWND parent, HMENU menuOrId, void* param);
    // DestroyWindow; the object forgets the handle once the window is gone.
    // A window can only be destroyed by its own thread: elsewhere nothing happens.
    virtual void Destroy();
    virtual BOOL Subclass();
    virtual HWND Unsubclass();
    virtual void SetText(const char* text);
    virtual std::string GetText();
    // The default processing of the stored message, and the dispatcher.
    virtual LRESULT DefaultProc();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Handlers. The message each one serves is in the comment beside it.
    virtual BOOL OnIdle();                                                            // idle list
    virtual void PreSubclass() {}                                                     // Subclass
    virtual BOOL CanClose();                                                          // WM_CLOSE
    virtual void OnHotKey(int id, UINT modifiers, UINT virtualKey);                   // WM_HOTKEY
    virtual void OnAppCommand(Window* window, short command, WORD device, WORD keys); // WM_APPCOMMAND
    virtual BOOL OnSetCursor(Window* window, UINT hitTest, UINT mouseMessage);        // WM_SETCURSOR
    virtual void OnSettingChange(WPARAM wParam, LPARAM lParam);                       // WM_SETTINGCHANGE
    virtual void OnDrawClipboard();                                                   // WM_DRAWCLIPBOARD
    virtual void OnChangeCbChain(Window* removed, Window* next);                      // WM_CHANGECBCHAIN
    virtual BOOL OnMouseWheel(UINT keys, short delta, int x, int y);                  // WM_MOUSEWHEEL
    virtual BOOL OnCreate(CREATESTRUCTA* create);                                     // WM_CREATE
    virtual HBRUSH OnCtlColor(DeviceContext* dc, Window* control, UINT kind);         // WM_CTLCOLOR...
    virtual void OnPaint();                                                           // WM_PAINT
    virtual BOOL OnEraseBkgnd(DeviceContext* dc);                                     // WM_ERASEBKGND
    virtual void OnShowWindow(BOOL show, UINT status);                                // WM_SHOWWINDOW
    virtual void OnWindowPosChanging(WINDOWPOS* pos);                                 // WM_WINDOWPOSCHANGING
    virtual void OnWindowPosChanged(WINDOWPOS* pos);                                  // WM_WINDOWPOSCHANGED
    virtual LRESULT OnNcHitTest(int x, int y);                                        // WM_NCHITTEST
    virtual void OnKeyUp(UINT /*virtualKey*/, UINT /*repeat*/, UINT /*flags*/) {}     // WM_KEYUP
    virtual void OnKeyDown(UINT /*virtualKey*/, UINT /*repeat*/, UINT /*flags*/) {}   // WM_KEYDOWN
    virtual void OnMenuSelect(UINT item, UINT flags, Menu* menu);                     // WM_MENUSELECT
    virtual BOOL OnNotify(int id, NMHDR* header, LRESULT* result);                    // WM_NOTIFY
    virtual void OnEnterIdle(UINT reason, Window* window);                            // WM_ENTERIDLE
    virtual void OnNcDestroy();                                                       // WM_NCDESTROY
    virtual void OnSysCommand(UINT command, int x, int y);                            // WM_SYSCOMMAND
    virtual void OnCommand(UINT id, UINT code);                                       // WM_COMMAND
    virtual void OnContextMenu(Window* /*window*/, int /*x*/, int /*y*/) {}           // WM_CONTEXTMENU
    virtual void OnActivate(UINT state, Window* other, BOOL minimized);               // WM_ACTIVATE
    virtual void OnMove(int x, int y);                                                // WM_MOVE
    virtual void OnClose();                                                           // WM_CLOSE, after CanClose
    virtual void OnTimer(UINT_PTR /*id*/) {}                                          // WM_TIMER
    virtual void OnSize(UINT type, int width, int height);                            // WM_SIZE
    virtual void OnDestroy();                                                         // WM_DESTROY
    virtual void OnInitMenuPopup(Menu* menu, UINT index, BOOL systemMenu);            // WM_INITMENUPOPUP
    virtual void OnInitMenu(Menu* menu);                                              // WM_INITMENU
    virtual void OnDeleteItem(UINT id, DELETEITEMSTRUCT* item);                       // WM_DELETEITEM
    virtual void OnDrawItem(UINT id, DRAWITEMSTRUCT* item, DeviceContext* dc);        // WM_DRAWITEM
    virtual void OnMeasureItem(UINT id, MEASUREITEMSTRUCT* item);                     // WM_MEASUREITEM
    virtual void OnDropFiles(HDROP drop);                                             // WM_DROPFILES
    virtual void OnMouseMove(UINT keys, int x, int y);                                // WM_MOUSEMOVE
    virtual void OnLButtonDown(UINT keys, int x, int y);                              // the button-down messages
    virtual void OnRButtonDown(UINT keys, int x, int y);
    virtual void OnMButtonDown(UINT keys, int x, int y);
    virtual void OnLButtonUp(UINT keys, int x, int y); // the button-up messages
    virtual void OnRButtonUp(UINT keys, int x, int y);
    virtual void OnMButtonUp(UINT keys, int x, int y);
    virtual void OnLButtonDblClk(UINT keys, int x, int y); // the double-click messages
    virtual void OnRButtonDblClk(UINT keys, int x, int y);
    virtual void OnMButtonDblClk(UINT keys, int x, int y);
    virtual void OnSysColorChange();                                                  // WM_SYSCOLORCHANGE
    virtual void OnVScroll(UINT /*code*/, int /*position*/, Window* /*scrollBar*/) {} // WM_VSCROLL
    virtual void OnHScroll(UINT /*code*/, int /*position*/, Window* /*scrollBar*/) {} // WM_HSCROLL

    HWND Handle() const { return m_hwnd; }
    bool IsSubclassed() const { return m_previousProc != nullptr; }

    // Deletes this object, which must have been made with new, as soon as
    // none of its handlers runs: at once when none does, otherwise when the
    // outermost one returns. Its window is left as it is (Destroy it first to
    // end it too); a window still alive at deletion runs on default processing.
    // Later requests are ignored; on another thread nothing happens.
    void DeleteWhenIdle();
    // True once DeleteWhenIdle was asked while a handler ran: a handler waiting
    // in a nested loop should end its wait.
    bool IsDeletePending() const { return m_lifetime != Lifetime::Alive; }

    // Keeps the object alive across code that is not a handler but may run
    // nested message loops on its behalf (DoModal, CreateEx): a deletion asked
    // meanwhile happens when the last InUse of the object ends. For the
    // user-interface thread only, like the object itself.
    class InUse {
      public:
        explicit InUse(Window& window) : m_window(window) { ++m_window.m_useCount; }
        ~InUse() { Window::EndUse(m_window); }
        InUse(const InUse&) = delete;
        InUse& operator=(const InUse&) = delete;

      private:
        Window& m_window;
    };

    // The bound object of a window handle, or a temporary wrapper (valid only
    // while the current message is handled); nullptr for a null handle.
    static Window* FromHandle(HWND hwnd);

    // Foreground helpers. With 'force', the calling thread's input is attached
    // to the foreground window's thread for the call, and the own process is
    // allowed to set the foreground window, where the system knows that.
    BOOL SetForeground(bool force);
    HWND Activate(bool force);
    BOOL BringToTop(bool force);

    // The framework's window procedure, for classes registered by RegisterWindowClass.
    static LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  protected:
    // Binds this object to 'hwnd' as the window procedure does for a new window.
    void Attach(HWND hwnd);
    // The dispatch shared by windows and dialogs (the part after any
    // class-specific routing such as WM_INITDIALOG).
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // Restores the stored message and runs DefaultProc under its fault guard.
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    WNDPROC m_previousProc = nullptr; // set only while subclassed
    // Cleared by a handler that leaves its message to default processing.
    // Each dispatch has its own: a message of this window dispatched inside a
    // handler gets a fresh flag, and the outer handler's is restored after it.
    BOOL m_handled = FALSE;
    UINT m_message = 0; // the message passed on to default processing
    WPARAM m_wParam = 0;
    LPARAM m_lParam = 0;
    UINT m_receivedMessage = 0; // the message as the window procedure received it
    WPARAM m_receivedWParam = 0;
    LPARAM m_receivedLParam = 0;

  private:
    friend class Dialog;

    enum class Lifetime : unsigned char { Alive, DeleteRequested, Deleting };

    // Runs the object's WindowProc for one message as the window procedure
    // does: with its own handled flag and stored message, counted as in use,
    // faults caught (creation messages then fail the creation), the binding
    // released after WM_NCDESTROY whatever the handlers did, and a deletion
    // asked meanwhile carried out when the object's last use ends. 'window'
    // must not be used by the caller afterwards.
    static LRESULT RunWindowProc(Window* window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Ends one use of 'window'; the last one carries out a pending deletion.
    static void EndUse(Window& window);
    // Drops the binding of a window that is being destroyed: the handle map
    // (or the subclassing), the idle list. Returns the procedure that was
    // replaced, when the window was subclassed.
    WNDPROC ReleaseBinding(HWND hwnd);
    // Runs the foreground call with the input attached, as described above.
    template <class Call> auto WithForegroundRights(bool force, Call call) -> decltype(call());

    int m_useCount = 0; // handlers of this object running, plus InUse scopes
    Lifetime m_lifetime = Lifetime::Alive;
};

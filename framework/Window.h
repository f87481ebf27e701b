#pragma once
// A window object: bound to at most one window handle, every message of that
// window turned into a call of a virtual handler. Derived classes override
// handlers; a handler that does not handle its message leaves it to default
// processing (see WindowProc). The virtual operations keep their fixed order.
#include <windows.h>
#include <shellapi.h>

#include <string>

class DeviceContext;
class Menu;

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Slots 0 to 13.
    virtual ~Window();
    virtual BOOL Create(const char* className, const char* windowName, DWORD style, DWORD exStyle, int x, int y,
                        int width, int height, HWND parent, HMENU menuOrId, void* param);
    virtual BOOL CreateEx(const char* className, const char* windowName, DWORD style, DWORD exStyle, int x, int y,
                          int width, int height, HWND parent, HMENU menuOrId, void* param);
    virtual void Destroy();
    virtual BOOL Subclass();
    virtual HWND Unsubclass();
    virtual void SetText(const char* text);
    virtual std::string GetText();
    virtual void Hook1(LPARAM) {}
    virtual void Hook2(LPARAM) {}
    virtual void Hook3(LPARAM) {}
    virtual void Hook4(LPARAM) {}
    virtual LRESULT DefaultProc();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Slots 14 to 65: handlers. The message each one serves is in brackets.
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
    BOOL m_handled = FALSE;
    UINT m_message = 0; // the message passed on to default processing
    WPARAM m_wParam = 0;
    LPARAM m_lParam = 0;
    UINT m_receivedMessage = 0; // the message as the window procedure received it
    WPARAM m_receivedWParam = 0;
    LPARAM m_receivedLParam = 0;

  private:
    friend class Dialog;
    // Runs the foreground call with the input attached, as described above.
    template <class Call> auto WithForegroundRights(bool force, Call call) -> decltype(call());
};

#pragma once
// A dialog made from a template in memory, modal or modeless. Its window runs
// the framework's window procedure in front of the dialog's own class
// procedure, so handlers work as for any window; default processing ends in
// the dialog's own processing.
#include <windows.h>

#include <string>

#include "framework/Window.h"

class Dialog : public Window {
  public:
    Dialog() = default;
    Dialog(const DLGTEMPLATE* dialogTemplate, HWND owner) : m_template(dialogTemplate), m_owner(owner) {}

    // A dialog's window comes from its template: Create and CreateEx make it
    // modeless, with 'param' as the initialisation parameter; the class,
    // style and placement arguments are the template's business.
    BOOL Create(const char* className, const char* windowName, DWORD style, DWORD exStyle, int x, int y, int width,
                int height, HWND parent, HMENU menuOrId, void* param) override;
    BOOL CreateEx(const char* className, const char* windowName, DWORD style, DWORD exStyle, int x, int y, int width,
                  int height, HWND parent, HMENU menuOrId, void* param) override;
    LRESULT DefaultProc() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(UINT id, UINT code) override;

    // The dialog's own default processing, its creation, its end, and the
    // handlers of its first message and of the OK and Cancel commands.
    virtual LRESULT DefaultDialogProc();
    // Both fail on a thread other than the user-interface thread (FALSE, -1).
    // A deletion of the object asked while the modal loop runs waits until
    // DoModal returns.
    virtual BOOL CreateModeless(LPARAM initParam);
    virtual INT_PTR DoModal(LPARAM initParam);
    virtual void End(INT_PTR result);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    void SetTemplate(const DLGTEMPLATE* dialogTemplate) { m_template = dialogTemplate; }
    void SetOwner(HWND owner) { m_owner = owner; }
    HWND Owner() const { return m_owner; }
    bool IsModal() const { return m_modal; }

    // Binds 'control' to the item with that id and subclasses it.
    BOOL AttachControl(int id, Window& control);
    std::string ItemText(int id) const;
    // Placement in dialog units: horizontal units times the base width / 4,
    // vertical units times the base height / 8.
    BOOL MoveInDialogUnits(int x, int y, int width, int height);
    BOOL SizeInDialogUnits(int width, int height);

    // The dialog procedure every framework dialog is created with.
    static INT_PTR CALLBACK FrameworkDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  protected:
    // Binds the dialog window and hands it its first message.
    void BindDialogWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    const DLGTEMPLATE* m_template = nullptr;
    HWND m_owner = nullptr;
    bool m_modal = false;
};

#pragma once
// One page of a property sheet: a dialog whose property-sheet notifications
// become handler calls, and whose End ends the sheet that holds it.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>

#include "framework/Dialog.h"

class PropertyPage : public Dialog {
  public:
    // 'title' may be null: the template's caption is used then.
    PropertyPage(const DLGTEMPLATE* dialogTemplate, const char* title);

    void End(INT_PTR result) override;
    void OnOK() override {}
    void OnCancel() override {}
    BOOL OnNotify(int id, NMHDR* header, LRESULT* result) override;

    // The property-sheet notifications, one handler each (see OnNotify).
    virtual BOOL OnApply();
    virtual void OnReset();
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    virtual BOOL OnQueryCancel();
    virtual LRESULT OnWizardBack();
    virtual LRESULT OnWizardNext();
    virtual BOOL OnWizardFinish();

    // The page's description for the sheet (first version of the structure).
    PROPSHEETPAGEA& PageInfo() { return m_page; }
    bool HasTitle() const { return !m_title.empty(); }

    // The dialog procedure of framework pages: binds the page on its
    // WM_INITDIALOG, whose lParam carries the page description.
    static INT_PTR CALLBACK PageDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    std::string m_title;
    PROPSHEETPAGEA m_page{};
};

#pragma once
// A property sheet over PropertyPage objects. The sheet window belongs to the
// common controls; the sheet object binds to it when the sheet reports
// itself initialised, and from then on runs in front of its own procedure.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "framework/Dialog.h"

// <prsht.h> maps the name to PropertySheetA; the class keeps its own name.
#undef PropertySheet

class PropertyPage;

class PropertySheet : public Dialog {
  public:
    PropertySheet(const char* caption, HWND owner);

    BOOL CreateModeless(LPARAM initParam) override;
    // 1 when the sheet ended with a positive result, 2 otherwise.
    INT_PTR DoModal(LPARAM initParam) override;

    // Adds a page (not owned). To a live sheet the page goes with
    // PSM_ADDPAGE; when the sheet refuses it, its page handle is destroyed
    // and std::runtime_error is thrown.
    void AddPage(PropertyPage* page);
    PROPSHEETHEADERA& Header() { return m_header; }
    const std::vector<PropertyPage*>& Pages() const { return m_pages; }

  private:
    // Packs the pages' descriptions into one array, each as long as its
    // dwSize says, since the sheet walks the array by that size.
    void PreparePages();
    static int CALLBACK SheetCallback(HWND hwnd, UINT message, LPARAM lParam);

    std::string m_caption;
    PROPSHEETHEADERA m_header{};
    std::vector<PropertyPage*> m_pages;
    std::vector<unsigned char> m_pageArray;
};

#include "framework/PropertyPage.h"

#include "framework/WindowRegistry.h"

PropertyPage::PropertyPage(const DLGTEMPLATE* dialogTemplate, const char* title)
    : Dialog(dialogTemplate, nullptr), m_title(title ? title : "")
{
    m_page.dwSize = PROPSHEETPAGEA_V1_SIZE;
    m_page.dwFlags = PSP_DLGINDIRECT;
    m_page.pResource = dialogTemplate;
    m_page.pszTitle = m_title.empty() ? nullptr : m_title.c_str();
    m_page.pfnDlgProc = &PropertyPage::PageDialogProc;
    m_page.lParam = reinterpret_cast<LPARAM>(this);
}

void PropertyPage::End(INT_PTR result)
{
    HWND sheet = m_hwnd ? GetParent(m_hwnd) : nullptr;
    if (auto* owner = dynamic_cast<Dialog*>(WindowRegistry::Instance().Find(sheet))) owner->End(result);
}

BOOL PropertyPage::OnNotify(int id, NMHDR* header, LRESULT* result)
{
    if (!header) return Dialog::OnNotify(id, header, result);
    LRESULT value = 0;
    switch (header->code) {
    case PSN_APPLY:
        value = OnApply() ? 0 : 1;
        break;
    case PSN_RESET:
        OnReset();
        return TRUE;
    case PSN_SETACTIVE:
        value = OnSetActive() ? 1 : 0;
        break;
    case PSN_KILLACTIVE:
        value = OnKillActive() ? 1 : 0;
        break;
    case PSN_QUERYCANCEL:
        value = OnQueryCancel() ? 0 : 1;
        break;
    case PSN_WIZBACK:
        value = OnWizardBack();
        break;
    case PSN_WIZNEXT:
        value = OnWizardNext();
        break;
    case PSN_WIZFINISH:
        value = OnWizardFinish() ? 0 : 1;
        break;
    default:
        return Dialog::OnNotify(id, header, result);
    }
    // A page answers the sheet through DWLP_MSGRESULT; the window procedure
    // returns it too.
    SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, value);
    if (result) *result = value;
    return TRUE;
}

BOOL PropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void PropertyPage::OnReset()
{
    OnCancel();
}

BOOL PropertyPage::OnSetActive()
{
    return TRUE;
}

BOOL PropertyPage::OnKillActive()
{
    return FALSE;
}

BOOL PropertyPage::OnQueryCancel()
{
    return TRUE;
}

LRESULT PropertyPage::OnWizardBack()
{
    return 0;
}

LRESULT PropertyPage::OnWizardNext()
{
    return 0;
}

BOOL PropertyPage::OnWizardFinish()
{
    return TRUE;
}

INT_PTR CALLBACK PropertyPage::PageDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowRegistry& registry = WindowRegistry::Instance();
    if (message != WM_INITDIALOG || !registry.OnUserInterfaceThread() || registry.Find(hwnd)) return 0;
    auto* info = reinterpret_cast<PROPSHEETPAGEA*>(lParam);
    auto* page = info ? reinterpret_cast<PropertyPage*>(info->lParam) : nullptr;
    if (!page || page->m_hwnd) return 0;
    page->BindDialogWindow(hwnd, message, wParam, lParam);
    return 0;
}

#include "framework/PropertySheet.h"

#include <cstring>
#include <stdexcept>

#include "framework/Application.h"
#include "framework/FaultGuard.h"
#include "framework/PropertyPage.h"
#include "framework/WindowRegistry.h"

namespace {

HINSTANCE AppInstance()
{
    Application* app = Application::Get();
    return app ? app->Instance() : GetModuleHandleA(nullptr);
}

} // namespace

PropertySheet::PropertySheet(const char* caption, HWND owner)
    : Dialog(nullptr, owner), m_caption(caption ? caption : "")
{
    m_header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    m_header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    m_header.pszCaption = m_caption.c_str();
    m_header.pfnCallback = &PropertySheet::SheetCallback;
}

void PropertySheet::PreparePages()
{
    HINSTANCE instance = AppInstance();
    m_pageArray.clear();
    for (PropertyPage* page : m_pages) {
        PROPSHEETPAGEA& info = page->PageInfo();
        info.hInstance = instance;
        const auto* bytes = reinterpret_cast<const unsigned char*>(&info);
        m_pageArray.insert(m_pageArray.end(), bytes, bytes + info.dwSize);
    }
    m_header.hInstance = instance;
    m_header.hwndParent = m_owner;
    m_header.nPages = static_cast<UINT>(m_pages.size());
    m_header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(m_pageArray.data());
}

BOOL PropertySheet::CreateModeless(LPARAM)
{
    if (!WindowRegistry::Instance().OnUserInterfaceThread()) return FALSE;
    InUse use(*this);
    m_modal = false;
    m_header.dwFlags |= PSH_MODELESS;
    PreparePages();
    WindowRegistry& registry = WindowRegistry::Instance();
    registry.AddPendingDialog(this);
    INT_PTR result = 0;
    bool completed = faultguard::Guard([&] { result = ::PropertySheetA(&m_header); });
    registry.ForgetPendingDialog(this);
    return completed && result != 0 && result != -1 ? TRUE : FALSE;
}

INT_PTR PropertySheet::DoModal(LPARAM)
{
    if (!WindowRegistry::Instance().OnUserInterfaceThread()) return 2; // as a sheet that was not shown
    InUse use(*this);
    m_modal = true;
    m_header.dwFlags &= ~static_cast<DWORD>(PSH_MODELESS);
    for (PropertyPage* page : m_pages) {
        if (page->HasTitle()) page->PageInfo().dwFlags |= PSP_USETITLE;
    }
    PreparePages();
    WindowRegistry& registry = WindowRegistry::Instance();
    registry.AddPendingDialog(this);
    INT_PTR result = -1;
    if (!faultguard::Guard([&] { result = ::PropertySheetA(&m_header); })) result = -1;
    registry.ForgetPendingDialog(this);
    return result > 0 ? 1 : 2;
}

void PropertySheet::AddPage(PropertyPage* page)
{
    m_pages.push_back(page);
    if (!m_hwnd || !IsWindow(m_hwnd)) return;
    PROPSHEETPAGEA& info = page->PageInfo();
    info.hInstance = AppInstance();
    if (page->HasTitle()) info.dwFlags |= PSP_USETITLE;
    HPROPSHEETPAGE handle = CreatePropertySheetPageA(&info);
    if (handle && SendMessageA(m_hwnd, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle))) return;
    if (handle) DestroyPropertySheetPage(handle);
    m_pages.pop_back();
    throw std::runtime_error("the property sheet refused a page");
}

int CALLBACK PropertySheet::SheetCallback(HWND hwnd, UINT message, LPARAM)
{
    if (message != PSCB_INITIALIZED || !hwnd) return 0;
    WindowRegistry& registry = WindowRegistry::Instance();
    if (!registry.OnUserInterfaceThread() || registry.Find(hwnd)) return 0;
    Dialog* pending = registry.PeekPendingDialog();
    auto* sheet = dynamic_cast<PropertySheet*>(pending);
    if (!sheet || sheet->m_hwnd) return 0;
    registry.RemovePendingDialog();
    sheet->m_hwnd = hwnd;
    sheet->Subclass();
    registry.AdvanceDialog();
    return 0;
}

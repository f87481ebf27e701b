// Dialogs and property sheets built from templates in memory, run under Wine.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"
#include "framework/Dialog.h"
#include "framework/PropertyPage.h"
#include "framework/PropertySheet.h"
#include "framework/WindowRegistry.h"

namespace {

constexpr UINT kFinish = WM_APP + 20;

class EditObserver : public Window {
  public:
    void OnKeyDown(UINT key, UINT, UINT) override { lastKey = key; }
    UINT lastKey = 0;
};

class TestDialog : public Dialog {
  public:
    using Dialog::Dialog;
    BOOL OnInitDialog() override
    {
        initHandle = Handle();
        initParam = m_lParam;
        boundAtInit = WindowRegistry::Instance().Find(Handle()) == this;
        SetDlgItemTextA(Handle(), 100, "初期値");
        attached = AttachControl(100, edit) != FALSE;
        PostMessageA(Handle(), kFinish, 0, 0);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kFinish) {
            itemText = ItemText(100);
            SendMessageA(GetDlgItem(Handle(), 100), WM_KEYDOWN, 'Q', 1);
            if (pressOk)
                SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            else
                PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return 0;
        }
        return Dialog::WindowProc(message, wParam, lParam);
    }
    void OnOK() override
    {
        ++okCalls;
        Dialog::OnOK();
    }
    void OnCancel() override
    {
        ++cancelCalls;
        Dialog::OnCancel();
    }
    HWND initHandle = nullptr;
    LPARAM initParam = 0;
    bool boundAtInit = false;
    bool attached = false;
    bool pressOk = true;
    std::string itemText;
    EditObserver edit;
    int okCalls = 0, cancelCalls = 0;
};

} // namespace

TEST(DialogModal, RunsFromItsTemplateAndEndsWithTheOkCommand)
{
    DialogTemplate tmpl(L"モーダル", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    TestDialog dialog(tmpl.Get(), nullptr);
    EXPECT_EQ(dialog.DoModal(0x1234), IDOK);
    EXPECT_TRUE(dialog.IsModal());
    EXPECT_NE(dialog.initHandle, nullptr);
    EXPECT_TRUE(dialog.boundAtInit);
    EXPECT_EQ(dialog.initParam, 0x1234);
    EXPECT_TRUE(dialog.attached);
    EXPECT_EQ(dialog.itemText, "初期値");
    EXPECT_EQ(dialog.edit.lastKey, static_cast<UINT>('Q'));
    EXPECT_EQ(dialog.okCalls, 1);
    EXPECT_EQ(dialog.cancelCalls, 0);
    EXPECT_EQ(WindowRegistry::Instance().Find(dialog.initHandle), nullptr);
    EXPECT_EQ(dialog.Handle(), nullptr);

    // The same object runs again and ends with Cancel this time.
    dialog.pressOk = false;
    EXPECT_EQ(dialog.DoModal(0), IDCANCEL);
    EXPECT_EQ(dialog.cancelCalls, 1);
}

TEST(DialogModal, WithoutTemplateNothingIsCreated)
{
    Dialog empty;
    EXPECT_EQ(empty.DoModal(0), 0);
    EXPECT_FALSE(empty.CreateModeless(0));
    EXPECT_EQ(empty.Handle(), nullptr);
}

TEST(DialogModeless, IsBoundAndDestroyedByEnd)
{
    DialogTemplate tmpl(L"modeless", WS_POPUP | WS_CAPTION);
    class Modeless : public Dialog {
      public:
        using Dialog::Dialog;
        BOOL OnInitDialog() override
        {
            ++inits;
            return TRUE;
        }
        int inits = 0;
    } dialog(tmpl.Get(), nullptr);
    ASSERT_TRUE(dialog.CreateModeless(0));
    HWND hwnd = dialog.Handle();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(dialog.inits, 1);
    EXPECT_EQ(WindowRegistry::Instance().Find(hwnd), &dialog);
    EXPECT_TRUE(dialog.IsSubclassed());
    // IDOK reaches OnOK through the command handler, which ends a modeless dialog by destroying it.
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(WindowRegistry::Instance().Find(hwnd), nullptr);
}

TEST(DialogModeless, DialogCounterIsResetWhenItReaches0xFFFF)
{
    DialogTemplate tmpl(L"counter", WS_POPUP);
    WindowRegistry& registry = WindowRegistry::Instance();
    registry.SetDialogNumber(0xFFFE);
    Dialog last(tmpl.Get(), nullptr);
    ASSERT_TRUE(last.CreateModeless(0));
    EXPECT_EQ(registry.Find(last.Handle()), &last);
    EXPECT_EQ(registry.DialogNumber(), 0u);
    Dialog first(tmpl.Get(), nullptr);
    ASSERT_TRUE(first.CreateModeless(0));
    EXPECT_EQ(registry.Find(first.Handle()), &first);
    EXPECT_EQ(registry.DialogNumber(), 1u);
    last.End(0);
    first.End(0);
    EXPECT_EQ(last.Handle(), nullptr);
}

namespace {

class RecordingPage : public PropertyPage {
  public:
    RecordingPage(const DLGTEMPLATE* tmpl, const char* title, std::vector<std::string>* log, std::string name)
        : PropertyPage(tmpl, title), m_log(log), m_name(std::move(name))
    {
    }
    BOOL OnInitDialog() override
    {
        m_log->push_back(m_name + " init");
        if (onInit) onInit(*this);
        return TRUE;
    }
    BOOL OnSetActive() override
    {
        m_log->push_back(m_name + " active");
        return PropertyPage::OnSetActive();
    }
    BOOL OnApply() override
    {
        m_log->push_back(m_name + " apply");
        return PropertyPage::OnApply();
    }
    void OnReset() override
    {
        m_log->push_back(m_name + " reset");
        PropertyPage::OnReset();
    }
    BOOL OnQueryCancel() override
    {
        m_log->push_back(m_name + " querycancel");
        return PropertyPage::OnQueryCancel();
    }
    void (*onInit)(RecordingPage&) = nullptr;
    PropertySheet* sheet = nullptr;
    RecordingPage* extra = nullptr;

  private:
    std::vector<std::string>* m_log;
    std::string m_name;
};

} // namespace

TEST(PropertySheetModal, PagesGetTheirNotificationsAndOkAppliesThem)
{
    DialogTemplate tmpl(L"page", WS_CHILD | WS_CAPTION | DS_CONTROL);
    std::vector<std::string> log;
    PropertySheet sheet("設定", nullptr);
    RecordingPage first(tmpl.Get(), "一般", &log, "first");
    RecordingPage second(tmpl.Get(), nullptr, &log, "second");
    RecordingPage added(tmpl.Get(), "追加", &log, "added");
    first.sheet = &sheet;
    first.extra = &added;
    first.onInit = [](RecordingPage& page) {
        // The sheet is bound by now; a page added to the live sheet goes in
        // with PSM_ADDPAGE, and OK is pressed once everything is shown.
        page.sheet->AddPage(page.extra);
        PostMessageA(page.sheet->Handle(), PSM_PRESSBUTTON, PSBTN_OK, 0);
    };
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    INT_PTR result = sheet.DoModal(0);
    EXPECT_EQ(sheet.Pages().size(), 3u);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "first init");
    EXPECT_EQ(log[1], "first active");
    bool applied = false;
    for (const std::string& entry : log) {
        if (entry == "first apply") applied = true;
        EXPECT_NE(entry, "second init"); // never shown, never created
    }
    EXPECT_TRUE(applied);
    // The titled page carries PSP_USETITLE for a modal sheet.
    EXPECT_TRUE(first.PageInfo().dwFlags & PSP_USETITLE);
    EXPECT_FALSE(second.PageInfo().dwFlags & PSP_USETITLE);
    EXPECT_TRUE(result == 1 || result == 2);
    EXPECT_EQ(sheet.Handle(), nullptr);
}

TEST(PropertySheetModal, CancelResetsThePagesAndReportsTwo)
{
    DialogTemplate tmpl(L"page", WS_CHILD | WS_CAPTION | DS_CONTROL);
    std::vector<std::string> log;
    PropertySheet sheet("cancel", nullptr);
    RecordingPage page(tmpl.Get(), "p", &log, "page");
    page.sheet = &sheet;
    page.onInit = [](RecordingPage& p) { PostMessageA(p.sheet->Handle(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0); };
    sheet.AddPage(&page);
    EXPECT_EQ(sheet.DoModal(0), 2);
    bool reset = false, queried = false;
    for (const std::string& entry : log) {
        if (entry == "page reset") reset = true;
        if (entry == "page querycancel") queried = true;
    }
    EXPECT_TRUE(reset);
    EXPECT_TRUE(queried);
}

TEST(PropertySheetModeless, IsCreatedAndBoundToItsObject)
{
    DialogTemplate tmpl(L"page", WS_CHILD | WS_CAPTION | DS_CONTROL);
    std::vector<std::string> log;
    PropertySheet sheet("modeless", nullptr);
    RecordingPage page(tmpl.Get(), "p", &log, "page");
    sheet.AddPage(&page);
    ASSERT_TRUE(sheet.CreateModeless(0));
    HWND hwnd = sheet.Handle();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(WindowRegistry::Instance().Find(hwnd), &sheet);
    EXPECT_FALSE(page.PageInfo().dwFlags & PSP_USETITLE);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], "page init");
    EXPECT_EQ(GetParent(page.Handle()), hwnd);
    // A page's End ends the sheet that holds it.
    page.End(0);
    EXPECT_FALSE(IsWindow(hwnd));
    DrainQueue();
}

namespace {

// Adds a page whose template the sheet cannot find, from inside a handler.
class PageAdder : public Window {
  public:
    void OnCommand(UINT, UINT) override
    {
        ++calls;
        sheet->AddPage(page);
        ++completed; // not reached when the sheet refuses the page
    }
    PropertySheet* sheet = nullptr;
    PropertyPage* page = nullptr;
    int calls = 0, completed = 0;
};

} // namespace

TEST(PropertySheetModeless, RefusedPageRaisesAFaultThatTheWindowProcedureCatches)
{
    DialogTemplate tmpl(L"page", WS_CHILD | WS_CAPTION | DS_CONTROL);
    std::vector<std::string> log;
    PropertySheet sheet("refuse", nullptr);
    RecordingPage page(tmpl.Get(), "p", &log, "page");
    sheet.AddPage(&page);
    ASSERT_TRUE(sheet.CreateModeless(0));
    // A page naming a dialog resource this program does not have.
    RecordingPage missing(tmpl.Get(), "missing", &log, "missing");
    missing.PageInfo().dwFlags &= ~static_cast<DWORD>(PSP_DLGINDIRECT);
    missing.PageInfo().pszTemplate = MAKEINTRESOURCEA(31999);
    PageAdder adder;
    ASSERT_TRUE(adder.CreateEx(TestClassName(), "adder", WS_POPUP, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr));
    adder.sheet = &sheet;
    adder.page = &missing;
    EXPECT_EQ(SendMessageA(adder.Handle(), WM_COMMAND, 1, 0), 0);
    EXPECT_EQ(adder.calls, 1);
    EXPECT_EQ(adder.completed, 0);
    EXPECT_EQ(sheet.Pages().size(), 1u);
    // An acceptable page still goes in afterwards.
    RecordingPage good(tmpl.Get(), "good", &log, "good");
    adder.page = &good;
    SendMessageA(adder.Handle(), WM_COMMAND, 1, 0);
    EXPECT_EQ(adder.completed, 1);
    EXPECT_EQ(sheet.Pages().size(), 2u);
    adder.Destroy();
    sheet.End(0);
    DrainQueue();
}

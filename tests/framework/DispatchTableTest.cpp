// Every routed message reaches its handler with its arguments unpacked
// as the window layer promises: one table of (message, wParam, lParam) and
// the call the handler must see.
#include <windows.h>
#include <shellapi.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"
#include "framework/DeviceContext.h"
#include "framework/Menu.h"
#include "framework/Window.h"

namespace {

// Window arguments are logged as "self", "null" or "other" (a temporary).
class LoggingWindow : public Window {
  public:
    std::string Name(Window* w) const
    {
        if (!w) return "null";
        return w->Handle() == Handle() ? "self" : "other";
    }
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        char text[160];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof(text), format, args);
        va_end(args);
        log.push_back(text);
    }

    void OnHotKey(int id, UINT modifiers, UINT key) override { Log("OnHotKey %d %u %u", id, modifiers, key); }
    void OnAppCommand(Window* w, short command, WORD device, WORD keys) override
    {
        Log("OnAppCommand %s %d %u %u", Name(w).c_str(), command, device, keys);
    }
    BOOL OnSetCursor(Window* w, UINT hit, UINT mouse) override
    {
        Log("OnSetCursor %s %u %u", Name(w).c_str(), hit, mouse);
        return TRUE;
    }
    void OnSettingChange(WPARAM w, LPARAM l) override { Log("OnSettingChange %u %d", unsigned(w), int(l)); }
    void OnChangeCbChain(Window* removed, Window* next) override
    {
        Log("OnChangeCbChain %s %s", Name(removed).c_str(), Name(next).c_str());
    }
    HBRUSH OnCtlColor(DeviceContext* dc, Window* control, UINT kind) override
    {
        Log("OnCtlColor %s %s %u", dc && dc->Handle() ? "dc" : "nodc", Name(control).c_str(), kind);
        return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(0x1000 + kind));
    }
    BOOL OnEraseBkgnd(DeviceContext* dc) override
    {
        Log("OnEraseBkgnd %s", dc && dc->Handle() ? "dc" : "nodc");
        return 5;
    }
    void OnShowWindow(BOOL show, UINT status) override { Log("OnShowWindow %d %u", show, status); }
    void OnMenuSelect(UINT item, UINT flags, Menu* menu) override
    {
        Log("OnMenuSelect %u %#x %s", item, flags, menu ? "menu" : "nomenu");
    }
    BOOL OnNotify(int id, NMHDR* header, LRESULT* result) override
    {
        Log("OnNotify %d %d", id, header ? static_cast<int>(header->code) : 0);
        *result = 77;
        return TRUE;
    }
    void OnEnterIdle(UINT reason, Window* w) override { Log("OnEnterIdle %u %s", reason, Name(w).c_str()); }
    void OnSysCommand(UINT command, int x, int y) override { Log("OnSysCommand %#x %d %d", command, x, y); }
    void OnContextMenu(Window* w, int x, int y) override { Log("OnContextMenu %s %d %d", Name(w).c_str(), x, y); }
    void OnActivate(UINT state, Window* other, BOOL minimized) override
    {
        Log("OnActivate %u %s %d", state, Name(other).c_str(), minimized);
    }
    void OnSize(UINT type, int width, int height) override { Log("OnSize %u %d %d", type, width, height); }
    void OnInitMenuPopup(Menu* menu, UINT index, BOOL system) override
    {
        Log("OnInitMenuPopup %s %u %d", menu ? "menu" : "nomenu", index, system);
    }
    void OnInitMenu(Menu* menu) override { Log("OnInitMenu %s", menu ? "menu" : "nomenu"); }
    void OnDropFiles(HDROP drop) override { Log("OnDropFiles %d", static_cast<int>(reinterpret_cast<INT_PTR>(drop))); }
    void OnMouseMove(UINT keys, int x, int y) override { Log("OnMouseMove %u %d %d", keys, x, y); }
    void OnLButtonDown(UINT keys, int x, int y) override { Log("OnLButtonDown %u %d %d", keys, x, y); }
    void OnRButtonDown(UINT keys, int x, int y) override { Log("OnRButtonDown %u %d %d", keys, x, y); }
    void OnMButtonDown(UINT keys, int x, int y) override { Log("OnMButtonDown %u %d %d", keys, x, y); }
    void OnLButtonUp(UINT keys, int x, int y) override { Log("OnLButtonUp %u %d %d", keys, x, y); }
    void OnRButtonUp(UINT keys, int x, int y) override { Log("OnRButtonUp %u %d %d", keys, x, y); }
    void OnMButtonUp(UINT keys, int x, int y) override { Log("OnMButtonUp %u %d %d", keys, x, y); }
    void OnLButtonDblClk(UINT keys, int x, int y) override { Log("OnLButtonDblClk %u %d %d", keys, x, y); }
    void OnRButtonDblClk(UINT keys, int x, int y) override { Log("OnRButtonDblClk %u %d %d", keys, x, y); }
    void OnMButtonDblClk(UINT keys, int x, int y) override { Log("OnMButtonDblClk %u %d %d", keys, x, y); }
    void OnSysColorChange() override { Log("OnSysColorChange"); }
    void OnVScroll(UINT code, int position, Window* bar) override
    {
        Log("OnVScroll %u %d %s", code, position, Name(bar).c_str());
    }
    void OnHScroll(UINT code, int position, Window* bar) override
    {
        Log("OnHScroll %u %d %s", code, position, Name(bar).c_str());
    }
    void OnDrawItem(UINT id, DRAWITEMSTRUCT* item, DeviceContext* dc) override
    {
        Log("OnDrawItem %u %u %s", id, item ? item->itemID : 0u, dc && dc->Handle() ? "dc" : "nodc");
    }
    void OnMeasureItem(UINT id, MEASUREITEMSTRUCT* item) override
    {
        Log("OnMeasureItem %u %u", id, item ? item->itemID : 0u);
        if (item) item->itemHeight = 19;
    }
    void OnDeleteItem(UINT id, DELETEITEMSTRUCT* item) override
    {
        Log("OnDeleteItem %u %u", id, item ? item->itemID : 0u);
    }
    void OnWindowPosChanging(WINDOWPOS* pos) override { Log("OnWindowPosChanging %d", pos ? pos->x : -1); }
    void OnWindowPosChanged(WINDOWPOS* pos) override { Log("OnWindowPosChanged %d", pos ? pos->x : -1); }
    void OnDrawClipboard() override { Log("OnDrawClipboard"); }

    std::vector<std::string> log;
};

} // namespace

TEST(WindowDispatchTable, EveryRoutedMessageReachesItsHandlerWithItsArguments)
{
    LoggingWindow window;
    ASSERT_TRUE(window.CreateEx(TestClassName(), "table", WS_POPUP, 0, 0, 0, 50, 50, nullptr, nullptr, nullptr));
    HWND self = window.Handle();
    HWND other = GetDesktopWindow();
    HDC dc = GetDC(self);
    Menu menu;
    ASSERT_TRUE(menu.CreatePopup());
    HMENU hmenu = menu.Handle();
    auto W = [](HWND h) { return reinterpret_cast<WPARAM>(h); };
    auto L = [](HWND h) { return reinterpret_cast<LPARAM>(h); };
    auto XY = [](int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); };
    NMHDR header{self, 12, static_cast<UINT>(-202)};
    DRAWITEMSTRUCT draw{};
    draw.itemID = 4;
    draw.hDC = dc;
    MEASUREITEMSTRUCT measure{};
    measure.itemID = 6;
    DELETEITEMSTRUCT removed{};
    removed.itemID = 8;
    WINDOWPOS pos{};
    pos.x = 33;

    struct Row {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* expected;
        LRESULT result; // what the window procedure answers with the handler above
    } rows[] = {
        {WM_HOTKEY, 9, MAKELPARAM(MOD_CONTROL, 'K'), "OnHotKey 9 2 75", 0},
        // Command in the high word with the device bits, key state in the low word.
        {WM_APPCOMMAND, W(self), MAKELPARAM(MK_SHIFT, APPCOMMAND_VOLUME_UP | FAPPCOMMAND_MOUSE),
         "OnAppCommand self 10 32768 4", 1},
        {WM_SETCURSOR, W(other), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), "OnSetCursor other 1 512", TRUE},
        {WM_SETTINGCHANGE, 47, 0, "OnSettingChange 47 0", -1},
        {WM_CHANGECBCHAIN, W(self), 0, "OnChangeCbChain self null", 0},
        {WM_DRAWCLIPBOARD, 0, 0, "OnDrawClipboard", 0},
        {WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), L(other), "OnCtlColor dc other 1", 0x1001},
        {WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), L(other), "OnCtlColor dc other 2", 0x1002},
        {WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), L(other), "OnCtlColor dc other 3", 0x1003},
        {WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), L(self), "OnCtlColor dc self 4", 0x1004},
        {WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(dc), L(other), "OnCtlColor dc other 5", 0x1005},
        {WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), L(other), "OnCtlColor dc other 6", 0x1006},
        {WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0, "OnEraseBkgnd dc", 5},
        {WM_SHOWWINDOW, TRUE, SW_PARENTOPENING, "OnShowWindow 1 3", 0},
        {WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos), "OnWindowPosChanging 33", 0},
        {WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos), "OnWindowPosChanged 33", 0},
        {WM_MENUSELECT, MAKEWPARAM(40011, MF_POPUP | MF_HILITE), reinterpret_cast<LPARAM>(hmenu),
         "OnMenuSelect 40011 0x90 menu", -1},
        {WM_NOTIFY, 12, reinterpret_cast<LPARAM>(&header), "OnNotify 12 -202", 77},
        {WM_ENTERIDLE, MSGF_MENU, L(other), "OnEnterIdle 2 other", -1},
        {WM_SYSCOMMAND, SC_KEYMENU, XY(-5, 7), "OnSysCommand 0xf100 -5 7", 0},
        {WM_CONTEXTMENU, 0, XY(-1, -1), "OnContextMenu null -1 -1", -1},
        {WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), L(other), "OnActivate 2 other 1", -1},
        {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(300, 200), "OnSize 2 300 200", -1},
        {WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hmenu), MAKELPARAM(3, 1), "OnInitMenuPopup menu 3 1", -1},
        {WM_INITMENU, reinterpret_cast<WPARAM>(hmenu), 0, "OnInitMenu menu", -1},
        {WM_DROPFILES, 0x4321, 0, "OnDropFiles 17185", -1},
        {WM_MOUSEMOVE, MK_LBUTTON, XY(-3, 40000 - 65536), "OnMouseMove 1 -3 -25536", -1},
        {WM_LBUTTONDOWN, MK_LBUTTON, XY(1, 2), "OnLButtonDown 1 1 2", -1},
        {WM_RBUTTONDOWN, MK_RBUTTON, XY(3, 4), "OnRButtonDown 2 3 4", -1},
        {WM_MBUTTONDOWN, MK_MBUTTON, XY(5, 6), "OnMButtonDown 16 5 6", -1},
        {WM_LBUTTONUP, 0, XY(7, 8), "OnLButtonUp 0 7 8", -1},
        {WM_RBUTTONUP, 0, XY(9, 10), "OnRButtonUp 0 9 10", -1},
        {WM_MBUTTONUP, 0, XY(11, 12), "OnMButtonUp 0 11 12", -1},
        {WM_LBUTTONDBLCLK, MK_CONTROL, XY(13, 14), "OnLButtonDblClk 8 13 14", -1},
        {WM_RBUTTONDBLCLK, MK_SHIFT, XY(15, 16), "OnRButtonDblClk 4 15 16", -1},
        {WM_MBUTTONDBLCLK, 0, XY(-17, 18), "OnMButtonDblClk 0 -17 18", -1},
        {WM_SYSCOLORCHANGE, 0, 0, "OnSysColorChange", -1},
        {WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(-12)), L(other), "OnVScroll 5 -12 other", -1},
        {WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0, "OnHScroll 1 0 null", -1},
        {WM_DRAWITEM, 21, reinterpret_cast<LPARAM>(&draw), "OnDrawItem 21 4 dc", 0},
        {WM_MEASUREITEM, 22, reinterpret_cast<LPARAM>(&measure), "OnMeasureItem 22 6", 0},
        {WM_DELETEITEM, 23, reinterpret_cast<LPARAM>(&removed), "OnDeleteItem 23 8", 0},
    };
    for (const Row& row : rows) {
        window.log.clear();
        LRESULT result = SendMessageA(self, row.message, row.wParam, row.lParam);
        ASSERT_FALSE(window.log.empty()) << "no handler for " << row.expected;
        EXPECT_EQ(window.log.front(), row.expected);
        if (row.result != -1) {
            EXPECT_EQ(result, row.result) << row.expected;
        }
    }
    EXPECT_EQ(measure.itemHeight, 19u);
    ReleaseDC(self, dc);
    window.Destroy();
}

namespace {

// Handlers that keep the defaults: the messages go on to DefWindowProcA.
class DefaultsWindow : public Window {};

} // namespace

TEST(WindowDispatchTable, DefaultHandlersLeaveTheAnswerToDefWindowProc)
{
    DefaultsWindow window;
    ASSERT_TRUE(
        window.CreateEx(TestClassName(), "defaults", WS_OVERLAPPEDWINDOW, 0, 0, 0, 80, 60, nullptr, nullptr, nullptr));
    HWND self = window.Handle();
    HDC dc = GetDC(self);
    // The same messages to a window of the system's own, as the reference.
    HWND reference = CreateWindowExA(0, "STATIC", "ref", WS_OVERLAPPEDWINDOW, 0, 0, 80, 60, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(reference);
    struct Row {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } rows[] = {
        {WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), 0},
        {WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), 0},
        {WM_SETCURSOR, reinterpret_cast<WPARAM>(self), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)},
        {WM_NOTIFY, 0, 0},
    };
    for (const Row& row : rows) {
        LRESULT ours = SendMessageA(self, row.message, row.wParam, row.lParam);
        LRESULT direct = DefWindowProcA(self, row.message, row.wParam, row.lParam);
        EXPECT_EQ(ours, direct) << "message " << row.message;
    }
    // Activation by DefWindowProcA answers MA_ACTIVATE; the hit test of a
    // point on the caption is the caption's.
    RECT rect;
    GetWindowRect(self, &rect);
    LPARAM caption = MAKELPARAM(rect.left + 30, rect.top + 5);
    EXPECT_EQ(SendMessageA(self, WM_NCHITTEST, 0, caption), DefWindowProcA(self, WM_NCHITTEST, 0, caption));
    ReleaseDC(self, dc);
    DestroyWindow(reference);
    window.Destroy();
}

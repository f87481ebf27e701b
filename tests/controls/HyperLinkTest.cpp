// The hyperlink control in a dialog made from a resource template, under
// Wine: its colours are read from the pixels it painted, its notification
// from what the dialog received.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "ControlsTestDialog.h"
#include "ControlsTestIds.h"
#include "framework/HyperLink.h"

namespace {

const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kPurple = RGB(128, 0, 128);

struct Colours {
    std::size_t blue, red, purple;
};

// Paints the link now and counts its text pixels of each colour. No message
// is taken from the queue, so the hover timer cannot step in between.
Colours Painted(HWND link)
{
    UpdateWindow(link);
    PaintedPixels pixels(link);
    return {pixels.Count(kBlue), pixels.Count(kRed), pixels.Count(kPurple)};
}

LPARAM ClientPoint(int x, int y)
{
    return MAKELPARAM(x, y);
}

POINT CentreOnScreen(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Puts the real cursor somewhere and checks that the system took it there.
void MoveCursorTo(POINT p)
{
    ASSERT_TRUE(SetCursorPos(p.x, p.y));
    POINT now{};
    ASSERT_TRUE(GetCursorPos(&now));
    ASSERT_EQ(p.x, now.x);
    ASSERT_EQ(p.y, now.y);
}

// The bottom-right pixel of the screen, far from the test dialog at the top left.
POINT FarCorner()
{
    return {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
}

class HyperLinkTest : public testing::Test {
  protected:
    void SetUp() override
    {
        // Keeps the real cursor away from the links while moves are sent by hand.
        MoveCursorTo(FarCorner());
        ASSERT_TRUE(dialog.Handle());
        link = dialog.Item(IDC_LINK);
        ASSERT_TRUE(link);
    }
    ControlsTestDialog dialog{IDD_CONTROLS_TEST};
    HWND link = nullptr;
};

TEST_F(HyperLinkTest, AnEmptyTextGivesTheDefaultAddressPaintedBlue)
{
    HWND empty = dialog.Item(IDC_DEFAULT_LINK);
    char text[400] = {};
    GetWindowTextA(empty, text, sizeof text);
    EXPECT_STREQ(kHyperLinkDefaultText, text);
    Colours c = Painted(empty);
    EXPECT_GT(c.blue, 10u);
    EXPECT_EQ(0u, c.red);
    EXPECT_EQ(0u, c.purple);
}

TEST_F(HyperLinkTest, MouseMovesPaintItRedInsideAndBlueOutside)
{
    Colours normal = Painted(link);
    EXPECT_GT(normal.blue, 10u);
    EXPECT_EQ(0u, normal.red);

    SendMessageA(link, WM_MOUSEMOVE, 0, ClientPoint(5, 5));
    EXPECT_EQ(link, GetCapture());
    Colours hot = Painted(link);
    EXPECT_GT(hot.red, 10u);
    EXPECT_EQ(0u, hot.blue);

    SendMessageA(link, WM_MOUSEMOVE, 0, ClientPoint(-3, 5));
    EXPECT_EQ(nullptr, GetCapture());
    Colours back = Painted(link);
    EXPECT_GT(back.blue, 10u);
    EXPECT_EQ(0u, back.red);
    EXPECT_TRUE(dialog.commands.empty());
}

TEST_F(HyperLinkTest, TheTimerLightsItUnderTheCursorOnlyWhileTheParentIsEnabled)
{
    MoveCursorTo(CentreOnScreen(link));
    EnableWindow(dialog.Handle(), FALSE);
    SendMessageA(link, WM_TIMER, kHyperLinkTimer, 0);
    Colours behindModal = Painted(link);
    EXPECT_EQ(0u, behindModal.red);
    EXPECT_GT(behindModal.blue, 10u);

    EnableWindow(dialog.Handle(), TRUE);
    SendMessageA(link, WM_TIMER, kHyperLinkTimer, 0);
    Colours hot = Painted(link);
    EXPECT_GT(hot.red, 10u);

    // Another timer's tick is not the hover timer's.
    MoveCursorTo(FarCorner());
    SendMessageA(link, WM_TIMER, kHyperLinkTimer + 1, 0);
    EXPECT_GT(Painted(link).red, 10u);
    SendMessageA(link, WM_TIMER, kHyperLinkTimer, 0);
    Colours left = Painted(link);
    EXPECT_EQ(0u, left.red);
    EXPECT_GT(left.blue, 10u);
}

TEST_F(HyperLinkTest, AClickNotifiesTheParentAndLeavesItPurpleForGood)
{
    SendMessageA(link, WM_MOUSEMOVE, 0, ClientPoint(5, 5));
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(5, 5));
    SendMessageA(link, WM_LBUTTONUP, 0, ClientPoint(5, 5));
    ASSERT_EQ(1u, dialog.commands.size());
    EXPECT_EQ(MAKEWPARAM(IDC_LINK, 0), dialog.commands[0].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(link), dialog.commands[0].lParam);
    Colours visited = Painted(link);
    EXPECT_GT(visited.purple, 10u);
    EXPECT_EQ(0u, visited.red);
    EXPECT_EQ(0u, visited.blue);

    // Hovering still shows red; leaving shows purple again, not blue.
    SendMessageA(link, WM_MOUSEMOVE, 0, ClientPoint(6, 5));
    EXPECT_GT(Painted(link).red, 10u);
    SendMessageA(link, WM_MOUSEMOVE, 0, ClientPoint(-1, -1));
    Colours after = Painted(link);
    EXPECT_GT(after.purple, 10u);
    EXPECT_EQ(0u, after.blue);
    EXPECT_EQ(0u, after.red);
}

TEST_F(HyperLinkTest, OwnColoursAndAnOpaqueBackgroundUnderAClippingParent)
{
    const COLORREF background = RGB(0, 255, 0), normal = RGB(0, 96, 0);
    EXPECT_TRUE(SetLinkColors(link, background, normal, RGB(200, 0, 0), RGB(0, 0, 96)));
    UpdateWindow(link);
    PaintedPixels transparent(link);
    EXPECT_GT(transparent.Count(normal), 10u);
    // Under a parent that does not clip its children the text is drawn
    // transparently over what the parent painted.
    EXPECT_EQ(0u, transparent.Count(background));

    ControlsTestDialog clipping(IDD_CONTROLS_CLIP);
    HWND clipped = clipping.Item(IDC_LINK);
    ASSERT_TRUE(clipped);
    EXPECT_TRUE(SetLinkColors(clipped, background, normal, RGB(200, 0, 0), RGB(0, 0, 96)));
    UpdateWindow(clipped);
    PaintedPixels opaque(clipped);
    EXPECT_EQ(background, opaque.At(0, 0));
    EXPECT_EQ(background, opaque.At(opaque.Width() - 1, opaque.Height() - 1));
    EXPECT_GT(opaque.Count(normal), 5u);

    // Not a hyperlink: nothing stored.
    EXPECT_FALSE(SetLinkColors(dialog.Item(IDOK), 0, 0, 0, 0));
    EXPECT_FALSE(SetLinkCursor(dialog.Item(IDOK), nullptr));
}

TEST_F(HyperLinkTest, SizesItselfToItsTextInTheParentsFont)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog.Handle(), WM_GETFONT, 0, 0));
    ASSERT_TRUE(font);
    const char* text = "おすとらのページ";
    HDC dc = GetDC(link);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(link, dc);

    RECT before;
    GetWindowRect(link, &before);
    ASSERT_TRUE(SizeLinkToText(link));
    RECT after;
    GetWindowRect(link, &after);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(extent.cx, after.right - after.left);
    EXPECT_EQ(metrics.tmHeight, after.bottom - after.top);

    const RECT box{11, 20, 311, 81}; // 300 by 61, client coordinates of the dialog
    ASSERT_TRUE(CenterLinkInRect(link, box));
    RECT placed;
    GetWindowRect(link, &placed);
    MapWindowPoints(nullptr, dialog.Handle(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(11 + (300 - extent.cx) / 2, placed.left);
    EXPECT_EQ(20 + (61 - metrics.tmHeight) / 2, placed.top);
    EXPECT_EQ(extent.cx, placed.right - placed.left);
}

TEST_F(HyperLinkTest, ShowsItsCursorAndDestroysAStoredOneWithItself)
{
    SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), GetCursor());

    const BYTE andMask[4 * 32] = {}, xorMask[4 * 32] = {};
    HCURSOR own = CreateCursor(GetModuleHandleA(nullptr), 0, 0, 32, 32, andMask, xorMask);
    ASSERT_TRUE(own);
    EXPECT_TRUE(SetLinkCursor(link, own));
    SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(own, GetCursor());
    SetCursor(LoadCursor(nullptr, IDC_ARROW));

    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(own, &info));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    DestroyWindow(link);
    EXPECT_FALSE(GetIconInfo(own, &info));
}

} // namespace

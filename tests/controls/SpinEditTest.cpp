// The spin edit control in a dialog made from a resource template, under
// Wine, driven through its edit box, its arrows and its messages.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "ControlsTestDialog.h"
#include "ControlsTestIds.h"
#include "framework/SpinEdit.h"

namespace {

class SpinEditTest : public testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Handle());
        spin = dialog.Item(IDC_SPIN);
        ASSERT_TRUE(spin);
        edit = GetDlgItem(spin, kSpinEditEditId);
        upDown = GetDlgItem(spin, kSpinEditUpDownId);
        ASSERT_TRUE(edit);
        ASSERT_TRUE(upDown);
    }

    std::string Shown() const
    {
        char text[128] = {};
        GetWindowTextA(edit, text, sizeof text);
        return text;
    }
    void Type(const char* keys)
    {
        for (const char* k = keys; *k; ++k)
            SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*k), 1);
    }
    void SelectAll() { SendMessageA(edit, EM_SETSEL, 0, -1); }
    // Down and up, so the up-down control's key repeat ends at once.
    void PressKey(UINT key)
    {
        SendMessageA(edit, WM_KEYDOWN, key, 1);
        SendMessageA(edit, WM_KEYUP, key, 0xC0000001);
    }
    // Every notification so far must carry the control's id, 0 and the dialog's item.
    void ExpectNotificationsWellFormed() const
    {
        for (const CommandRecord& c : dialog.commands) {
            EXPECT_EQ(MAKEWPARAM(IDC_SPIN, 0), c.wParam);
            EXPECT_EQ(reinterpret_cast<LPARAM>(spin), c.lParam);
        }
    }

    ControlsTestDialog dialog{IDD_CONTROLS_TEST};
    HWND spin = nullptr, edit = nullptr, upDown = nullptr;
};

TEST_F(SpinEditTest, StartsAtZeroWithItsArrowsInsideTheEditBox)
{
    EXPECT_EQ("0", Shown());
    EXPECT_EQ(0, SpinEdit_GetPos(spin));
    RECT spinRect, editRect, arrows;
    GetWindowRect(spin, &spinRect);
    GetWindowRect(edit, &editRect);
    GetWindowRect(upDown, &arrows);
    EXPECT_EQ(spinRect.left, editRect.left);
    EXPECT_EQ(spinRect.top, editRect.top);
    // The arrows sit inside the edit box's sunken edge.
    EXPECT_LE(arrows.right, spinRect.right);
    EXPECT_GE(arrows.right, spinRect.right - 2 * GetSystemMetrics(SM_CXEDGE));
    EXPECT_GT(arrows.left, spinRect.left);
    EXPECT_EQ(reinterpret_cast<LRESULT>(edit), SendMessageA(upDown, UDM_GETBUDDY, 0, 0));

    // The children follow the control's enabled state; the focus goes to the edit box.
    EnableWindow(spin, FALSE);
    EXPECT_FALSE(IsWindowEnabled(edit));
    EXPECT_FALSE(IsWindowEnabled(upDown));
    EnableWindow(spin, TRUE);
    EXPECT_TRUE(IsWindowEnabled(edit));
    EXPECT_TRUE(IsWindowEnabled(upDown));
    SetFocus(spin);
    EXPECT_EQ(edit, GetFocus());
}

TEST_F(SpinEditTest, TypingIsCheckedAgainstTheNumberAndTheRange)
{
    ASSERT_TRUE(SpinEdit_SetRange(spin, 0, 100));
    ASSERT_TRUE(SpinEdit_SetPos(spin, 42));
    dialog.commands.clear();

    // "12a": the letter is refused and the value set before comes back.
    SelectAll();
    Type("12");
    EXPECT_EQ("12", Shown());
    EXPECT_EQ(LOWORD(SendMessageA(upDown, UDM_GETPOS, 0, 0)), 12);
    EXPECT_GE(dialog.commands.size(), 2u); // one per good keystroke at least
    Type("a");
    EXPECT_EQ("42", Shown());
    EXPECT_EQ(42, SpinEdit_GetPos(spin));

    // Above the maximum: the maximum is shown and kept.
    SetWindowTextA(edit, "150");
    EXPECT_EQ("100", Shown());
    EXPECT_EQ(100, SpinEdit_GetPos(spin));

    // A lone "-" is refused while the minimum is 0 ...
    SetWindowTextA(edit, "-");
    EXPECT_EQ("100", Shown());

    // ... and waits for its digits while negative numbers are allowed.
    ASSERT_TRUE(SpinEdit_SetRange(spin, -10, 10));
    EXPECT_EQ("10", Shown());
    SelectAll();
    Type("-");
    EXPECT_EQ("-", Shown());
    Type("7");
    EXPECT_EQ("-7", Shown());
    EXPECT_EQ(-7, SpinEdit_GetPos(spin));
    SelectAll();
    Type("-3");
    EXPECT_EQ("-3", Shown());
    // Below the minimum: the minimum.
    Type("0");
    EXPECT_EQ("-10", Shown());
    EXPECT_EQ(-10, SpinEdit_GetPos(spin));

    ExpectNotificationsWellFormed();
    EXPECT_GE(dialog.commands.size(), 8u);
}

TEST_F(SpinEditTest, LeavingAnEmptyOrUnfinishedTextPutsTheValueBack)
{
    ASSERT_TRUE(SpinEdit_SetRange(spin, -10, 100));
    ASSERT_TRUE(SpinEdit_SetPos(spin, 33));
    SetFocus(edit);
    ASSERT_EQ(edit, GetFocus());
    SetWindowTextA(edit, "-");
    EXPECT_EQ("-", Shown());
    SetFocus(dialog.Item(IDOK));
    EXPECT_EQ("33", Shown());
    DWORD start = 1, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(2u, end);

    // An emptied box means 0, which lies below this range: the minimum.
    ASSERT_TRUE(SpinEdit_SetRange(spin, 5, 100));
    SetFocus(edit);
    SetWindowTextA(edit, "");
    EXPECT_EQ("5", Shown());
    EXPECT_EQ(5, SpinEdit_GetPos(spin));

    // A good number stays when the box is left.
    SetFocus(edit);
    SetWindowTextA(edit, "8");
    SetFocus(dialog.Item(IDOK));
    EXPECT_EQ("8", Shown());
}

TEST_F(SpinEditTest, ArrowsStepInsideTheRangeAndStopAtItsEnds)
{
    ASSERT_TRUE(SpinEdit_SetRange(spin, 0, 100));
    ASSERT_TRUE(SpinEdit_SetPos(spin, 99));
    dialog.commands.clear();
    PressKey(VK_UP);
    EXPECT_EQ("100", Shown());
    EXPECT_EQ(100, SpinEdit_GetPos(spin));
    EXPECT_FALSE(dialog.commands.empty());
    ExpectNotificationsWellFormed();

    // At the maximum the step is refused: the value stays, nobody is told.
    dialog.commands.clear();
    PressKey(VK_UP);
    EXPECT_EQ("100", Shown());
    EXPECT_EQ(100, SpinEdit_GetPos(spin));
    EXPECT_TRUE(dialog.commands.empty());

    PressKey(VK_DOWN);
    EXPECT_EQ("99", Shown());
    EXPECT_EQ(99, SpinEdit_GetPos(spin));
    ExpectNotificationsWellFormed();

    ASSERT_TRUE(SpinEdit_SetPos(spin, 0));
    dialog.commands.clear();
    PressKey(VK_DOWN);
    EXPECT_EQ("0", Shown());
    EXPECT_TRUE(dialog.commands.empty());

    // The arrow buttons themselves: a click on the upper half steps up.
    RECT arrows;
    GetClientRect(upDown, &arrows);
    LPARAM upper = MAKELPARAM(arrows.right / 2, arrows.bottom / 4);
    SendMessageA(upDown, WM_LBUTTONDOWN, MK_LBUTTON, upper);
    SendMessageA(upDown, WM_LBUTTONUP, 0, upper);
    EXPECT_EQ("1", Shown());
    EXPECT_EQ(1, SpinEdit_GetPos(spin));
}

TEST_F(SpinEditTest, RangeAndPositionMessagesRefuseWhatDoesNotFit)
{
    ASSERT_TRUE(SpinEdit_SetRange(spin, 0, 100));
    ASSERT_TRUE(SpinEdit_SetPos(spin, 50));

    // An upside-down range changes nothing.
    EXPECT_FALSE(SpinEdit_SetRange(spin, 5, 3));
    EXPECT_EQ("50", Shown());
    EXPECT_EQ(50, SpinEdit_GetPos(spin));
    EXPECT_TRUE(SpinEdit_SetPos(spin, 100)); // the old range still holds
    EXPECT_TRUE(SpinEdit_SetPos(spin, 50));

    // A smaller range pulls the value to its nearer end.
    EXPECT_TRUE(SpinEdit_SetRange(spin, 0, 10));
    EXPECT_EQ("10", Shown());
    EXPECT_EQ(10, SpinEdit_GetPos(spin));
    EXPECT_EQ(MAKELONG(10, 0), SendMessageA(upDown, UDM_GETRANGE, 0, 0));
    EXPECT_TRUE(SpinEdit_SetRange(spin, 20, 30));
    EXPECT_EQ("20", Shown());

    // Positions outside the range are refused.
    EXPECT_FALSE(SpinEdit_SetPos(spin, 31));
    EXPECT_FALSE(SpinEdit_SetPos(spin, 19));
    EXPECT_EQ("20", Shown());
    EXPECT_TRUE(SpinEdit_SetPos(spin, 30));
    EXPECT_EQ("30", Shown());
    EXPECT_EQ(30, SpinEdit_GetPos(spin));

    // Negative ranges and values keep their sign through the messages.
    EXPECT_TRUE(SpinEdit_SetRange(spin, -50, -5));
    EXPECT_EQ("-5", Shown());
    EXPECT_TRUE(SpinEdit_SetPos(spin, -42));
    EXPECT_EQ("-42", Shown());
    EXPECT_EQ(-42, SpinEdit_GetPos(spin));

    // The raw messages answer as the wrappers do.
    EXPECT_EQ(FALSE, SendMessageA(spin, SEM_SETRANGE, 9, 1));
    EXPECT_EQ(TRUE, SendMessageA(spin, SEM_SETPOS, static_cast<WPARAM>(-6), 0));
    EXPECT_EQ(-6, static_cast<int>(SendMessageA(spin, SEM_GETPOS, 0, 0)));

    // Not a spin edit, or no longer one: nothing.
    EXPECT_FALSE(SpinEdit_SetRange(dialog.Item(IDOK), 0, 1));
    DestroyWindow(spin);
    EXPECT_EQ(0, SpinEdit_GetPos(spin));
}

} // namespace

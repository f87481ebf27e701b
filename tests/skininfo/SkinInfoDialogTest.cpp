// The skin information dialog under Wine: real "profile.txt" files in
// Shift_JIS, read back from the dialog's edit control while it runs modally.
#include <windows.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "harness/ModalDriver.h"
#include "harness/TestEnv.h"
#include "skin/SkinInfoDialog.h"
#include "skin/SkinInfoResource.h"

namespace {

class SkinInfoTestApplication : public Application {
} g_app;

const char kCaption[] = "スキンの情報";

struct Shown {
    std::string text;
    LRESULT length = -1;
    LONG_PTR editStyle = 0;
    DWORD selectionStart = 1, selectionEnd = 0;
    RECT frame{};
};

// Runs the dialog for 'folder' over 'owner' and reads what it shows.
Shown Show(const std::string& folder, HWND owner, INT_PTR* result = nullptr)
{
    Shown shown;
    INT_PTR ended;
    {
        ModalDriver driver(kCaption, [&](ModalDriver& d) {
            HWND edit = d.Item(IDC_SKIN_INFO_TEXT);
            shown.length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
            if (shown.length >= 0 && shown.length < 65536) shown.text = ModalDriver::Text(edit);
            shown.editStyle = GetWindowLongPtrA(edit, GWL_STYLE);
            SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&shown.selectionStart),
                         reinterpret_cast<LPARAM>(&shown.selectionEnd));
            GetWindowRect(d.Dialog(), &shown.frame);
            ModalDriver::Click(d.Item(IDOK));
        });
        SkinInfoDialog dialog(folder);
        ended = dialog.Run(owner);
    }
    if (result) *result = ended;
    return shown;
}

class SkinInfoDialogTest : public testing::Test {
  protected:
    void SetUp() override
    {
        owner = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 300, 200, 400, 300, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(owner);
    }
    void TearDown() override { DestroyWindow(owner); }
    HWND owner = nullptr;
};

TEST_F(SkinInfoDialogTest, ShowsAJapaneseProfileReadOnlyCentredOverItsOwner)
{
    std::string folder = testenv::FreshDir("うさぎ");
    const std::string profile = "スキン名：うさぎ\r\n作者：表示テスト\r\n\r\nソ連の能力を表示\\する。\r\n";
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "profile.txt"), profile));
    INT_PTR result = 0;
    Shown shown = Show(folder, owner, &result);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(profile, shown.text);
    EXPECT_TRUE(shown.editStyle & ES_READONLY);
    EXPECT_TRUE(shown.editStyle & ES_MULTILINE);
    EXPECT_TRUE(shown.editStyle & WS_VSCROLL);
    EXPECT_EQ(shown.selectionStart, shown.selectionEnd); // nothing selected
    // Centred over the owner at 300,200 400 by 300.
    EXPECT_LE(std::abs(shown.frame.left + shown.frame.right - 1000), 1);
    EXPECT_LE(std::abs(shown.frame.top + shown.frame.bottom - 700), 1);
}

TEST_F(SkinInfoDialogTest, AMissingEmptyOrLockedProfileShowsAnEmptyField)
{
    std::string folder = testenv::FreshDir("empty");
    EXPECT_EQ(0, Show(folder, owner).length); // no file

    std::string path = testenv::Join(folder, "profile.txt");
    ASSERT_TRUE(testenv::WriteFile(path, ""));
    EXPECT_EQ(0, Show(folder, owner).length);

    // Someone is writing the file: read access that shares reading only is refused.
    ASSERT_TRUE(testenv::WriteFile(path, "busy"));
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_EQ(0, Show(folder, owner).length);
    CloseHandle(writer);
    EXPECT_EQ("busy", Show(folder, owner).text);
}

TEST_F(SkinInfoDialogTest, AHugeProfileIsCutAtOneMebibyteOnACharacterBoundary)
{
    // "a", then lines of 40 two-byte characters: the byte at the 1 MiB mark is
    // the first half of a character, which must not be shown alone.
    std::string line;
    for (int i = 0; i < 40; ++i)
        line += "あ";
    line += "\r\n";
    std::string profile = "a";
    while (profile.size() < 3 * SkinInfoDialog::kMaxProfileBytes)
        profile += line;
    std::string folder = testenv::FreshDir("huge");
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "profile.txt"), profile));
    ASSERT_EQ(1048576u, SkinInfoDialog::kMaxProfileBytes);
    ASSERT_TRUE(IsDBCSLeadByte(static_cast<BYTE>(profile[1048575])));
    Shown shown = Show(folder, owner);
    EXPECT_EQ(1048575, shown.length);
}

TEST_F(SkinInfoDialogTest, WithoutAnOwnerItIsCentredOnTheWorkArea)
{
    std::string folder = testenv::FreshDir("ownerless");
    Shown shown = Show(folder, nullptr);
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_LE(std::abs(shown.frame.left + shown.frame.right - area.left - area.right), 1);
    EXPECT_LE(std::abs(shown.frame.top + shown.frame.bottom - area.top - area.bottom), 1);
}

} // namespace

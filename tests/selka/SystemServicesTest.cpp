// MD5 text, battery, resources, z-order and strings in global memory through
// the real selka.dll under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SelkaLibrary.h"
#include "Rfc1321Vectors.h"

namespace {

class SystemServices : public ::testing::Test {
  protected:
    SelkaLibrary selka;
    void SetUp() override { ASSERT_TRUE(selka.Complete()) << "selka.dll or one of its exports is missing"; }
};

bool Above(HWND upper, HWND lower)
{
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower) return true;
    return false;
}

HWND Popup(const char* title, DWORD exStyle = 0)
{
    return CreateWindowExA(exStyle, "STATIC", title, WS_POPUP | WS_VISIBLE, 100, 100, 50, 50, nullptr, nullptr, nullptr,
                           nullptr);
}

} // namespace

TEST_F(SystemServices, Md5DigestText)
{
    for (const auto& c : kRfc1321Suite) {
        char digest[40];
        std::memset(digest, 'X', sizeof digest);
        EXPECT_EQ(selka.GetMD5MessageDigest(c.first, static_cast<int>(std::strlen(c.first)), digest), 1);
        EXPECT_STREQ(digest, c.second);
        EXPECT_EQ(digest[33], 'X') << "wrote past the 33 bytes";
    }
    char digest[33];
    EXPECT_EQ(selka.GetMD5MessageDigest(nullptr, 0, digest), 1);
    EXPECT_STREQ(digest, "d41d8cd98f00b204e9800998ecf8427e");

    // Faults become 0: unreadable input, unwritable output, a negative length.
    void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
    void* readOnly = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY);
    ASSERT_TRUE(page && readOnly);
    EXPECT_EQ(selka.GetMD5MessageDigest(page, 10, digest), 0);
    EXPECT_EQ(selka.GetMD5MessageDigest(nullptr, 10, digest), 0);
    EXPECT_EQ(selka.GetMD5MessageDigest("abc", 3, static_cast<char*>(readOnly)), 0);
    EXPECT_EQ(selka.GetMD5MessageDigest("abc", 3, nullptr), 0);
    EXPECT_EQ(selka.GetMD5MessageDigest("abc", -1, digest), 0);
    VirtualFree(page, 0, MEM_RELEASE);
    VirtualFree(readOnly, 0, MEM_RELEASE);
}

TEST_F(SystemServices, StringToGlobalMem)
{
    int length = -7;
    HGLOBAL empty = selka.StringToGlobalMem("", &length);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(GlobalSize(empty), 1u);
    EXPECT_EQ(*static_cast<const char*>(empty), '\0');
    EXPECT_EQ(GlobalLock(empty), empty);
    GlobalUnlock(empty);
    EXPECT_EQ(GlobalFree(empty), nullptr);

    const char* text = "Z:\\スキン\\表示\\";
    HGLOBAL block = selka.StringToGlobalMem(text, &length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(length, static_cast<int>(std::strlen(text)));
    EXPECT_EQ(GlobalSize(block), std::strlen(text) + 1);
    EXPECT_STREQ(static_cast<const char*>(block), text);
    EXPECT_EQ(GlobalFree(block), nullptr);

    block = selka.StringToGlobalMem("abc", nullptr);
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(static_cast<const char*>(block), "abc");
    GlobalFree(block);
    length = 42;
    EXPECT_EQ(selka.StringToGlobalMem(nullptr, &length), nullptr);
    EXPECT_EQ(length, 42);
}

TEST_F(SystemServices, ResourcesAndBattery)
{
    for (WORD kind : {0, 1, 2, 3, 0xFFFF})
        EXPECT_EQ(selka.GetFreeSystemResources(kind), 90) << kind;

    // The library was loaded for this test: the first call reports both values.
    int state = -5, charge = -5;
    EXPECT_EQ(selka.GetBatteryStatus(&state, &charge), 1);
    EXPECT_GE(state, 0);
    EXPECT_LE(state, 2);
    EXPECT_GE(charge, 0);
    EXPECT_LE(charge, 100);
    SYSTEM_POWER_STATUS power{};
    if (GetSystemPowerStatus(&power)) {
        if (power.ACLineStatus == 0) {
            EXPECT_EQ(state, 2);
        }
        EXPECT_EQ(charge, power.BatteryLifePercent > 100 ? 100 : power.BatteryLifePercent);
    }
    // Nothing changed since: nothing written.
    int state2 = -5, charge2 = -5;
    EXPECT_EQ(selka.GetBatteryStatus(&state2, &charge2), 0);
    EXPECT_EQ(state2, -5);
    EXPECT_EQ(charge2, -5);
}

TEST_F(SystemServices, SkinZOrder)
{
    HWND host = Popup("host");
    HWND other = Popup("other");
    HWND skin = Popup("skin");
    ASSERT_TRUE(host && other && skin);

    // Not on top: directly behind the host.
    EXPECT_NE(selka.SetOstraZOrder(skin, host, 0, SWP_NOACTIVATE), 0);
    EXPECT_EQ(GetWindow(host, GW_HWNDNEXT), skin);

    // On top, the skin made topmost before: it loses topmost and comes above the host.
    SetWindowPos(skin, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(GetWindowLongA(skin, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(selka.SetOstraZOrder(skin, host, 1, SWP_NOACTIVATE), 0);
    EXPECT_FALSE(GetWindowLongA(skin, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(Above(skin, host));
    EXPECT_FALSE(Above(host, skin));

    // On top with a topmost host: the skin becomes topmost and stays above it.
    SetWindowPos(host, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_NE(selka.SetOstraZOrder(skin, host, 1, 0), 0);
    EXPECT_TRUE(GetWindowLongA(skin, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(Above(skin, host));
    SetWindowPos(host, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(skin, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // With the left button held, on top does nothing and answers the flags.
    SetWindowPos(skin, host, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(GetWindow(host, GW_HWNDNEXT), skin);
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    ASSERT_EQ(SendInput(1, &down, sizeof down), 1u);
    for (int i = 0; i < 50 && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000); ++i)
        Sleep(20);
    const bool held = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    const int result = selka.SetOstraZOrder(skin, host, 1, 0x1234);
    const HWND after = GetWindow(host, GW_HWNDNEXT);
    INPUT up = down;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &up, sizeof up);
    ASSERT_TRUE(held) << "the left button could not be held down";
    EXPECT_EQ(result, 0x1234);
    EXPECT_EQ(after, skin) << "the z-order changed while the button was held";

    DestroyWindow(skin);
    DestroyWindow(other);
    DestroyWindow(host);
}

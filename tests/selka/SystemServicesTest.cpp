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

TEST_F(SystemServices, FreeResourcesReadNinetyOnNtSystems)
{
    for (WORD kind : {0, 1, 2, 3, 0xFFFF})
        EXPECT_EQ(selka.GetFreeSystemResources(kind), 90) << kind;
}

namespace {

// What the query reports for the system's power status, by the documented
// rule: on battery 2, on mains with a battery 1, anything else 0; the charge
// 0..100, an unknown one (or a failed query) 100.
struct BatteryReading {
    int state, charge;
};

BatteryReading ExpectedReading()
{
    SYSTEM_POWER_STATUS power{};
    if (!GetSystemPowerStatus(&power)) return {0, 100};
    int state = 0;
    if (power.ACLineStatus == 0)
        state = 2;
    else if (power.ACLineStatus == 1 && !(power.BatteryFlag & 128))
        state = 1;
    return {state, power.BatteryLifePercent > 100 ? 100 : power.BatteryLifePercent};
}

} // namespace

// Whatever battery the machine has (or none): each value is the system's, read
// just before or just after the call (a charge may change in between), and is
// written once, then only when it changes. A null pointer takes nothing and
// does not count as reported.
TEST_F(SystemServices, BatteryReportsEachValueOnceAndNothingForNullPointers)
{
    // The library was loaded for this test: nothing was reported yet.
    int charge = -5;
    BatteryReading before = ExpectedReading();
    EXPECT_EQ(selka.GetBatteryStatus(nullptr, &charge), 1);
    BatteryReading after = ExpectedReading();
    EXPECT_TRUE(charge == before.charge || charge == after.charge)
        << charge << " against " << before.charge << " and " << after.charge;

    // The state, not taken by the first call, is written now; the charge is not.
    int state = -5;
    before = ExpectedReading();
    EXPECT_EQ(selka.GetBatteryStatus(&state, nullptr), 1);
    after = ExpectedReading();
    EXPECT_TRUE(state == before.state || state == after.state)
        << state << " against " << before.state << " and " << after.state;

    EXPECT_EQ(selka.GetBatteryStatus(nullptr, nullptr), 0);
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

    DestroyWindow(skin);
    DestroyWindow(other);
    DestroyWindow(host);
}

namespace {

// A small topmost window that never activates, put under the cursor wherever
// it is, so that a pressed button lands on it and on nothing else on the desktop.
LRESULT CALLBACK PadProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Waits until the button's state is known to be 'down' (or up), however long
// the system takes to take in the input: a result, not a time, ends the wait.
void WaitForLeftButton(bool down)
{
    while (((GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0) != down) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(1);
    }
}

void SendLeftButton(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// Releases the button however the test leaves, so no later test runs with it held.
struct HeldLeftButton {
    HeldLeftButton() { SendLeftButton(MOUSEEVENTF_LEFTDOWN); }
    ~HeldLeftButton() { SendLeftButton(MOUSEEVENTF_LEFTUP); }
};

} // namespace

// While the user drags with the left button, "on top" leaves the order alone
// and answers the flags it was given.
TEST_F(SystemServices, SkinZOrderWaitsWhileTheLeftButtonIsHeld)
{
    WNDCLASSA pad{};
    pad.lpfnWndProc = PadProc;
    pad.hInstance = GetModuleHandleA(nullptr);
    pad.lpszClassName = "SelkaTestPad";
    RegisterClassA(&pad);
    POINT cursor{};
    ASSERT_TRUE(GetCursorPos(&cursor));
    HWND padWindow = CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, "SelkaTestPad", "pad",
                                     WS_POPUP | WS_VISIBLE, cursor.x - 8, cursor.y - 8, 16, 16, nullptr, nullptr,
                                     pad.hInstance, nullptr);
    ASSERT_NE(padWindow, nullptr);
    ASSERT_EQ(WindowFromPoint(cursor), padWindow);

    HWND host = Popup("host");
    HWND skin = Popup("skin");
    ASSERT_TRUE(host && skin);
    SetWindowPos(skin, host, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(GetWindow(host, GW_HWNDNEXT), skin);
    {
        HeldLeftButton held;
        WaitForLeftButton(true);
        EXPECT_EQ(selka.SetOstraZOrder(skin, host, 1, 0x1234), 0x1234);
        EXPECT_EQ(GetWindow(host, GW_HWNDNEXT), skin) << "the z-order changed while the button was held";
    }
    // Released, the same call does its work.
    WaitForLeftButton(false);
    EXPECT_NE(selka.SetOstraZOrder(skin, host, 1, 0), 0);
    EXPECT_TRUE(Above(skin, host));
    DestroyWindow(skin);
    DestroyWindow(host);
    DestroyWindow(padWindow);
}

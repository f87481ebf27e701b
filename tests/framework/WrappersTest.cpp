// The thin wrappers and helpers over real handles: menus, device contexts,
// GDI objects, the notification icon and window-class registration.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"
#include "framework/DeviceContext.h"
#include "framework/GdiObject.h"
#include "framework/Menu.h"
#include "framework/NotifyIcon.h"
#include "framework/Window.h"
#include "framework/WindowClass.h"
#include "framework/WindowRegistry.h"

TEST(MenuWrapper, BuildsAndReadsBackAPopupWithShiftJisTexts)
{
    Menu menu;
    ASSERT_TRUE(menu.CreatePopup());
    Menu sub;
    ASSERT_TRUE(sub.CreatePopup());
    ASSERT_TRUE(sub.Append(MF_STRING, 100, "カエル"));
    ASSERT_TRUE(menu.Append(MF_STRING, 40011, "再読み込み(&R)"));
    ASSERT_TRUE(menu.Append(MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(menu.Append(MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Detach()), "表示切替"));
    ASSERT_TRUE(menu.Insert(0, MF_BYPOSITION | MF_STRING, 40001, "設定"));
    EXPECT_EQ(menu.ItemCount(), 4);
    EXPECT_EQ(menu.ItemId(0), 40001u);
    EXPECT_EQ(menu.Text(40011, MF_BYCOMMAND), "再読み込み(&R)");
    EXPECT_EQ(menu.Text(3, MF_BYPOSITION), "表示切替");
    menu.Check(40011, MF_BYCOMMAND | MF_CHECKED);
    EXPECT_TRUE(menu.State(40011, MF_BYCOMMAND) & MF_CHECKED);
    menu.Enable(40001, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_TRUE(menu.State(40001, MF_BYCOMMAND) & MF_GRAYED);
    Menu* popup = menu.SubMenu(3);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->Text(0, MF_BYPOSITION), "カエル");
    EXPECT_EQ(menu.SubMenu(0), nullptr);
    WindowRegistry::Instance().PurgeTemporaries();
    // The temporary did not destroy the sub-menu it wrapped.
    EXPECT_EQ(menu.Text(3, MF_BYPOSITION), "表示切替");
    EXPECT_NE(GetSubMenu(menu.Handle(), 3), nullptr);
    ASSERT_TRUE(menu.Delete(40001, MF_BYCOMMAND));
    EXPECT_EQ(menu.ItemCount(), 3);
    HMENU handle = menu.Handle();
    menu.Destroy();
    EXPECT_FALSE(IsMenu(handle));
}

TEST(DeviceContextWrapper, DrawsIntoACompatibleBitmapAndReadsItBack)
{
    DeviceContext screen;
    ASSERT_TRUE(screen.CreateDisplay());
    DeviceContext memory;
    ASSERT_TRUE(memory.CreateCompatible(screen.Handle()));
    Bitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatible(screen.Handle(), 8, 8));
    HGDIOBJ original = memory.SelectObject(bitmap.Get());
    ASSERT_NE(original, nullptr);
    Brush red;
    ASSERT_TRUE(red.CreateSolid(RGB(255, 0, 0)));
    RECT all{0, 0, 8, 8};
    FillRect(memory.Handle(), &all, red.Get());
    // Blit the left half onto a second bitmap and read pixels from both.
    DeviceContext copy;
    ASSERT_TRUE(copy.CreateCompatible(screen.Handle()));
    Bitmap target;
    ASSERT_TRUE(target.CreateCompatible(screen.Handle(), 8, 8));
    copy.SelectObject(target.Get());
    Brush blue;
    ASSERT_TRUE(blue.CreateSolid(RGB(0, 0, 255)));
    FillRect(copy.Handle(), &all, blue.Get());
    ASSERT_TRUE(copy.BitBlt(0, 0, 4, 8, memory.Handle(), 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(copy.Handle(), 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(copy.Handle(), 6, 1), RGB(0, 0, 255));
    // Giving the contexts back selects the original bitmaps, so ours are free to delete.
    copy.Release();
    memory.Release();
    EXPECT_EQ(GetObjectType(target.Get()), static_cast<DWORD>(OBJ_BITMAP));
    HBITMAP handle = target.Get();
    target.Reset();
    EXPECT_EQ(GetObjectType(handle), 0u);
}

TEST(DeviceContextWrapper, SetDIBitsToDeviceWritesBottomUpRows)
{
    DeviceContext screen;
    ASSERT_TRUE(screen.CreateDisplay());
    DeviceContext memory;
    ASSERT_TRUE(memory.CreateCompatible(screen.Handle()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 2; // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    DibSection dib;
    ASSERT_TRUE(dib.Create(screen.Handle(), &info, &bits));
    memory.SelectObject(dib.Get());
    // Blue, green (bottom row), red, white (top row), as BGRX.
    const unsigned char pixels[] = {255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0};
    EXPECT_EQ(memory.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 0, 2, pixels, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(GetPixel(memory.Handle(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(memory.Handle(), 1, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory.Handle(), 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(memory.Handle(), 1, 1), RGB(0, 255, 0));
}

TEST(WindowClassRegistration, RegistersOnceWithTheFrameworkProcedure)
{
    ASSERT_TRUE(RegisterWindowClass("OstraClassTest", CS_DBLCLKS, nullptr, nullptr, nullptr, nullptr));
    EXPECT_TRUE(RegisterWindowClass("OstraClassTest", 0, nullptr, nullptr, nullptr, nullptr));
    WNDCLASSEXA info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "OstraClassTest", &info));
    EXPECT_EQ(info.lpfnWndProc, &Window::FrameworkWindowProc);
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS)); // the first registration stands
}

TEST(NotifyIconFunctions, AddModifyAndDeleteAnIcon)
{
    Window window;
    ASSERT_TRUE(window.CreateEx(TestClassName(), "tray", WS_POPUP, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr));
    HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    // A tip over 63 bytes whose 63rd byte would split a double-byte character.
    std::string tip = "a" + std::string(40, 'x');
    for (int i = 0; i < 20; ++i)
        tip += "あ";
    EXPECT_TRUE(AddNotifyIcon(window.Handle(), 101, WM_APP + 1, icon, tip.c_str()));
    EXPECT_TRUE(ModifyNotifyIcon(window.Handle(), 101, nullptr, "おすとら"));
    EXPECT_TRUE(ModifyNotifyIcon(window.Handle(), 101, icon, nullptr));
    EXPECT_TRUE(DeleteNotifyIcon(window.Handle(), 101));
    EXPECT_FALSE(DeleteNotifyIcon(window.Handle(), 101));
    window.Destroy();
}

// The thin wrappers and helpers over real handles: menus, device contexts,
// GDI objects and window-class registration.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"
#include "framework/DeviceContext.h"
#include "framework/GdiObject.h"
#include "framework/Menu.h"
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

// Every argument of the call has an effect of its own here (a destination and
// a source corner, a size that is not square, three scan lines from the
// first), so a forwarder that dropped or swapped any of them lands pixels
// elsewhere. Where they land follows GDI's rule for bottom-up DIBs: the
// source corner counts from the bottom row.
TEST(DeviceContextWrapper, SetDIBitsToDeviceTakesEachArgumentAsGiven)
{
    DeviceContext screen;
    ASSERT_TRUE(screen.CreateDisplay());
    DeviceContext memory;
    ASSERT_TRUE(memory.CreateCompatible(screen.Handle()));
    BITMAPINFO target{};
    target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    target.bmiHeader.biWidth = 8;
    target.bmiHeader.biHeight = 8;
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 32;
    void* targetBits = nullptr;
    DibSection dib;
    ASSERT_TRUE(dib.Create(screen.Handle(), &target, &targetBits));
    memory.SelectObject(dib.Get());
    PatBlt(memory.Handle(), 0, 0, 8, 8, BLACKNESS);

    // A 3 x 3 bottom-up source: the pixel in column c, row r counted from the
    // bottom, is RGB(10 + c, 20 + r, 77).
    BITMAPINFO source = target;
    source.bmiHeader.biWidth = 3;
    source.bmiHeader.biHeight = 3;
    unsigned char pixels[3 * 3 * 4];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            unsigned char* p = pixels + (r * 3 + c) * 4; // rows stored bottom first
            p[0] = 77;                                   // blue
            p[1] = static_cast<unsigned char>(20 + r);   // green
            p[2] = static_cast<unsigned char>(10 + c);   // red
            p[3] = 0;
        }
    }
    // To (4, 2), 3 wide and 2 high, from source corner (0, 1), scan lines 0..2.
    EXPECT_EQ(memory.SetDIBitsToDevice(4, 2, 3, 2, 0, 1, 0, 3, pixels, &source, DIB_RGB_COLORS), 3);
    GdiFlush();
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            COLORREF expected = RGB(0, 0, 0);
            if (x >= 4 && x < 7 && y >= 2 && y < 4) expected = RGB(10 + (x - 4), 20 + (2 - (y - 2)), 77);
            EXPECT_EQ(GetPixel(memory.Handle(), x, y), expected) << "at " << x << "," << y;
        }
    }
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

// Both controls keep their state block's address in their window's extra
// bytes. Here every free address below 4 GiB is reserved and the process heap
// is filled up to that line before the controls are created, so their state
// blocks lie above 4 GiB: a pointer cut to 32 bits would crash them.
// A program of its own: the reservations change the whole process.
#include <windows.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "ControlsTestDialog.h"
#include "framework/HyperLink.h"
#include "framework/SpinEdit.h"

namespace {

constexpr std::uintptr_t kFourGiB = std::uintptr_t(1) << 32;

bool IsHigh(const void* p)
{
    return reinterpret_cast<std::uintptr_t>(p) >= kFourGiB;
}

// Reserves every free region below 4 GiB.
std::vector<void*> ReserveLowAddresses()
{
    std::vector<void*> reserved;
    std::uintptr_t at = 0x10000;
    while (at < kFourGiB) {
        MEMORY_BASIC_INFORMATION info{};
        if (!VirtualQuery(reinterpret_cast<void*>(at), &info, sizeof info)) break;
        std::uintptr_t base = reinterpret_cast<std::uintptr_t>(info.BaseAddress);
        std::uintptr_t end = base + info.RegionSize;
        if (info.State == MEM_FREE) {
            // Reservations start on 64 KiB boundaries.
            std::uintptr_t start = (base + 0xFFFF) & ~std::uintptr_t(0xFFFF);
            std::uintptr_t stop = end < kFourGiB ? end : kFourGiB;
            if (stop > start) {
                void* p = VirtualAlloc(reinterpret_cast<void*>(start), stop - start, MEM_RESERVE, PAGE_NOACCESS);
                if (p) reserved.push_back(p);
            }
        }
        at = end > at ? end : at + 0x10000;
    }
    return reserved;
}

// Takes blocks of the process heap until the heap hands out addresses above
// 4 GiB, from large blocks down to the size of a control's state.
std::vector<void*> FillLowHeap()
{
    std::vector<void*> blocks;
    HANDLE heap = GetProcessHeap();
    for (SIZE_T size : {SIZE_T(65536), SIZE_T(4096), SIZE_T(512), SIZE_T(64), SIZE_T(48), SIZE_T(32), SIZE_T(16)}) {
        int highInARow = 0;
        for (int i = 0; i < 2000000 && highInARow < 64; ++i) {
            void* p = HeapAlloc(heap, 0, size);
            if (!p) break;
            blocks.push_back(p);
            highInARow = IsHigh(p) ? highInARow + 1 : 0;
        }
    }
    return blocks;
}

TEST(ControlStateAbove4GiB, BothControlsWorkWithTheirStateBlockThere)
{
    RegisterControlClasses();
    HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_POPUP | WS_VISIBLE, 20, 20, 300, 120, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(parent);
    std::vector<void*> reserved = ReserveLowAddresses();
    std::vector<void*> blocks = FillLowHeap();
    ASSERT_FALSE(blocks.empty());
    ASSERT_TRUE(IsHigh(blocks.back())) << "the heap still hands out low addresses";

    HWND spin = CreateWindowExA(0, kSpinEditClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, parent,
                                reinterpret_cast<HMENU>(7), GetModuleHandleA(nullptr), nullptr);
    HWND link = CreateWindowExA(0, kHyperLinkClass, "link", WS_CHILD | WS_VISIBLE, 10, 50, 120, 24, parent,
                                reinterpret_cast<HMENU>(8), GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(spin);
    ASSERT_TRUE(link);
    const void* spinState = reinterpret_cast<const void*>(GetWindowLongPtrA(spin, 0));
    const void* linkState = reinterpret_cast<const void*>(GetWindowLongPtrA(link, 0));
    EXPECT_TRUE(IsHigh(spinState)) << spinState;
    EXPECT_TRUE(IsHigh(linkState)) << linkState;

    EXPECT_TRUE(SpinEdit_SetRange(spin, 0, 100));
    EXPECT_TRUE(SpinEdit_SetPos(spin, 64));
    EXPECT_EQ(64, SpinEdit_GetPos(spin));
    SetWindowTextA(GetDlgItem(spin, kSpinEditEditId), "500");
    EXPECT_EQ(100, SpinEdit_GetPos(spin));

    EXPECT_TRUE(SetLinkColors(link, RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 0, 0), RGB(128, 0, 128)));
    UpdateWindow(link);
    EXPECT_GT(PaintedPixels(link).Count(RGB(0, 0, 255)), 5u);
    SendMessageA(link, WM_LBUTTONUP, 0, 0);
    UpdateWindow(link);
    EXPECT_GT(PaintedPixels(link).Count(RGB(128, 0, 128)), 5u);

    DestroyWindow(parent);
    for (void* p : blocks)
        HeapFree(GetProcessHeap(), 0, p);
    for (void* p : reserved)
        VirtualFree(p, 0, MEM_RELEASE);
}

} // namespace

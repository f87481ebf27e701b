// Layered windows on real top-level windows: the attributes are read back
// with GetLayeredWindowAttributes, the platform's own record of them.
#include "skin/LayeredWindow.h"

#include <gtest/gtest.h>

namespace {

class TopWindow {
  public:
    explicit TopWindow(DWORD exStyle = WS_EX_TOOLWINDOW)
        : m_hwnd(CreateWindowExA(exStyle, "STATIC", "layered", WS_POPUP | WS_VISIBLE, 40, 40, 60, 60, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr))
    {
    }
    ~TopWindow()
    {
        if (m_hwnd) DestroyWindow(m_hwnd);
    }
    TopWindow(const TopWindow&) = delete;
    TopWindow& operator=(const TopWindow&) = delete;
    HWND get() const { return m_hwnd; }

  private:
    HWND m_hwnd;
};

struct Attributes {
    BOOL ok = FALSE;
    COLORREF key = 0xFFFFFFFF;
    BYTE alpha = 0;
    DWORD flags = 0;
};

Attributes Read(HWND window)
{
    Attributes a;
    a.ok = GetLayeredWindowAttributes(window, &a.key, &a.alpha, &a.flags);
    return a;
}

bool IsLayered(HWND window)
{
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

FARPROC FindNothing(HMODULE, LPCSTR)
{
    return nullptr;
}

// Restores the platform's lookup whatever a test does.
class NoLayeredWindows {
  public:
    NoLayeredWindows() { ostra::SetLayeredFunctionLookup(FindNothing); }
    ~NoLayeredWindows() { ostra::SetLayeredFunctionLookup(nullptr); }
    NoLayeredWindows(const NoLayeredWindows&) = delete;
    NoLayeredWindows& operator=(const NoLayeredWindows&) = delete;
};

TEST(LayeredWindow, MakeLayeredAddsTheBitAndMakesTheWindowOpaque)
{
    TopWindow w;
    ASSERT_TRUE(w.get());
    ASSERT_FALSE(IsLayered(w.get()));
    EXPECT_TRUE(ostra::MakeLayered(w.get()));
    EXPECT_TRUE(IsLayered(w.get()));
    // The rest of the extended style stays.
    EXPECT_NE(0, GetWindowLongPtrA(w.get(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    Attributes a = Read(w.get());
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(0u, a.key);
    EXPECT_EQ(255, a.alpha);
    EXPECT_EQ(static_cast<DWORD>(LWA_ALPHA), a.flags);
    EXPECT_TRUE(ostra::LayeredWindowsSupported());
}

TEST(LayeredWindow, TransparencyPercentSetsTheTruncatedAlpha)
{
    TopWindow w;
    ASSERT_TRUE(ostra::MakeLayered(w.get()));
    const struct {
        BYTE percent;
        BYTE alpha;
    } cases[] = {{50, 127}, {10, 25}, {0, 0}, {100, 255}, {44, 112}, {200, 255}, {1, 2}};
    for (const auto& c : cases) {
        EXPECT_TRUE(ostra::ApplyTransparency(w.get(), c.percent)) << int(c.percent);
        Attributes a = Read(w.get());
        ASSERT_TRUE(a.ok);
        EXPECT_EQ(c.alpha, a.alpha) << "percent " << int(c.percent);
        EXPECT_EQ(static_cast<DWORD>(LWA_ALPHA), a.flags);
    }
}

TEST(LayeredWindow, TransparencyNeedsALayeredWindow)
{
    TopWindow plain;
    EXPECT_FALSE(ostra::ApplyTransparency(plain.get(), 50));
    EXPECT_FALSE(IsLayered(plain.get()));

    HWND gone = TopWindow().get();
    EXPECT_FALSE(ostra::MakeLayered(gone));
    EXPECT_FALSE(ostra::ApplyTransparency(gone, 50));
    EXPECT_FALSE(ostra::MakeLayered(nullptr));
}

TEST(LayeredWindow, WithoutThePlatformFunctionNothingChanges)
{
    TopWindow layered;
    ASSERT_TRUE(ostra::MakeLayered(layered.get()));
    ASSERT_TRUE(ostra::ApplyTransparency(layered.get(), 50));
    {
        NoLayeredWindows missing;
        EXPECT_FALSE(ostra::LayeredWindowsSupported());

        TopWindow w;
        EXPECT_FALSE(ostra::MakeLayered(w.get()));
        EXPECT_FALSE(IsLayered(w.get()));

        // A window made layered earlier keeps its alpha: the call does nothing.
        EXPECT_FALSE(ostra::ApplyTransparency(layered.get(), 10));
        EXPECT_EQ(127, Read(layered.get()).alpha);
    }
    EXPECT_TRUE(ostra::LayeredWindowsSupported());
    EXPECT_TRUE(ostra::ApplyTransparency(layered.get(), 10));
    EXPECT_EQ(25, Read(layered.get()).alpha);
}

} // namespace

// Surfaces and players under Wine with real windows: loading a sample skin
// and odd skin folders, the window's size, shape and picture while the
// animation thread runs, starting and stopping, and what is left behind.
#include <windows.h>

#include <tlhelp32.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SurfaceTestWindow.h"
#include "harness/TestEnv.h"
#include "selka/selka.h"
#include "skin/Random.h"
#include "skin/LoadedSkin.h"
#include "skin/SurfaceLoader.h"

namespace {

std::string SampleSkin(const char* name)
{
    return testenv::Join(testenv::Join(testenv::BinDir(), "skin"), name);
}

void CopySample(const char* skin, const char* from, const std::string& folder, const char* to)
{
    ASSERT_TRUE(CopyFileA(testenv::Join(SampleSkin(skin), from).c_str(), testenv::Join(folder, to).c_str(), FALSE))
        << from;
}

int ThreadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

// The live GDI objects of this process. Wine's GetGuiResources always answers
// 0, so the handle table is probed instead: Wine takes a handle whose upper
// word is 0 as the live object in that table slot, whatever its generation.
int GdiObjectCount()
{
    int count = 0;
    for (uintptr_t slot = 1; slot < 0x10000; ++slot)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++count;
    return count;
}

// The window's region, or null when it has none.
HRGN WindowRegion(HWND hwnd)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(hwnd, region) == ERROR) {
        DeleteObject(region);
        return nullptr;
    }
    return region;
}

bool WindowRegionEquals(HWND hwnd, HRGN expected)
{
    HRGN actual = WindowRegion(hwnd);
    const bool equal = actual && EqualRgn(actual, expected);
    if (actual) DeleteObject(actual);
    return equal;
}

HRGN CopyRegion(HRGN source, int dx = 0, int dy = 0)
{
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, source, nullptr, RGN_COPY);
    OffsetRgn(copy, dx, dy);
    return copy;
}

SIZE WindowSize(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The colour at (x, y) of what the player's paint copies to a window.
COLORREF PaintedPixel(SurfacePlayer& player, int x, int y, int width, int height)
{
    HDC dc = CreateCompatibleDC(SurfaceTestWindow::Screen());
    HBITMAP bitmap = CreateCompatibleBitmap(SurfaceTestWindow::Screen(), width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    player.Paint(dc, width, height);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return colour;
}

COLORREF SurfacePixel(const SurfaceImage& image, int x, int y)
{
    HDC dc = CreateCompatibleDC(SurfaceTestWindow::Screen());
    HGDIOBJ old = SelectObject(dc, image.bitmap.Get());
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

std::string g_lastMessage;
void CatchMessage(const char* text, UINT)
{
    g_lastMessage = text;
}

class Surfaces : public ::testing::Test {
  protected:
    void SetUp() override
    {
        SurfacePlayer::SetMessageHandler(CatchMessage);
        g_lastMessage.clear();
    }
};

} // namespace

TEST_F(Surfaces, LoadsTheFrogSampleSkin)
{
    SurfaceTestWindow window;
    ASSERT_TRUE(window.Load(SampleSkin("kaeru")));
    std::vector<int32_t> numbers;
    for (const auto& entry : window.surfaces)
        numbers.push_back(entry.first);
    EXPECT_EQ(numbers, (std::vector<int32_t>{0, 1, 2, 3, 7, 10}));
    EXPECT_EQ(window.players.size(), 6u);
    EXPECT_EQ(window.surfaces.at(0).width, 96);
    EXPECT_EQ(window.surfaces.at(2).height, 112);
    EXPECT_EQ(window.surfaces.at(3).number, 3);
    EXPECT_TRUE(window.surfaces.at(0).region) << "24-bit pictures have a shape";
    EXPECT_EQ(window.players.at(0)->Engine().Animations().size(), 3u);
    EXPECT_EQ(window.players.at(7)->Engine().Animations().size(), 1u) << "surface7a.txt";
    EXPECT_TRUE(window.players.at(1)->Engine().Animations().empty());
    EXPECT_EQ(window.players.at(0)->Lines().size(), 11u) << "the comment line is not kept";
    EXPECT_EQ(window.players.at(2)->BaseSize().height, 112);
    EXPECT_TRUE(g_lastMessage.empty());

    // The skin window's owner of the same parts.
    LoadedSkin loaded;
    ASSERT_TRUE(loaded.Load(SurfaceTestWindow::Screen(), SampleSkin("kaeru")));
    EXPECT_EQ(loaded.Surfaces().size(), 6u);
    EXPECT_EQ(loaded.Players().size(), 6u);
    EXPECT_EQ(loaded.Surface(2)->height, 112);
    ASSERT_NE(loaded.Player(7), nullptr);
    EXPECT_EQ(loaded.Player(7)->Engine().Animations().size(), 1u);
    EXPECT_EQ(loaded.Player(5), nullptr);
}

TEST_F(Surfaces, OddSkinFoldersLoadWhatTheyCan)
{
    const std::string folder = testenv::FreshDir("odd");
    CopySample("kaeru", "surface0.png", folder, "surface0.png");
    CopySample("kaeru", "surface3.png", folder, "surface04.png");
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "surface1.png"), "not a picture at all"));
    const std::string png = testenv::ReadFile(testenv::Join(SampleSkin("kaeru"), "surface2.png"));
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "surface2.png"), png.substr(0, png.size() / 2)));
    // Garbage, binary bytes, a 1 MB line, patterns before any interval line and
    // patterns naming the broken and the missing surfaces.
    std::string animation = "0pattern0,1,1,overlay\r\n0pattern1,99,1,base\r\n0pattern2,4,1,overlay,3,3\r\n";
    for (int i = 0; i < 256; ++i)
        if (static_cast<char>(i * 37) != '\x1a') animation.push_back(static_cast<char>(i * 37)); // no end-of-text mark
    animation += "\r\n" + std::string(1 << 20, 'x') + ",\r\n1interval,always\r\n1pattern0,2,1,base\r\n";
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "surface0a.txt"), animation));
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "surface4a.txt"), std::string(5000, '\0')));

    SurfaceTestWindow window;
    ASSERT_TRUE(window.Load(folder));
    EXPECT_EQ(window.surfaces.size(), 2u) << "the broken pictures are skipped";
    EXPECT_TRUE(window.surfaces.count(0));
    EXPECT_TRUE(window.surfaces.count(4)) << "surface04.png is surface 4";
    EXPECT_TRUE(window.players.at(4)->Engine().Animations().empty());
    const auto& animations = window.players.at(0)->Engine().Animations();
    // The patterns before the first interval line belong to the animation it
    // names; "1pattern0" comes after three patterns and is dropped.
    ASSERT_EQ(animations.size(), 1u);
    EXPECT_EQ(animations[0].patternCount, 3);
    EXPECT_EQ(animations[0].kind, AnimationKind::Always);

    // It runs; the patterns of the broken and missing surfaces draw nothing.
    window.Show(0);
    EXPECT_TRUE(PumpUntil([&] { return window.threadLookups > 30; }, 5000));
    EXPECT_EQ(WindowSize(window.Handle()).cx, 96);
    EXPECT_EQ(window.players.at(0)->Engine().BaseNumber(), -1);
    window.StopCurrent();
    EXPECT_TRUE(g_lastMessage.empty());
}

TEST_F(Surfaces, BaseImageNamedByTheDefinition)
{
    const std::string folder = testenv::FreshDir("based");
    CopySample("kaeru", "surface0.png", folder, "surface0.png");
    CopySample("kaeru", "surface2.png", folder, "frog.png");
    CopySample("kaeru", "surface1.png", folder, "surface1.png");

    SurfaceTestWindow window;
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "ostra.ini"), "[OSTRA]\r\nbase=frog.png\r\n"));
    ASSERT_TRUE(window.Load(folder));
    EXPECT_EQ(window.surfaces.at(0).height, 112) << "surface 0 is frog.png; surface0.png is ignored";
    EXPECT_EQ(window.surfaces.size(), 2u);

    // An empty "base" is the default picture, as the catalogue takes it.
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "ostra.ini"), "[OSTRA]\r\nbase=\r\n"));
    ASSERT_TRUE(window.Load(folder));
    EXPECT_EQ(window.surfaces.at(0).height, 96);

    // Only "animation" differs: the base picture goes with that file.
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "ostra.ini"), "[OSTRA]\r\nanimation=frog.txt\r\n"));
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "frog.txt"), "0interval,never\r\n"));
    ASSERT_TRUE(window.Load(folder));
    ASSERT_EQ(window.players.at(0)->Engine().Animations().size(), 1u);
    EXPECT_EQ(window.players.at(0)->Engine().Animations()[0].kind, AnimationKind::Never);

    // A base picture that cannot be read: the skin is unusable.
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "ostra.ini"), "[OSTRA]\r\nbase=missing.png\r\n"));
    EXPECT_FALSE(window.Load(folder));
    EXPECT_TRUE(window.players.empty());

    // The player itself reports an unreadable base image.
    SurfacePlayer player;
    EXPECT_FALSE(player.Load(SurfaceTestWindow::Screen(), folder, "missing.png", "surface0a.txt"));
    EXPECT_EQ(g_lastMessage, "\x83\x54\x81\x5B\x83\x74\x83\x46\x83\x58\x82\xAA\x93\xC7\x82\xDD\x8D\x9E\x82\xDF\x82\xDC"
                             "\x82\xB9\x82\xF1\x81\x42");

    // A folder without pictures has no surfaces.
    EXPECT_FALSE(window.Load(testenv::FreshDir("empty")));
}

TEST_F(Surfaces, OverlayAndBasePatternsShapeAndSizeTheWindow)
{
    const std::string folder = testenv::FreshDir("shapes");
    CopySample("kaeru", "surface0.png", folder, "surface0.png");
    CopySample("kaeru", "surface2.png", folder, "surface2.png");
    CopySample("kaeru", "surface3.png", folder, "surface3.png");
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "surface0a.txt"),
                                   "0interval,always\r\n0pattern0,3,40,overlay,70,0\r\n0pattern1,2,40,base\r\n"
                                   "0pattern2,0,40,base\r\n"));
    SurfaceTestWindow window;
    ASSERT_TRUE(window.Load(folder));
    HWND hwnd = window.Handle();
    const SurfaceImage& frog = window.surfaces.at(0);
    const SurfaceImage& tall = window.surfaces.at(2);
    const SurfaceImage& bubble = window.surfaces.at(3);
    HRGN withBubble = CopyRegion(frog.region.Get());
    HRGN shiftedBubble = CopyRegion(bubble.region.Get(), 70, 0);
    CombineRgn(withBubble, withBubble, shiftedBubble, RGN_OR);
    ASSERT_FALSE(EqualRgn(withBubble, frog.region.Get())) << "the bubble must widen the frog's shape";

    const int threads = ThreadCount();
    window.Show(0);
    SurfacePlayer& player = *window.Current();
    EXPECT_EQ(ThreadCount(), threads + 1) << "the animation thread";
    EXPECT_EQ(window.placements, 1);
    EXPECT_TRUE(PumpUntil([&] { return WindowRegionEquals(hwnd, withBubble); }, 5000)) << "overlay shape";
    EXPECT_EQ(WindowSize(hwnd).cx, 96);
    EXPECT_EQ(WindowSize(hwnd).cy, 96);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(hwnd) != FALSE; }, 5000))
        << "the first pass shows the window beside its visible host";
    // The picture: the bubble's middle over the frog.
    EXPECT_EQ(PaintedPixel(player, 83, 13, 96, 96), SurfacePixel(bubble, 13, 13));

    EXPECT_TRUE(PumpUntil([&] { return WindowRegionEquals(hwnd, tall.region.Get()); }, 5000)) << "base 2 shape";
    EXPECT_EQ(WindowSize(hwnd).cy, 112);
    EXPECT_EQ(PaintedPixel(player, 48, 100, 96, 112), SurfacePixel(tall, 48, 100)) << "the back buffer grew";

    EXPECT_TRUE(
        PumpUntil([&] { return WindowRegionEquals(hwnd, frog.region.Get()) && WindowSize(hwnd).cy == 96; }, 5000))
        << "back to the frog";
    window.StopCurrent();
    EXPECT_EQ(ThreadCount(), threads) << "Stop returns once the thread has ended";
    EXPECT_EQ(player.Engine().BufferSize().height, 112) << "the back buffer does not shrink";
    DeleteObject(withBubble);
    DeleteObject(shiftedBubble);
}

TEST_F(Surfaces, MovePatternsShiftTheWindowFromItsPlacement)
{
    const std::string folder = testenv::FreshDir("moves");
    CopySample("kaeru", "surface0.png", folder, "surface0.png");
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "surface0a.txt"),
                                   "0interval,runonce\r\n0pattern0,0,1,move,10,-5\r\n"));
    SurfaceTestWindow window;
    ASSERT_TRUE(window.Load(folder));
    window.Show(0);
    auto at = [&](int x, int y) {
        RECT r;
        GetWindowRect(window.Handle(), &r);
        return r.left == x && r.top == y;
    };
    EXPECT_TRUE(PumpUntil([&] { return at(310, 195); }, 5000));
    window.originX = 500;
    window.originY = 100;
    window.Place(); // the host moved: the shift stays
    EXPECT_TRUE(at(510, 95));
    window.StopCurrent();
    window.Show(0); // shown anew: the offset starts from 0 until the move plays again
    EXPECT_EQ(window.Current()->Engine().MoveX(), 0);
    EXPECT_TRUE(PumpUntil([&] { return at(510, 95); }, 5000));
}

TEST_F(Surfaces, TheFirstPassGivesAnOnTopSkinItsHostAsOwner)
{
    for (bool onTop : {true, false}) {
        SurfaceTestWindow window(onTop);
        ASSERT_TRUE(window.Load(SampleSkin("hoshi")));
        window.Show(0);
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(window.Handle()) != FALSE; }, 5000)) << onTop;
        EXPECT_EQ(GetWindow(window.Handle(), GW_OWNER), onTop ? window.Host() : nullptr);
        window.StopCurrent();
    }
}

TEST_F(Surfaces, ASurfaceWithoutAnimationsIsShownByStartWithoutAThread)
{
    SurfaceTestWindow window;
    ASSERT_TRUE(window.Load(SampleSkin("kaeru")));
    const int threads = ThreadCount();
    SetActiveWindow(window.Host());
    window.Show(1);
    EXPECT_EQ(GetActiveWindow(), window.Host()) << "showing a surface does not activate the skin window";
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_TRUE(IsWindowVisible(window.Handle()));
    EXPECT_EQ(WindowSize(window.Handle()).cx, 66);
    EXPECT_EQ(WindowSize(window.Handle()).cy, 30);
    EXPECT_TRUE(WindowRegionEquals(window.Handle(), window.surfaces.at(1).region.Get()));
}

TEST_F(Surfaces, StopEndsTheThreadAndNothingLeaks)
{
    SurfaceTestWindow window;
    ASSERT_TRUE(window.Load(SampleSkin("hoshi")));
    // Warm up once, so objects made on first use are not counted.
    window.Show(0);
    PumpFor(50);
    window.StopCurrent();

    const int threads = ThreadCount();
    const int gdi = GdiObjectCount();
    {
        // The probe sees objects come and go.
        HRGN probe[10];
        for (HRGN& r : probe)
            r = CreateRectRgn(0, 0, 5, 5);
        EXPECT_EQ(GdiObjectCount(), gdi + 10);
        for (HRGN r : probe)
            DeleteObject(r);
        ASSERT_EQ(GdiObjectCount(), gdi);
    }
    for (int round = 0; round < 25; ++round) {
        const int lookups = window.threadLookups;
        window.Show(0);
        ASSERT_TRUE(PumpUntil([&] { return window.threadLookups >= lookups + 3; }, 5000)) << "round " << round;
        EXPECT_EQ(ThreadCount(), threads + 1) << "round " << round;
        window.StopCurrent();
        EXPECT_EQ(ThreadCount(), threads) << "round " << round << ": Stop returns once the thread has ended";
        window.Show(1);
    }
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_EQ(GdiObjectCount(), gdi);
}

TEST_F(Surfaces, APackedDibIsTakenOnlyWhenItsPixelsLieInsideTheBlock)
{
    HGLOBAL dib = LoadPNGFile(testenv::Join(SampleSkin("kaeru"), "surface0.png").c_str());
    ASSERT_NE(dib, nullptr);
    const SIZE_T size = GlobalSize(dib);
    // A copy of the first 'bytes' bytes of the picture's block, its header
    // changed by 'edit'.
    auto copyOf = [&](SIZE_T bytes, void (*edit)(BITMAPINFOHEADER&)) {
        HGLOBAL copy = GlobalAlloc(GMEM_FIXED, bytes);
        std::memcpy(copy, dib, bytes);
        if (edit) edit(*static_cast<BITMAPINFOHEADER*>(static_cast<void*>(copy)));
        return copy;
    };
    const struct {
        const char* name;
        SIZE_T bytes;
        void (*edit)(BITMAPINFOHEADER&);
        bool taken;
    } cases[] = {
        {"the picture as loaded", size, nullptr, true},
        {"one byte of pixels short", size - 1, nullptr, false},
        {"the header alone", 40, nullptr, false},
        {"top-down rows", size, [](BITMAPINFOHEADER& h) { h.biHeight = -h.biHeight; }, false},
        {"compressed", size, [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }, false},
        // 128 bits x 2^30 pixels a row is 2^34 bytes; 2^30 rows of it are
        // 2^64 bytes, which wraps to 0 in 64-bit arithmetic.
        {"a size that wraps", size,
         [](BITMAPINFOHEADER& h) {
             h.biBitCount = 128;
             h.biWidth = 1 << 30;
             h.biHeight = 1 << 30;
         },
         false},
        {"a palette larger than the block", size, [](BITMAPINFOHEADER& h) { h.biClrUsed = 0x40000000; }, false},
    };
    for (const auto& c : cases) {
        HGLOBAL block = copyOf(c.bytes, c.edit);
        SurfaceImage image;
        EXPECT_EQ(image.FromPackedDib(SurfaceTestWindow::Screen(), block), c.taken) << c.name;
        EXPECT_EQ(static_cast<bool>(image.bitmap), c.taken) << c.name;
        if (c.taken) {
            EXPECT_EQ(image.width, 96) << c.name;
            EXPECT_EQ(image.height, 96) << c.name;
        }
        GlobalFree(block);
    }
    GlobalFree(dib);
}

namespace {

// A test window whose first surface look-up from an animation thread holds
// that thread until the test lets it go: the thread is then certainly alive,
// and about to make window calls, when a Stop begins to wait for it.
class GatedWindow : public SurfaceTestWindow {
  public:
    GatedWindow()
        : entered(CreateEventA(nullptr, TRUE, FALSE, nullptr)), released(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
    }
    ~GatedWindow()
    {
        SetEvent(released);
        StopCurrent();
        DropPlayers();
        CloseHandle(entered);
        CloseHandle(released);
    }
    const SurfaceImage* FindSurface(int32_t number) const override
    {
        if (GetCurrentThreadId() != m_testThread) {
            SetEvent(entered);
            // Bounded so a broken player fails the test instead of hanging it.
            WaitForSingleObject(released, 20000);
        }
        return SurfaceTestWindow::FindSurface(number);
    }
    bool ThreadHeld() const { return WaitForSingleObject(entered, 0) == WAIT_OBJECT_0; }
    void Release() const { SetEvent(released); }

  private:
    const DWORD m_testThread = GetCurrentThreadId();
    HANDLE entered;
    HANDLE released;
};

// What arrives while a Stop of the shown player waits for its thread.
enum class Arrival { Destruction, Unload, SecondStop, StartOfAnotherSurface, StartAgain };

} // namespace

TEST_F(Surfaces, WhatArrivesWhileAStopWaitsWaitsForTheSameThread)
{
    // Surfaces 0 and 3 both animate, each overlaying the other.
    const std::string folder = testenv::FreshDir("reentry");
    CopySample("kaeru", "surface0.png", folder, "surface0.png");
    CopySample("kaeru", "surface3.png", folder, "surface3.png");
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "surface0a.txt"),
                                   "0interval,always\r\n0pattern0,3,2,overlay,70,0\r\n0pattern1,-1,2,overlay\r\n"));
    ASSERT_TRUE(testenv::WriteFile(testenv::Join(folder, "surface3a.txt"),
                                   "0interval,always\r\n0pattern0,0,2,overlay\r\n0pattern1,-1,2,overlay\r\n"));

    const struct {
        Arrival arrival;
        const char* name;
        int threadsAfter; // animation threads once the arrival is handled
    } cases[] = {
        {Arrival::Destruction, "destruction", 0},
        {Arrival::Unload, "unload", 0},
        {Arrival::SecondStop, "second stop", 0},
        {Arrival::StartOfAnotherSurface, "start of another surface", 1},
        {Arrival::StartAgain, "start of the same surface", 1},
    };
    for (const auto& c : cases) {
        GatedWindow window;
        ASSERT_TRUE(window.Load(folder)) << c.name;
        const int threads = ThreadCount();
        window.Show(0);
        ASSERT_TRUE(PumpUntil([&] { return window.ThreadHeld(); }, 10000)) << c.name << ": no pass began";

        bool handled = false;
        int threadsWhenArrived = -1;
        int threadsWhenHandled = -1;
        window.onPosted = [&] {
            handled = true;
            threadsWhenArrived = ThreadCount();
            window.Release();
            switch (c.arrival) {
            case Arrival::Destruction:
                window.DropPlayers();
                break;
            case Arrival::Unload:
                window.Current()->Unload();
                break;
            case Arrival::SecondStop:
                window.Current()->Stop();
                break;
            case Arrival::StartOfAnotherSurface:
                window.Show(3);
                break;
            case Arrival::StartAgain:
                window.Current()->Start(window);
                window.Current()->Resume();
                break;
            }
            threadsWhenHandled = ThreadCount();
        };
        // The posted message is dispatched by the Stop below while it waits.
        window.PostRun();
        window.StopCurrent();

        ASSERT_TRUE(handled) << c.name << ": Stop did not dispatch the posted message";
        EXPECT_EQ(threadsWhenArrived, threads + 1) << c.name << ": the thread was still running when it arrived";
        EXPECT_EQ(threadsWhenHandled, threads + c.threadsAfter)
            << c.name << ": the old thread had not ended before the player was changed";
        if (c.threadsAfter > 0) {
            // The new run is the player's now; it runs and stops as usual.
            EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(window.Handle()) != FALSE; }, 5000)) << c.name;
            window.StopCurrent();
        }
        EXPECT_EQ(ThreadCount(), threads) << c.name;
        window.onPosted = nullptr;
    }
}

TEST_F(Surfaces, WhatArrivesWhileStartPlacesTheWindowOwnsThePlayer)
{
    const int threads = ThreadCount();
    {
        // A Start re-entered from the placement runs the one thread; the
        // outer Start does not begin a second.
        SurfaceTestWindow window;
        ASSERT_TRUE(window.Load(SampleSkin("hoshi")));
        window.onPlace = [&] { window.Current()->Start(window); };
        window.Show(0);
        EXPECT_EQ(ThreadCount(), threads + 1);
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(window.Handle()) != FALSE; }, 5000));
        window.StopCurrent();
        EXPECT_EQ(ThreadCount(), threads) << "no thread is left running without its player knowing";
    }
    {
        // The player destroyed from the placement: Start leaves it alone.
        SurfaceTestWindow window;
        ASSERT_TRUE(window.Load(SampleSkin("hoshi")));
        bool dropped = false;
        window.onPlace = [&] {
            window.DropPlayers();
            dropped = true;
        };
        window.Show(0);
        EXPECT_TRUE(dropped);
        EXPECT_EQ(ThreadCount(), threads);
    }
}

TEST(Random, SmallRangesAndBounds)
{
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(1), 0);
    EXPECT_EQ(Random(-3), 0);
    bool sawNonZero = false;
    for (int i = 0; i < 200; ++i) {
        const int r = Random(3000);
        EXPECT_GE(r, 0);
        EXPECT_LT(r, 3000);
        sawNonZero = sawNonZero || r != 0;
    }
    EXPECT_TRUE(sawNonZero);
}

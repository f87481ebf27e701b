// Every export of the real selka.dll given memory it cannot use: strings that
// run into a page that cannot be read, out values in read-only pages, a
// picture whose pixels cannot be read. Each gives its documented failure
// result, sends and writes nothing, and the library goes on working.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SelkaLibrary.h"

namespace {

// Two pages: the first readable and writable, the second without access,
// so whatever runs off the end of the first faults.
class FencedPages {
  public:
    FencedPages()
    {
        m_base = static_cast<char*>(VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        if (m_base) m_fenced = VirtualProtect(m_base + kPage, kPage, PAGE_NOACCESS, &old) != FALSE;
    }
    ~FencedPages()
    {
        if (m_base) VirtualFree(m_base, 0, MEM_RELEASE);
    }
    FencedPages(const FencedPages&) = delete;
    FencedPages& operator=(const FencedPages&) = delete;

    bool Ready() const { return m_base && m_fenced; }
    // 'bytes' placed so that they end where the readable page ends.
    char* AtEnd(const std::string& bytes)
    {
        char* at = m_base + kPage - bytes.size();
        std::memcpy(at, bytes.data(), bytes.size());
        return at;
    }
    char* Fence() const { return m_base + kPage; }
    void MakeFirstReadOnly()
    {
        DWORD old = 0;
        VirtualProtect(m_base, kPage, PAGE_READONLY, &old);
    }
    char* First() const { return m_base; }

    static constexpr size_t kPage = 4096;

  private:
    char* m_base = nullptr;
    bool m_fenced = false;
};

// A window of this thread that counts the WM_COPYDATA it receives.
int g_copyData = 0;
LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        ++g_copyData;
        return TRUE;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND CountingWindow()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SelkaCallerMemoryReceiver";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "receiver", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

class CallerMemory : public ::testing::Test {
  protected:
    SelkaLibrary selka;
    FencedPages pages;
    void SetUp() override
    {
        ASSERT_TRUE(selka.Complete()) << "selka.dll or one of its exports is missing";
        ASSERT_TRUE(pages.Ready());
    }
};

} // namespace

TEST_F(CallerMemory, UnreadableStringsSendNothing)
{
    HWND receiver = CountingWindow();
    ASSERT_NE(receiver, nullptr);
    // "abc" without its NUL: reading it runs into the page without access.
    const char* runaway = pages.AtEnd("abc");
    g_copyData = 0;
    EXPECT_EQ(selka.DSSTPSend(receiver, receiver, runaway, "script", nullptr), 0);
    EXPECT_EQ(selka.DSSTPSend(receiver, receiver, "sender", pages.Fence(), nullptr), 0);
    EXPECT_EQ(selka.DSSTPNotify(receiver, receiver, "sender", nullptr, "OnTest", "r0", runaway, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(selka.DSSTPRequest(receiver, receiver, runaway), 0);
    EXPECT_EQ(g_copyData, 0) << "nothing may be sent for a string that cannot be read";

    // The library goes on working.
    EXPECT_EQ(selka.DSSTPSend(receiver, receiver, "sender", "script", nullptr), 1);
    EXPECT_EQ(selka.DSSTPRequest(receiver, receiver, "NOTIFY SSTP/1.1\r\n\r\n"), 1);
    EXPECT_EQ(g_copyData, 2);
    DestroyWindow(receiver);
}

TEST_F(CallerMemory, StringsAndDigestsThatCannotBeReadOrWrittenFail)
{
    const char* runaway = pages.AtEnd("abc");
    int length = -7;
    EXPECT_EQ(selka.StringToGlobalMem(runaway, &length), nullptr);
    EXPECT_EQ(length, -7) << "untouched";
    EXPECT_EQ(selka.StringToGlobalMem("abc", reinterpret_cast<int*>(pages.Fence())), nullptr);

    // The digest of bytes that run into the fence: 0, and the caller's
    // buffer keeps what it held.
    char digest[33];
    std::memset(digest, 'X', sizeof digest);
    EXPECT_EQ(selka.GetMD5MessageDigest(pages.AtEnd("abc"), 10, digest), 0);
    EXPECT_EQ(std::string(digest, sizeof digest), std::string(33, 'X'));
    EXPECT_EQ(selka.GetMD5MessageDigest("abc", 3, pages.Fence()), 0);
    EXPECT_EQ(selka.GetMD5MessageDigest(pages.AtEnd("abc"), 3, digest), 1) << "exactly the readable bytes";
    EXPECT_STREQ(digest, "900150983cd24fb0d6963f7d28e17f72");

    // Out values in a read-only page: 0, and nothing written there.
    pages.MakeFirstReadOnly();
    int* readOnly = reinterpret_cast<int*>(pages.First());
    EXPECT_EQ(selka.GetBatteryStatus(readOnly, readOnly + 1), 0);
    EXPECT_EQ(readOnly[0], 0);
    EXPECT_EQ(readOnly[1], 0);
    int state = -1, charge = -1;
    selka.GetBatteryStatus(&state, &charge);
    EXPECT_TRUE(charge >= 0 && charge <= 100) << "the library still answers: " << charge;
}

TEST_F(CallerMemory, APictureWhosePixelsCannotBeReadHasNoShape)
{
    // An 8-bit 4 x 3 picture whose header and palette end where the readable
    // page ends: its rows lie in the page without access.
    std::string head(40 + 256 * 4, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            head[at + i] = static_cast<char>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, 4);
    put32(8, 3);
    head[12] = 1;
    head[14] = 8;
    const void* dib = pages.AtEnd(head);

    HRGN region = selka.CreateDIBitmapRegion(dib);
    ASSERT_NE(region, nullptr);
    RECT box{};
    EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 3);
    EXPECT_EQ(box.right, 1);
    EXPECT_EQ(box.bottom, 4);
    DeleteObject(region);

    // A header that cannot be read: no region at all.
    EXPECT_EQ(selka.CreateDIBitmapRegion(pages.Fence()), nullptr);
    EXPECT_EQ(selka.CreateDIBitmapRegion(pages.AtEnd(std::string(20, '\0'))), nullptr);
    // A path that cannot be read: no picture.
    EXPECT_EQ(selka.LoadPNGFile(pages.AtEnd("C:\\a.png")), nullptr);
}

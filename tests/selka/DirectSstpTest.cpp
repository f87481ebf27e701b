// Direct SSTP through the real selka.dll under Wine: what a receiving window
// gets (bytes, cbData, dwData 9801, wParam), the stand-in host in another
// process, a target that is not a window and a hung target.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SelkaLibrary.h"
#include "harness/StandinClient.h"
#include "harness/TestEnv.h"

namespace {

struct Received {
    WPARAM wParam;
    ULONG_PTR dwData;
    DWORD cbData;
    bool dataNull;
    std::string bytes;
};

std::mutex g_lock;
std::vector<Received> g_received;
constexpr UINT kHang = WM_APP + 1; // the receiver stops pumping until g_release is set
HANDLE g_hanging = nullptr;        // set by the receiver once it stops pumping
HANDLE g_release = nullptr;
// Set once a send has timed out: the late message may still arrive, pointing
// at the sender's long-gone structure, and must not be read.
std::atomic<bool> g_ignoreCopyData{false};

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COPYDATA) {
        if (g_ignoreCopyData) return 0;
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        Received r{wp, data->dwData, data->cbData, data->lpData == nullptr, std::string()};
        if (data->lpData) r.bytes.assign(static_cast<const char*>(data->lpData), data->cbData);
        std::lock_guard<std::mutex> hold(g_lock);
        g_received.push_back(r);
        return 1;
    }
    if (msg == kHang) {
        SetEvent(g_hanging);
        WaitForSingleObject(g_release, INFINITE);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// A window on its own thread with its own message loop, as a host's would be.
class Receiver {
  public:
    Receiver()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SelkaTestReceiver";
        RegisterClassA(&wc);
        m_thread = std::thread([this] {
            m_window = CreateWindowExA(0, "SelkaTestReceiver", "receiver", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
            m_ready = true;
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0)
                DispatchMessageA(&msg);
        });
        while (!m_ready)
            Sleep(5);
    }
    ~Receiver()
    {
        PostMessageA(m_window, WM_QUIT, 0, 0);
        m_thread.join();
    }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;
    HWND Window() const { return m_window; }

  private:
    std::thread m_thread;
    std::atomic<bool> m_ready{false};
    HWND m_window = nullptr;
};

std::vector<Received> TakeReceived()
{
    std::lock_guard<std::mutex> hold(g_lock);
    std::vector<Received> r;
    r.swap(g_received);
    return r;
}

class DirectSstp : public ::testing::Test {
  protected:
    SelkaLibrary selka;
    void SetUp() override { ASSERT_TRUE(selka.Complete()) << "selka.dll or one of its exports is missing"; }
};

// A handle value as the host reads "HWnd": signed 32 bits.
std::string HandleText(HWND hwnd)
{
    return std::to_string(static_cast<int32_t>(reinterpret_cast<intptr_t>(hwnd)));
}

} // namespace

TEST_F(DirectSstp, WhatTheReceiverGets)
{
    Receiver receiver;
    TakeReceived();
    // Any handle will do as the sender; the test's own window shows its value travels unchanged.
    HWND from = CreateWindowExA(0, "STATIC", "from", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(from, nullptr);

    EXPECT_EQ(selka.DSSTPSend(from, receiver.Window(), "おすとら", "\\a\\e", "nodescript"), 1);
    EXPECT_EQ(selka.DSSTPSend(from, receiver.Window(), "おすとら", "\\h\\s0やあ", nullptr), 1);
    EXPECT_EQ(selka.DSSTPSend(from, receiver.Window(), "おすとら", "x", ""), 1);
    EXPECT_EQ(selka.DSSTPNotify(from, receiver.Window(), "おすとら", nullptr, "OnOstraObjectCreate", "タイトル", "",
                                "ghost", nullptr, nullptr, nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(selka.DSSTPNotify(from, receiver.Window(), "おすとら", "", "OnOstraObjectInstalled", nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr, "r7"),
              1);
    const std::string raw("SEND SSTP/1.1\r\nScript: \x83\x5c\\e\r\n\r\n");
    EXPECT_EQ(selka.DSSTPRequest(from, receiver.Window(), raw.c_str()), 1);
    EXPECT_EQ(selka.DSSTPRequest(from, receiver.Window(), ""), 1);

    const std::string hwnd = HandleText(from);
    const std::vector<std::string> expected = {
        "SEND SSTP/1.5\r\nSender: おすとら\r\nScript: \\a\\e\\e\r\nOptions: nodescript\r\nHWnd: " + hwnd + "\r\n\r\n",
        "SEND SSTP/1.5\r\nSender: おすとら\r\nScript: \\h\\s0やあ\\e\r\nHWnd: " + hwnd + "\r\n\r\n",
        "SEND SSTP/1.5\r\nSender: おすとら\r\nScript: x\\e\r\nHWnd: " + hwnd + "\r\n\r\n",
        "NOTIFY SSTP/1.1\r\nSender: おすとら\r\nEvent: OnOstraObjectCreate\r\nReference0: タイトル\r\n"
        "Reference2: ghost\r\nCharset: Shift_JIS\r\n\r\n",
        "NOTIFY SSTP/1.1\r\nSender: おすとら\r\nEvent: OnOstraObjectInstalled\r\nReference7: r7\r\nScript: \r\n"
        "Options: nodescript\r\nCharset: Shift_JIS\r\n\r\n",
        raw,
        "",
    };
    const std::vector<Received> got = TakeReceived();
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].wParam, reinterpret_cast<WPARAM>(from));
        EXPECT_EQ(got[i].dwData, 9801u);
        EXPECT_EQ(got[i].cbData, expected[i].size()); // no NUL counted
        EXPECT_FALSE(got[i].dataNull);                // even for an empty text
        EXPECT_EQ(got[i].bytes, expected[i]);
    }
    DestroyWindow(from);
}

TEST_F(DirectSstp, AnotherProcessReceivesTheBytes)
{
    StandinClient host;
    ASSERT_TRUE(host.Start({"--pos", "600,100"}));
    HWND from = CreateWindowExA(0, "STATIC", "from", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(selka.DSSTPNotify(from, host.Window(), "おすとら", "\\s0電池が少ないよ。\\e", "OnBatteryLow", "15",
                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(selka.DSSTPSend(from, host.Window(), "おすとら", "\\a\\e", "nodescript"), 1);
    const auto records = host.WaitFor("DSSTP", 2, 5000);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(standin::FieldValue(records[0].fields, "from"), HandleText(from));
    EXPECT_EQ(records[0].payload,
              "NOTIFY SSTP/1.1\r\nSender: おすとら\r\nEvent: OnBatteryLow\r\nReference0: 15\r\n"
              "Script: \\s0電池が少ないよ。\\e\r\nOptions: nodescript\r\nCharset: Shift_JIS\r\n\r\n");
    EXPECT_EQ(records[1].payload,
              "SEND SSTP/1.5\r\nSender: おすとら\r\nScript: \\a\\e\\e\r\nOptions: nodescript\r\nHWnd: " +
                  HandleText(from) + "\r\n\r\n");
    host.Quit();
    DestroyWindow(from);
}

// A target that does not answer costs the caller no more than the send's own
// time-out: the receiver here stops pumping until the test lets it go, so a
// send that waited for it would never return (and the test would hang).
TEST_F(DirectSstp, TargetsThatDoNotAnswer)
{
    // Not a window: 0.
    HWND notWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(0x0BAD0F00));
    ASSERT_FALSE(IsWindow(notWindow));
    EXPECT_EQ(selka.DSSTPSend(nullptr, notWindow, "おすとら", "x", nullptr), 0);
    EXPECT_EQ(selka.DSSTPRequest(nullptr, notWindow, "x"), 0);

    g_hanging = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(g_hanging && g_release);
    {
        Receiver receiver;
        TakeReceived();
        PostMessageA(receiver.Window(), kHang, 0, 0);
        ASSERT_EQ(WaitForSingleObject(g_hanging, INFINITE), WAIT_OBJECT_0);
        const int result = selka.DSSTPNotify(nullptr, receiver.Window(), "おすとら", nullptr, "OnOstraObjectCreate",
                                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        // The late message, if it still arrives, points at the sender's
        // long-gone structure and must not be read.
        g_ignoreCopyData = true;
        SetEvent(g_release);
        EXPECT_EQ(result, 0);
    } // the receiver's thread has ended here
    EXPECT_TRUE(TakeReceived().empty());
    g_ignoreCopyData = false;
    CloseHandle(g_hanging);
    CloseHandle(g_release);
}

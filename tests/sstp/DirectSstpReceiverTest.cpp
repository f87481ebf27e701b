// Direct SSTP between real windows of several processes: stand-in hosts send
// requests to a skin-like window of this process, which answers through
// ReceiveDirectSstp; each stand-in logs the exact bytes it receives and from
// which window, and the message result its request got.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "harness/StandinClient.h"
#include "harness/TestEnv.h"
#include "talk/DirectSstpReceiver.h"

namespace {

// The receiving window's state, read by its window procedure.
struct Receiver {
    bool playing = false;
    std::vector<std::string> played;
    // Run inside the play callback, while the sentence "plays".
    std::function<void(const std::string&)> duringPlay;
};
Receiver g_receiver;

LRESULT CALLBACK SkinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COPYDATA) {
        const bool handled =
            talk::ReceiveDirectSstp(hwnd, reinterpret_cast<HWND>(wp), reinterpret_cast<const COPYDATASTRUCT*>(lp),
                                    g_receiver.playing, [](const std::string& script) {
                                        g_receiver.played.push_back(script);
                                        g_receiver.playing = true;
                                        if (g_receiver.duringPlay) g_receiver.duringPlay(script);
                                        g_receiver.playing = false;
                                    });
        return handled ? 1 : 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

int32_t Number(HWND hwnd)
{
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(hwnd));
}

std::vector<standin::LogRecord> Records(const StandinClient& host, const std::string& kind)
{
    std::vector<standin::LogRecord> found;
    for (const auto& record : host.Log())
        if (record.kind == kind) found.push_back(record);
    return found;
}

class DirectSstpReceiverTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = SkinProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OstraSstpTestSkin";
        RegisterClassA(&wc);
    }

    void SetUp() override
    {
        g_receiver = Receiver();
        m_skin = CreateWindowExA(WS_EX_TOOLWINDOW, "OstraSstpTestSkin", "skin", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_skin, nullptr);
        // The requester, and a second host whose window the requests name in "HWnd".
        ASSERT_TRUE(m_requester.Start({"--hidden"}, "requester.log"));
        ASSERT_TRUE(m_named.Start({"--hidden", "--no-mutex"}, "named.log"));
    }

    void TearDown() override
    {
        m_requester.Quit();
        m_named.Quit();
        DestroyWindow(m_skin);
    }

    // Has the requester send 'request' to the skin window; returns once the
    // request and all its answers have been delivered.
    void Send(StandinClient& from, const std::string& request)
    {
        ASSERT_TRUE(from.Control("sendraw " + std::to_string(Number(m_skin)) + "\n" + request));
    }

    std::string Request(const std::string& script, HWND answerTo) const
    {
        return "SEND SSTP/1.1\r\nSender: test\r\nScript: " + script + "\r\nHWnd: " + std::to_string(Number(answerTo)) +
               "\r\n\r\n";
    }

    // Exactly one answer, with these bytes, from the skin window, arrived at
    // 'at', and none at 'elsewhere'.
    void ExpectAnswer(const StandinClient& at, const StandinClient& elsewhere, const std::string& status)
    {
        const auto answers = Records(at, "DSSTP");
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(answers[0].payload, status);
        EXPECT_EQ(standin::FieldValue(answers[0].fields, "from"), std::to_string(Number(m_skin)));
        EXPECT_TRUE(Records(elsewhere, "DSSTP").empty());
    }

    // The requester's own request was taken with the message result 1.
    void ExpectResultOne()
    {
        const auto sent = Records(m_requester, "SENT");
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(standin::FieldValue(sent[0].fields, "ok"), "1");
        EXPECT_EQ(standin::FieldValue(sent[0].fields, "result"), "1");
    }

    HWND m_skin = nullptr;
    StandinClient m_requester;
    StandinClient m_named;
};

TEST_F(DirectSstpReceiverTest, AcceptedRequestIsAnsweredToTheHWndWindowBeforeItsScriptPlays)
{
    std::string answerSeenBeforePlay;
    g_receiver.duringPlay = [&](const std::string&) {
        // Read while the script plays: the answer must already be there.
        for (const auto& record : Records(m_named, "DSSTP"))
            answerSeenBeforePlay += record.payload;
    };
    const std::string script = "\\s[0]\\w9\\s[10]表示\\e";
    Send(m_requester, Request(script, m_named.Window()));
    ExpectAnswer(m_named, m_requester, "SSTP/1.1 200 OK\r\n");
    EXPECT_EQ(answerSeenBeforePlay, "SSTP/1.1 200 OK\r\n");
    ASSERT_EQ(g_receiver.played.size(), 1u);
    EXPECT_EQ(g_receiver.played[0], script);
    ExpectResultOne();
}

TEST_F(DirectSstpReceiverTest, RefusedRequestsAreAnsweredToTheirWindowAndNothingPlays)
{
    struct Case {
        const char* name;
        std::string request;
        bool toNamed; // the HWnd window, else the requester
        std::string status;
    };
    const std::string named = std::to_string(Number(m_named.Window()));
    const Case cases[] = {
        {"version 1.4", "SEND SSTP/1.4\r\nScript: \\e\r\nHWnd: " + named + "\r\n\r\n", false,
         "SSTP/1.1 501 Not Implemented\r\n"},
        {"NOTIFY", "NOTIFY SSTP/1.1\r\nEvent: OnTest\r\nScript: \\e\r\nHWnd: " + named + "\r\n\r\n", false,
         "SSTP/1.1 400 Bad Request\r\n"},
        {"no HWnd", "SEND SSTP/1.1\r\nSender: test\r\nScript: \\s[1]\\e\r\n\r\n", false,
         "SSTP/1.1 400 Bad Request\r\n"},
        {"script header in lower case", "SEND SSTP/1.1\r\nscript: \\s[1]\\e\r\nHWnd: " + named + "\r\n\r\n", true,
         "SSTP/1.1 400 Bad Request\r\n"},
        {"only empty lines", "\r\n\r\n", false, "SSTP/1.1 400 Bad Request\r\n"},
        {"empty", "", false, "SSTP/1.1 400 Bad Request\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(m_requester.LogPath().c_str());
        DeleteFileA(m_named.LogPath().c_str());
        Send(m_requester, c.request);
        if (c.toNamed)
            ExpectAnswer(m_named, m_requester, c.status);
        else
            ExpectAnswer(m_requester, m_named, c.status);
        ExpectResultOne();
    }
    EXPECT_TRUE(g_receiver.played.empty());
}

TEST_F(DirectSstpReceiverTest, ASecondRequestWhileTheFirstPlaysGetsConflictAtItsSender)
{
    StandinClient second;
    ASSERT_TRUE(second.Start({"--hidden", "--no-mutex"}, "second.log"));
    g_receiver.duringPlay = [&](const std::string&) {
        // While the first script waits, another program asks the same skin.
        g_receiver.duringPlay = nullptr;
        Send(second, Request("\\s[2]\\e", second.Window()));
    };
    Send(m_requester, Request("\\s[1]\\w9\\e", m_named.Window()));
    ExpectAnswer(m_named, m_requester, "SSTP/1.1 200 OK\r\n");
    // 409 goes to the sender's window (the message's wParam), here also its HWnd.
    const auto conflict = Records(second, "DSSTP");
    ASSERT_EQ(conflict.size(), 1u);
    EXPECT_EQ(conflict[0].payload, "SSTP/1.1 409 Conflict\r\n");
    EXPECT_EQ(standin::FieldValue(conflict[0].fields, "from"), std::to_string(Number(m_skin)));
    ASSERT_EQ(g_receiver.played.size(), 1u);
    EXPECT_EQ(g_receiver.played[0], "\\s[1]\\w9\\e");
    second.Quit();
}

TEST_F(DirectSstpReceiverTest, ConflictGoesToTheSenderNotToTheHWndWindow)
{
    g_receiver.playing = true;
    Send(m_requester, Request("\\s[1]\\e", m_named.Window()));
    ExpectAnswer(m_requester, m_named, "SSTP/1.1 409 Conflict\r\n");
    EXPECT_TRUE(g_receiver.played.empty());
    ExpectResultOne();
}

TEST_F(DirectSstpReceiverTest, AnAnswerWindowThatIsGoneLosesTheAnswerOnly)
{
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    Send(m_requester, Request("\\s[5]\\e", gone));
    EXPECT_TRUE(Records(m_requester, "DSSTP").empty());
    EXPECT_TRUE(Records(m_named, "DSSTP").empty());
    ASSERT_EQ(g_receiver.played.size(), 1u);
    ExpectResultOne();
}

TEST_F(DirectSstpReceiverTest, OtherCopyDataIsLeftToTheWindow)
{
    COPYDATASTRUCT other{};
    other.dwData = 9800;
    other.cbData = 13;
    other.lpData = const_cast<char*>("SEND SSTP/1.1");
    EXPECT_FALSE(talk::ReceiveDirectSstp(m_skin, m_requester.Window(), &other, false, nullptr));
    EXPECT_FALSE(talk::ReceiveDirectSstp(m_skin, m_requester.Window(), nullptr, false, nullptr));
    EXPECT_TRUE(Records(m_requester, "DSSTP").empty());
}

} // namespace

// The stand-in host under Wine, driven as the later end-to-end tests drive it:
// position queries, Direct SSTP in both directions, window control and the
// TCP SSTP server.
#include <winsock2.h>
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "harness/StandinClient.h"
#include "harness/TestEnv.h"
#include "tools/standin/StandinControl.h"

namespace {

LRESULT Query(HWND host, WPARAM code, LPARAM index, bool* answered = nullptr)
{
    static const UINT sakura = RegisterWindowMessageA("Sakura");
    DWORD_PTR result = 0;
    LRESULT ok = SendMessageTimeoutA(host, sakura, code, index, SMTO_ABORTIFHUNG, 1000, &result);
    if (answered) *answered = ok != 0;
    return static_cast<LRESULT>(static_cast<int32_t>(result));
}

std::string g_received;
LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COPYDATA) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        g_received.assign(static_cast<const char*>(cds->lpData), cds->cbData);
        // Answer the requester the way a skin window does: a status line to the HWnd window.
        std::string status = "SSTP/1.1 200 OK\r\n";
        COPYDATASTRUCT answer{9801, static_cast<DWORD>(status.size()), const_cast<char*>(status.c_str())};
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(reinterpret_cast<HWND>(wp), WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd),
                            reinterpret_cast<LPARAM>(&answer), SMTO_ABORTIFHUNG, 1000, &ignored);
        return 1;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND MakeReceiver()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "StandinTestReceiver";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "StandinTestReceiver", "receiver", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

} // namespace

TEST(StandinHost, AnswersPositionQueriesAsConfigured)
{
    StandinClient host;
    ASSERT_TRUE(host.Start({"--answer", "132=150,40", "--answer", "128=100,20,200,220", "--answer", "130=minus",
                            "--answer", "131=hang", "--answer", "129=zero"}));
    EXPECT_EQ(Query(host.Window(), 132, 0), 150);
    EXPECT_EQ(Query(host.Window(), 132, 1), 40);
    const LRESULT rect[] = {100, 20, 200, 220};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Query(host.Window(), 128, i), rect[i]);
    EXPECT_EQ(Query(host.Window(), 130, 3), -1);
    EXPECT_EQ(Query(host.Window(), 129, 2), 0);
    EXPECT_EQ(Query(host.Window(), 127, 0), 0); // no answer configured

    // The host never answers this one: the query comes back unanswered
    // (its own time-out), however long the machine takes to get there.
    bool answered = true;
    Query(host.Window(), 131, 0, &answered);
    EXPECT_FALSE(answered) << "a hanging query must time out";

    auto queries = host.WaitFor("QUERY", 10, 5000);
    ASSERT_GE(queries.size(), 9u);
    EXPECT_EQ(queries[0].fields, "code=132 index=0 answer=150");
    EXPECT_EQ(queries[8].fields, "code=127 index=0 answer=none");
}

TEST(StandinHost, LogsDirectSstpByteForByte)
{
    StandinClient host;
    ASSERT_TRUE(host.Start());
    // Shift_JIS with a trail byte 0x5C, and no terminating zero.
    const std::string text = "NOTIFY SSTP/1.1\r\nSender: \x82\xa8\x82\xb7\x82\xc6\x82\xe7\r\nEvent: \x95\x5c\r\n\r\n";
    COPYDATASTRUCT cds{9801, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
    DWORD_PTR result = 0;
    ASSERT_NE(SendMessageTimeoutA(host.Window(), WM_COPYDATA, static_cast<WPARAM>(-1234),
                                  reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG, 1000, &result), 0);
    EXPECT_EQ(result, 1u);
    cds.dwData = 42; // another dwData is not Direct SSTP
    SendMessageTimeoutA(host.Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG, 1000, &result);
    EXPECT_EQ(result, 0u);

    auto records = host.WaitFor("DSSTP", 1, 3000);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].payload, text);
    EXPECT_EQ(standin::FieldValue(records[0].fields, "from"), "-1234");
}

TEST(StandinHost, SendsAsRequesterAndLogsTheAnswer)
{
    HWND receiver = MakeReceiver();
    ASSERT_NE(receiver, nullptr);
    StandinClient host;
    ASSERT_TRUE(host.Start());
    g_received.clear();
    std::string command = "send " + std::to_string(reinterpret_cast<intptr_t>(receiver)) + "\n\\s[10]\\w9\\e";
    ASSERT_TRUE(host.Control(command));
    EXPECT_EQ(g_received, standin::BuildSendRequest("\\s[10]\\w9\\e",
                                                    static_cast<int32_t>(reinterpret_cast<intptr_t>(host.Window()))));
    auto answers = host.WaitFor("DSSTP", 1, 3000);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].payload, "SSTP/1.1 200 OK\r\n");
    auto sent = host.WaitFor("SENT", 1, 3000);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(standin::FieldValue(sent[0].fields, "ok"), "1");
    EXPECT_EQ(standin::FieldValue(sent[0].fields, "result"), "1");
    DestroyWindow(receiver);
}

TEST(StandinHost, WindowFollowsControlCommands)
{
    StandinClient host;
    ASSERT_TRUE(host.Start({"--pos", "300,100", "--size", "120,200", "--mutex", "ostra-standin-test"}));
    HANDLE presence = OpenMutexA(SYNCHRONIZE, FALSE, "ostra-standin-test");
    EXPECT_NE(presence, nullptr) << "the presence mutex is held while the host runs";
    if (presence) CloseHandle(presence);

    RECT rc;
    GetWindowRect(host.Window(), &rc);
    EXPECT_EQ(rc.left, 300);
    EXPECT_EQ(rc.top, 100);
    EXPECT_EQ(rc.right - rc.left, 120);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(host.Window(), region), COMPLEXREGION) << "the character is shaped";
    DeleteObject(region);

    ASSERT_TRUE(host.Control("move 50 60"));
    GetWindowRect(host.Window(), &rc);
    EXPECT_EQ(rc.left, 50);
    EXPECT_EQ(rc.top, 60);
    ASSERT_TRUE(host.Control("hide"));
    EXPECT_FALSE(IsWindowVisible(host.Window()));
    ASSERT_TRUE(host.Control("show"));
    EXPECT_TRUE(IsWindowVisible(host.Window()));
    ASSERT_TRUE(host.Control("minimize"));
    EXPECT_TRUE(IsIconic(host.Window()));
    ASSERT_TRUE(host.Control("restore"));
    EXPECT_FALSE(IsIconic(host.Window()));
    EXPECT_FALSE(host.Control("dance"));

    host.Quit();
    EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, "ostra-standin-test"), nullptr);
}

TEST(StandinHost, ServesSstpOverTcp)
{
    StandinClient host;
    ASSERT_TRUE(host.Start({"--sstp-server", "--sstp-port", "19871"}));
    WSADATA wsa;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(19871);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    // Sent in two pieces: the server reads up to the empty line.
    const std::string first = "SEND SSTP/1.4\r\nSender: test\r\n";
    const std::string second = "Script: \\h\\s0hi\\e\r\n\r\n";
    send(s, first.data(), static_cast<int>(first.size()), 0);
    Sleep(100);
    send(s, second.data(), static_cast<int>(second.size()), 0);
    std::string answer;
    char buffer[256];
    int n;
    while ((n = recv(s, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, n);
    closesocket(s);
    WSACleanup();
    EXPECT_EQ(answer, "SSTP/1.4 200 OK\r\n");
    auto records = host.WaitFor("TCP", 1, 3000);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].payload, first + second);
}

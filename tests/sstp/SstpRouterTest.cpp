// The SSTP relay under Wine with real TCP servers standing in for the host:
// the stand-in host program, and a server of this test process for the
// cases the stand-in does not play (held, silent and endless answers).
// Ports are the system's choice, so the tests meet no real host and no
// other checkout on the machine; the pause between accepted connections is
// left out so the tests stay short.
#include <winsock2.h>
#include <windows.h>

#include <tlhelp32.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RelayTestHost.h"
#include "framework/TcpSocket.h"
#include "harness/StandinClient.h"
#include "talk/SstpRouter.h"

namespace {

using talk::RelaySettings;
using talk::SstpRouter;

// A connection to the relay as a local program makes it.
class Client {
  public:
    // 'from': the local address to connect from (null: the system's choice).
    bool Connect(uint16_t port, const char* to = "127.0.0.1", const char* from = nullptr)
    {
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (m_socket == INVALID_SOCKET) return false;
        // Only a bound on a test that fails: never reached when the relay works.
        DWORD timeout = 60000;
        setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        if (from) {
            sockaddr_in local{};
            local.sin_family = AF_INET;
            local.sin_addr.s_addr = inet_addr(from);
            if (bind(m_socket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return false;
        }
        sockaddr_in target{};
        target.sin_family = AF_INET;
        target.sin_port = htons(port);
        target.sin_addr.s_addr = inet_addr(to);
        return connect(m_socket, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0;
    }

    // Sends the pieces one by one, a little apart, so they arrive as pieces.
    // False when the relay has closed the connection before all went out.
    bool Send(const std::vector<std::string>& pieces)
    {
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (i > 0) Sleep(30);
            const std::string& piece = pieces[i];
            for (std::size_t done = 0; done < piece.size();) {
                const int n = send(m_socket, piece.data() + done, static_cast<int>(piece.size() - done), 0);
                if (n <= 0) return false;
                done += static_cast<std::size_t>(n);
            }
        }
        return true;
    }

    // Reads until the relay closes the connection. 'closed' tells whether it
    // did (an orderly close or a reset) rather than the read timing out.
    std::string ReadAll(bool* closed)
    {
        std::string answer;
        char buffer[4096];
        for (;;) {
            const int n = recv(m_socket, buffer, sizeof buffer, 0);
            if (n > 0) {
                answer.append(buffer, n);
                continue;
            }
            *closed = n == 0 || WSAGetLastError() != WSAETIMEDOUT;
            return answer;
        }
    }

    ~Client()
    {
        if (m_socket != INVALID_SOCKET) closesocket(m_socket);
    }

  private:
    SOCKET m_socket = INVALID_SOCKET;
};

// One request and its answer; 'closed' as in Client::ReadAll.
std::string Converse(uint16_t port, const std::vector<std::string>& pieces, bool* closed)
{
    Client client;
    EXPECT_TRUE(client.Connect(port));
    client.Send(pieces);
    return client.ReadAll(closed);
}

std::string Request(const std::string& script)
{
    return "SEND SSTP/1.1\r\nSender: test\r\nScript: " + script + "\r\nHWnd: 0\r\n\r\n";
}

// The presence mutex of a host program, held by this process.
class HostPresence {
  public:
    HostPresence() : m_mutex(CreateMutexA(nullptr, FALSE, "ssp")) {}
    ~HostPresence() { CloseHandle(m_mutex); }
    HostPresence(const HostPresence&) = delete;
    HostPresence& operator=(const HostPresence&) = delete;

  private:
    HANDLE m_mutex;
};

bool HostMutexExists()
{
    for (const char* name : {"sakura", "ssp"}) {
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name);
        if (mutex) {
            CloseHandle(mutex);
            return true;
        }
    }
    return false;
}

std::set<DWORD> ProcessThreadIds()
{
    std::set<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ids.insert(entry.th32ThreadID);
    CloseHandle(snapshot);
    return ids;
}

uint16_t FreePort()
{
    TcpSocket probe;
    sockaddr_in address{};
    int size = sizeof address;
    if (!probe.Create() || !probe.Bind("127.0.0.1", 0) ||
        getsockname(probe.Handle(), reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return 0;
    return ntohs(address.sin_port);
}

RelaySettings TestSettings(uint16_t hostPort)
{
    RelaySettings settings;
    settings.listenPort = 0;
    settings.hostPort = hostPort;
    settings.acceptPauseMs = 0;
    return settings;
}

class SstpRouterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    }
    static void TearDownTestSuite() { WSACleanup(); }

    // A well-formed request after the case under test: it is relayed, and
    // the host has seen nothing before it.
    void ExpectOnlyThisRequestRelayed(SstpRouter& router, RelayTestHost& host)
    {
        bool closed = false;
        EXPECT_EQ(Converse(router.Port(), {Request("\\s[7]\\e")}, &closed), "SSTP/1.1 200 OK\r\n");
        ASSERT_TRUE(host.WaitForRequests(1, 30000));
        EXPECT_EQ(host.Requests(), std::vector<std::string>{Request("\\s[7]\\e")});
        EXPECT_EQ(host.Connections(), 1u);
    }
};

TEST_F(SstpRouterTest, ARequestSentInPiecesIsRelayedOnceAndItsAnswerReturnedUnchanged)
{
    const uint16_t hostPort = FreePort();
    ASSERT_NE(hostPort, 0);
    StandinClient standin;
    ASSERT_TRUE(standin.Start({"--hidden", "--sstp-server", "--sstp-port", std::to_string(hostPort)}));
    SstpRouter router;
    ASSERT_TRUE(router.StartRouting(TestSettings(hostPort)));
    ASSERT_NE(router.Port(), 0);

    // The closing empty line comes as a piece of its own.
    const std::vector<std::string> pieces = {"SEND SSTP/1.1\r\nSender: テスト\r\n", "Script: \\s[3]表示\\e\r\n",
                                             "HWnd: 0\r\n", "\r\n"};
    bool closed = false;
    EXPECT_EQ(Converse(router.Port(), pieces, &closed), "SSTP/1.4 200 OK\r\n"); // the stand-in's own answer
    EXPECT_TRUE(closed);
    router.StopRouting();
    const auto records = standin.WaitFor("TCP", 1, 10000);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].payload, pieces[0] + pieces[1] + pieces[2] + pieces[3]);
    standin.Quit();
    EXPECT_EQ(standin.Log().size(), 1u); // relayed once
}

TEST_F(SstpRouterTest, ALongAnswerComesBackByteForByte)
{
    HostPresence presence;
    std::string answer = "SSTP/1.1 200 OK\r\nCharset: Shift_JIS\r\nScript: ";
    while (answer.size() < 5000)
        answer += "表示\\n";
    answer += "\r\n\r\n";
    RelayTestHost host;
    ASSERT_TRUE(host.Start(RelayTestHost::Mode::Answer, answer));
    SstpRouter router;
    ASSERT_TRUE(router.StartRouting(TestSettings(host.Port())));
    bool closed = false;
    EXPECT_EQ(Converse(router.Port(), {Request("\\e")}, &closed), answer);
    EXPECT_EQ(host.Requests(), std::vector<std::string>{Request("\\e")});
}

TEST_F(SstpRouterTest, WithoutTheHostsMutexNothingIsRelayed)
{
    ASSERT_FALSE(HostMutexExists()) << "a host program's mutex is held outside this test";
    RelayTestHost host;
    ASSERT_TRUE(host.Start(RelayTestHost::Mode::Answer));
    SstpRouter router;
    ASSERT_TRUE(router.StartRouting(TestSettings(host.Port())));
    bool closed = false;
    EXPECT_EQ(Converse(router.Port(), {Request("\\s[1]\\e")}, &closed), "");
    EXPECT_TRUE(closed);

    HostPresence presence;
    ExpectOnlyThisRequestRelayed(router, host);
}

TEST_F(SstpRouterTest, APortAlreadyTakenLeavesTheCallerWithoutRouting)
{
    TcpSocket owner;
    ASSERT_TRUE(owner.Create());
    ASSERT_TRUE(owner.Bind("127.0.0.1", 0));
    ASSERT_TRUE(owner.Listen(5));
    sockaddr_in address{};
    int size = sizeof address;
    ASSERT_EQ(getsockname(owner.Handle(), reinterpret_cast<sockaddr*>(&address), &size), 0);

    SstpRouter router;
    RelaySettings settings = TestSettings(9801);
    settings.listenPort = ntohs(address.sin_port);
    EXPECT_FALSE(router.StartRouting(settings));
    EXPECT_FALSE(router.Routing());
    EXPECT_EQ(router.Port(), 0);
    router.StopRouting();

    // The port's owner still has it.
    Client client;
    ASSERT_TRUE(client.Connect(settings.listenPort));
    TcpSocket accepted = owner.Accept();
    EXPECT_TRUE(accepted.Valid());
}

TEST_F(SstpRouterTest, ListensOnTheLoopbackAddressOnlyAndServesOnlyItsPeers)
{
    HostPresence presence;
    RelayTestHost host;
    ASSERT_TRUE(host.Start(RelayTestHost::Mode::Answer));
    SstpRouter router;
    ASSERT_TRUE(router.StartRouting(TestSettings(host.Port())));

    // Linux answers every 127.x address on the loopback device; a listener
    // bound to all addresses would take this connection.
    Client elsewhere;
    EXPECT_FALSE(elsewhere.Connect(router.Port(), "127.0.0.2"));

    // A peer with another address reaches the port but is closed at once.
    Client stranger;
    ASSERT_TRUE(stranger.Connect(router.Port(), "127.0.0.1", "127.0.0.2"));
    stranger.Send({Request("\\s[1]\\e")});
    bool closed = false;
    EXPECT_EQ(stranger.ReadAll(&closed), "");
    EXPECT_TRUE(closed);

    ExpectOnlyThisRequestRelayed(router, host);
}

TEST_F(SstpRouterTest, AConnectionThatSendsNothingIsClosedWithoutAnAnswer)
{
    HostPresence presence;
    RelayTestHost host;
    ASSERT_TRUE(host.Start(RelayTestHost::Mode::Answer));
    SstpRouter router;
    RelaySettings settings = TestSettings(host.Port());
    settings.firstDataWaitMs = 200;
    ASSERT_TRUE(router.StartRouting(settings));
    Client quiet;
    ASSERT_TRUE(quiet.Connect(router.Port()));
    bool closed = false;
    EXPECT_EQ(quiet.ReadAll(&closed), "");
    EXPECT_TRUE(closed);
    ExpectOnlyThisRequestRelayed(router, host);
}

TEST_F(SstpRouterTest, ARequestOfTwoMebibytesWithoutAnEmptyLineIsDropped)
{
    HostPresence presence;
    RelayTestHost host;
    ASSERT_TRUE(host.Start(RelayTestHost::Mode::Answer));
    SstpRouter router;
    ASSERT_TRUE(router.StartRouting(TestSettings(host.Port())));

    std::string endless = "SEND SSTP/1.1\r\n";
    while (endless.size() < (2u << 20))
        endless += "Sender: a line that never ends the request\r\n";
    Client flood;
    ASSERT_TRUE(flood.Connect(router.Port()));
    flood.Send({endless}); // the relay closes while this is still sending
    bool closed = false;
    EXPECT_EQ(flood.ReadAll(&closed), "");
    EXPECT_TRUE(closed);
    ExpectOnlyThisRequestRelayed(router, host);
}

TEST_F(SstpRouterTest, ARequestNotCompleteInTimeIsDropped)
{
    HostPresence presence;
    RelayTestHost host;
    ASSERT_TRUE(host.Start(RelayTestHost::Mode::Answer));
    SstpRouter router;
    RelaySettings settings = TestSettings(host.Port());
    settings.requestTimeLimitMs = 300;
    ASSERT_TRUE(router.StartRouting(settings));
    Client slow;
    ASSERT_TRUE(slow.Connect(router.Port()));
    slow.Send({"SEND SSTP/1.1\r\nSender: slow\r\n"});
    bool closed = false;
    EXPECT_EQ(slow.ReadAll(&closed), "");
    EXPECT_TRUE(closed);
    ExpectOnlyThisRequestRelayed(router, host);
}

TEST_F(SstpRouterTest, ASilentHostGivesNoAnswerAndItsConnectionIsEnded)
{
    HostPresence presence;
    RelayTestHost host;
    ASSERT_TRUE(host.Start(RelayTestHost::Mode::Hold));
    SstpRouter router;
    RelaySettings settings = TestSettings(host.Port());
    settings.exchangeTimeLimitMs = 300;
    ASSERT_TRUE(router.StartRouting(settings));
    bool closed = false;
    EXPECT_EQ(Converse(router.Port(), {Request("\\s[1]\\e")}, &closed), "");
    EXPECT_TRUE(closed);
    EXPECT_TRUE(host.WaitForPeersClosed(1, 30000));
    EXPECT_EQ(host.Requests(), std::vector<std::string>{Request("\\s[1]\\e")});
}

TEST_F(SstpRouterTest, AnEndlessAnswerIsCutAtOneMebibyte)
{
    HostPresence presence;
    RelayTestHost host;
    ASSERT_TRUE(host.Start(RelayTestHost::Mode::Endless));
    SstpRouter router;
    ASSERT_TRUE(router.StartRouting(TestSettings(host.Port())));
    bool closed = false;
    const std::string answer = Converse(router.Port(), {Request("\\e")}, &closed);
    EXPECT_TRUE(closed);
    EXPECT_EQ(answer.size(), 1u << 20);
    EXPECT_TRUE(answer == RelayTestHost::EndlessBytes(1u << 20));
}

TEST_F(SstpRouterTest, AtMostSixteenConnectionsAreServedAtOnce)
{
    HostPresence presence;
    RelayTestHost host;
    ASSERT_TRUE(host.Start(RelayTestHost::Mode::Hold));
    SstpRouter router;
    RelaySettings settings = TestSettings(host.Port());
    settings.exchangeTimeLimitMs = 120000; // held until released, however slow the machine
    ASSERT_TRUE(router.StartRouting(settings));

    std::vector<std::unique_ptr<Client>> served;
    for (int i = 0; i < 16; ++i) {
        served.push_back(std::make_unique<Client>());
        ASSERT_TRUE(served.back()->Connect(router.Port()));
        ASSERT_TRUE(served.back()->Send({Request("\\s[" + std::to_string(i) + "]\\e")}));
    }
    ASSERT_TRUE(host.WaitForRequests(16, 60000));
    EXPECT_EQ(router.ActiveConnections(), 16u);

    // A seventeenth is closed at once, unrelayed.
    Client refused;
    ASSERT_TRUE(refused.Connect(router.Port()));
    refused.Send({Request("\\s[99]\\e")});
    bool closed = false;
    EXPECT_EQ(refused.ReadAll(&closed), "");
    EXPECT_TRUE(closed);

    host.Release();
    for (auto& client : served)
        EXPECT_EQ(client->ReadAll(&closed), "SSTP/1.1 200 OK\r\n");

    // With the sixteen done, the next one is served again.
    EXPECT_EQ(Converse(router.Port(), {Request("\\s[17]\\e")}, &closed), "SSTP/1.1 200 OK\r\n");
    const auto requests = host.Requests();
    ASSERT_EQ(requests.size(), 17u);
    for (const auto& request : requests)
        EXPECT_NE(request, Request("\\s[99]\\e"));
    EXPECT_EQ(requests.back(), Request("\\s[17]\\e"));
}

TEST_F(SstpRouterTest, StopRoutingEndsConnectionsThatWaitOnASilentHost)
{
    HostPresence presence;
    RelayTestHost host;
    ASSERT_TRUE(host.Start(RelayTestHost::Mode::Hold));
    const std::set<DWORD> before = ProcessThreadIds();
    auto router = std::make_unique<SstpRouter>();
    ASSERT_TRUE(router->StartRouting(TestSettings(host.Port()))); // the program's own time limits
    const uint16_t port = router->Port();
    Client waiting;
    ASSERT_TRUE(waiting.Connect(port));
    ASSERT_TRUE(waiting.Send({Request("\\s[1]\\e")}));
    ASSERT_TRUE(host.WaitForRequests(1, 30000));

    EXPECT_EQ(router->ActiveConnections(), 1u);

    router->StopRouting();
    EXPECT_FALSE(router->Routing());
    // No thread of the relay is left: every thread that came since is the host's.
    const std::set<DWORD> hosts = host.ThreadIds();
    for (DWORD id : ProcessThreadIds()) {
        if (!before.count(id)) {
            EXPECT_TRUE(hosts.count(id)) << "thread " << id << " outlived the relay";
        }
    }
    router.reset();
    // Both connections of the connection thread are closed.
    bool closed = false;
    EXPECT_EQ(waiting.ReadAll(&closed), "");
    EXPECT_TRUE(closed);
    EXPECT_TRUE(host.WaitForPeersClosed(1, 30000));
    // Nobody listens any more.
    Client late;
    EXPECT_FALSE(late.Connect(port));
}

} // namespace

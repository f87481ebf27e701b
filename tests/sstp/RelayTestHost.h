#pragma once
// A TCP server in the test process that plays a host program's SSTP server
// in the ways the stand-in host does not: holding requests unanswered,
// answering without end, counting connections served at once.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

class RelayTestHost {
  public:
    enum class Mode {
        Answer,  // answers every request with the text given, then closes
        Hold,    // keeps every request unanswered until Release (then answers) or the peer closes
        Endless, // answers with bytes without end until the peer goes
    };

    RelayTestHost() = default;
    ~RelayTestHost();
    RelayTestHost(const RelayTestHost&) = delete;
    RelayTestHost& operator=(const RelayTestHost&) = delete;

    // Listens on 127.0.0.1 on a port of the system's choice.
    bool Start(Mode mode, const std::string& answer = "SSTP/1.1 200 OK\r\n");
    uint16_t Port() const { return m_port; }

    // Connections accepted so far, and the requests read (each up to its
    // empty line or the end of its connection), in the order they came.
    std::size_t Connections() const;
    std::vector<std::string> Requests() const;
    // Held connections whose peer has closed its side.
    std::size_t PeersClosed() const;
    // Waits until 'count' requests have come (true) or 'ms' have passed (false).
    bool WaitForRequests(std::size_t count, DWORD ms) const;
    bool WaitForPeersClosed(std::size_t count, DWORD ms) const;
    // Held requests are answered now.
    void Release();
    // The ids of every thread this host has run.
    std::set<DWORD> ThreadIds() const;

    // The bytes an Endless host sends, from its first one.
    static std::string EndlessBytes(std::size_t length);

  private:
    void Serve(SOCKET connection);

    Mode m_mode = Mode::Answer;
    std::string m_answer;
    SOCKET m_listener = INVALID_SOCKET;
    uint16_t m_port = 0;
    std::thread m_acceptor;
    std::vector<std::thread> m_connections;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_released{false};
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::size_t m_accepted = 0;
    std::size_t m_peersClosed = 0;
    std::vector<std::string> m_requests;
    std::set<DWORD> m_threadIds;
};

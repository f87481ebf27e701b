#pragma once
// A non-blocking TCP connection of the relay whose every wait is bounded by a
// deadline and broken off by the relay's stop flag, so a silent or stuck
// peer never holds a thread past either.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "framework/TcpSocket.h"

namespace talk {

class RelayStream {
  public:
    // The clock of every deadline: milliseconds of GetTickCount64.
    static uint64_t Now();

    // 'stop' may be null (nothing breaks the waits off but the deadlines);
    // 'pollMs' is how often a wait looks at it.
    RelayStream(TcpSocket socket, const std::atomic<bool>* stop, unsigned pollMs);
    ~RelayStream() { Close(); }
    RelayStream(const RelayStream&) = delete;
    RelayStream& operator=(const RelayStream&) = delete;

    // Connects a new socket to the IPv4 address, waiting no longer than
    // 'deadline'. False when it fails, times out or the relay stops.
    bool Connect(const sockaddr_in& target, uint64_t deadline);

    enum class Wait { Ready, TimedOut, Stopped, Failed };
    // Waits until data (or the end of the stream) can be read.
    Wait WaitReadable(uint64_t deadline);

    // One recv: the number of bytes, 0 at the end of the stream, -1 when the
    // read fails or nothing is there yet (call WaitReadable first).
    int Receive(char* buffer, int length);

    // Sends every byte before the deadline; false when the connection
    // fails, the time runs out or the relay stops first.
    bool SendAll(const char* data, std::size_t length, uint64_t deadline);

    // Ends the connection: both directions shut down, the socket closed.
    void Close();

    bool Stopping() const { return m_stop && m_stop->load(); }
    bool Valid() const { return m_socket.Valid(); }

  private:
    Wait WaitFor(bool write, uint64_t deadline);

    TcpSocket m_socket;
    const std::atomic<bool>* m_stop;
    unsigned m_pollMs;
    bool m_connected = false;
};

} // namespace talk

#include "talk/RelayStream.h"

#include <algorithm>

namespace talk {

namespace {

bool MakeNonBlocking(SOCKET socket)
{
    u_long on = 1;
    return ioctlsocket(socket, FIONBIO, &on) == 0;
}

} // namespace

uint64_t RelayStream::Now()
{
    return GetTickCount64();
}

RelayStream::RelayStream(TcpSocket socket, const std::atomic<bool>* stop, unsigned pollMs)
    : m_socket(std::move(socket)), m_stop(stop), m_pollMs(pollMs ? pollMs : 1)
{
    if (m_socket.Valid()) {
        m_connected = true;
        if (!MakeNonBlocking(m_socket.Handle())) m_socket.Close();
    }
}

RelayStream::Wait RelayStream::WaitFor(bool write, uint64_t deadline)
{
    if (!m_socket.Valid()) return Wait::Failed;
    for (;;) {
        if (Stopping()) return Wait::Stopped;
        const uint64_t now = Now();
        if (now >= deadline) return Wait::TimedOut;
        const uint64_t slice = std::min<uint64_t>(deadline - now, m_pollMs);
        fd_set ready, failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(m_socket.Handle(), &ready);
        FD_SET(m_socket.Handle(), &failed);
        timeval wait{static_cast<long>(slice / 1000), static_cast<long>(slice % 1000) * 1000};
        // Windows reports a failed connect in the exception set, not as writable.
        const int n = select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &wait);
        if (n == SOCKET_ERROR) return Wait::Failed;
        if (n > 0) return FD_ISSET(m_socket.Handle(), &failed) && write ? Wait::Failed : Wait::Ready;
    }
}

bool RelayStream::Connect(const sockaddr_in& target, uint64_t deadline)
{
    m_socket.Close();
    m_connected = false;
    if (!m_socket.Create() || !MakeNonBlocking(m_socket.Handle())) return false;
    if (connect(m_socket.Handle(), reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
        if (WaitFor(true, deadline) != Wait::Ready) return false;
        int error = 0;
        int size = sizeof error;
        if (getsockopt(m_socket.Handle(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0 ||
            error != 0)
            return false;
    }
    m_connected = true;
    return true;
}

RelayStream::Wait RelayStream::WaitReadable(uint64_t deadline)
{
    return WaitFor(false, deadline);
}

int RelayStream::Receive(char* buffer, int length)
{
    return m_socket.Receive(buffer, length);
}

bool RelayStream::SendAll(const char* data, std::size_t length, uint64_t deadline)
{
    while (length > 0) {
        const int piece = static_cast<int>(std::min<std::size_t>(length, 1u << 30));
        const int sent = send(m_socket.Handle(), data, piece, 0);
        if (sent > 0) {
            data += sent;
            length -= static_cast<std::size_t>(sent);
            continue;
        }
        if (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
            if (WaitFor(true, deadline) != Wait::Ready) return false;
            continue;
        }
        return false;
    }
    return true;
}

void RelayStream::Close()
{
    if (m_connected) m_socket.Shutdown(SD_BOTH);
    m_connected = false;
    m_socket.Close();
}

} // namespace talk

#include "RelayTestHost.h"

#include <chrono>

namespace {

// Waits up to 'ms' for the socket to become readable; true when it did.
bool Readable(SOCKET s, long ms)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval wait{ms / 1000, (ms % 1000) * 1000};
    return select(0, &set, nullptr, nullptr, &wait) > 0;
}

} // namespace

RelayTestHost::~RelayTestHost()
{
    m_stop = true;
    if (m_acceptor.joinable()) m_acceptor.join();
    for (auto& t : m_connections)
        t.join();
    if (m_listener != INVALID_SOCKET) closesocket(m_listener);
}

bool RelayTestHost::Start(Mode mode, const std::string& answer)
{
    m_mode = mode;
    m_answer = answer;
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (m_listener == INVALID_SOCKET || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 32) != 0 || getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return false;
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_threadIds.insert(GetCurrentThreadId());
        }
        while (!m_stop) {
            if (!Readable(m_listener, 50)) continue;
            SOCKET connection = accept(m_listener, nullptr, nullptr);
            if (connection == INVALID_SOCKET) continue;
            {
                std::lock_guard<std::mutex> hold(m_lock);
                ++m_accepted;
            }
            m_connections.emplace_back([this, connection] { Serve(connection); });
        }
    });
    return true;
}

void RelayTestHost::Serve(SOCKET connection)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_threadIds.insert(GetCurrentThreadId());
    }
    std::string request;
    char buffer[4096];
    bool peerGone = false;
    while (!m_stop) {
        if (!Readable(connection, 50)) continue;
        const int n = recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) {
            peerGone = true;
            break;
        }
        request.append(buffer, n);
        if (request.size() >= 4 && request.compare(request.size() - 4, 4, "\r\n\r\n") == 0) break;
    }
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_requests.push_back(request);
    }
    m_changed.notify_all();

    if (m_mode == Mode::Hold) {
        while (!m_stop && !m_released && !peerGone) {
            if (!Readable(connection, 50)) continue;
            if (recv(connection, buffer, sizeof buffer, 0) <= 0) peerGone = true;
        }
        if (peerGone) {
            std::lock_guard<std::mutex> hold(m_lock);
            ++m_peersClosed;
        }
        m_changed.notify_all();
    }
    if (!peerGone && !m_stop) {
        if (m_mode == Mode::Endless) {
            // Sent from where the pattern stands, so it runs on across sends.
            const std::string block = EndlessBytes((1u << 16) + 26);
            std::size_t offset = 0;
            while (!m_stop) {
                const int sent = send(connection, block.data() + offset % 26, 1 << 16, 0);
                if (sent <= 0) break;
                offset += static_cast<std::size_t>(sent);
            }
        } else {
            send(connection, m_answer.data(), static_cast<int>(m_answer.size()), 0);
        }
    }
    shutdown(connection, SD_BOTH);
    closesocket(connection);
}

std::string RelayTestHost::EndlessBytes(std::size_t length)
{
    std::string bytes(length, ' ');
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>('A' + i % 26);
    return bytes;
}

std::size_t RelayTestHost::Connections() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_accepted;
}

std::vector<std::string> RelayTestHost::Requests() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_requests;
}

std::size_t RelayTestHost::PeersClosed() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_peersClosed;
}

bool RelayTestHost::WaitForRequests(std::size_t count, DWORD ms) const
{
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, std::chrono::milliseconds(ms), [&] { return m_requests.size() >= count; });
}

bool RelayTestHost::WaitForPeersClosed(std::size_t count, DWORD ms) const
{
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, std::chrono::milliseconds(ms), [&] { return m_peersClosed >= count; });
}

std::set<DWORD> RelayTestHost::ThreadIds() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_threadIds;
}

void RelayTestHost::Release()
{
    m_released = true;
}

#include "framework/TcpSocket.h"

namespace {

bool MakeAddress(const char* address, std::uint16_t port, sockaddr_in* out)
{
    *out = sockaddr_in{};
    out->sin_family = AF_INET;
    out->sin_port = htons(port);
    out->sin_addr.s_addr = address ? inet_addr(address) : htonl(INADDR_ANY);
    return out->sin_addr.s_addr != INADDR_NONE || (address && std::string(address) == "255.255.255.255");
}

} // namespace

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept
{
    if (this != &other) {
        Close();
        m_socket = std::exchange(other.m_socket, INVALID_SOCKET);
    }
    return *this;
}

bool TcpSocket::Create()
{
    Close();
    m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    return Valid();
}

bool TcpSocket::Connect(const char* address, std::uint16_t port)
{
    sockaddr_in target;
    if (!Valid() || !MakeAddress(address, port, &target)) return false;
    return connect(m_socket, reinterpret_cast<const sockaddr*>(&target), sizeof(target)) == 0;
}

bool TcpSocket::Bind(const char* address, std::uint16_t port)
{
    sockaddr_in local;
    if (!Valid() || !MakeAddress(address, port, &local)) return false;
    return bind(m_socket, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) == 0;
}

bool TcpSocket::Listen(int backlog)
{
    return Valid() && listen(m_socket, backlog) == 0;
}

TcpSocket TcpSocket::Accept()
{
    if (!Valid()) return TcpSocket();
    return TcpSocket(accept(m_socket, nullptr, nullptr));
}

bool TcpSocket::SendAll(const char* data, int length)
{
    while (length > 0) {
        int sent = send(m_socket, data, length, 0);
        if (sent <= 0) return false;
        data += sent;
        length -= sent;
    }
    return true;
}

int TcpSocket::Receive(char* buffer, int length)
{
    int received = recv(m_socket, buffer, length, 0);
    return received == SOCKET_ERROR ? -1 : received;
}

bool TcpSocket::Shutdown(int how)
{
    return Valid() && shutdown(m_socket, how) == 0;
}

void TcpSocket::Close()
{
    if (Valid()) {
        closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
}

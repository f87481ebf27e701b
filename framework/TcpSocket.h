#pragma once
// A TCP socket of Windows Sockets, closed when the object goes away.
// WSAStartup/WSACleanup are the application's business.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

class TcpSocket {
  public:
    TcpSocket() = default;
    explicit TcpSocket(SOCKET socket) : m_socket(socket) {}
    ~TcpSocket() { Close(); }
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;
    TcpSocket(TcpSocket&& other) noexcept : m_socket(std::exchange(other.m_socket, INVALID_SOCKET)) {}
    TcpSocket& operator=(TcpSocket&& other) noexcept;

    bool Create();
    // 'address' is a dotted IPv4 address such as "127.0.0.1".
    bool Connect(const char* address, std::uint16_t port);
    bool Bind(const char* address, std::uint16_t port);
    bool Listen(int backlog);
    // The accepted connection; an invalid socket on failure.
    TcpSocket Accept();
    // Sends everything; false when the connection fails first.
    bool SendAll(const char* data, int length);
    // One recv: the number of bytes, 0 at the end of the stream, -1 on error.
    int Receive(char* buffer, int length);
    bool Shutdown(int how);
    void Close();

    bool Valid() const { return m_socket != INVALID_SOCKET; }
    SOCKET Handle() const { return m_socket; }

  private:
    SOCKET m_socket = INVALID_SOCKET;
};

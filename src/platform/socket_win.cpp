// The socket seam on Windows: Winsock, started once for all users of sockets.
#include "platform/socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <mutex>

namespace os {

namespace {
std::mutex library_lock;
int library_users = 0; // guarded by library_lock
} // namespace

bool socket_library_start()
{
    std::lock_guard<std::mutex> guard(library_lock);
    if (library_users == 0) {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
            return false;
    }
    ++library_users;
    return true;
}

void socket_library_stop()
{
    std::lock_guard<std::mutex> guard(library_lock);
    if (library_users > 0 && --library_users == 0)
        WSACleanup();
}

socket_handle socket_create_tcp(int family)
{
    SOCKET s = ::socket(family == 6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET)
        return invalid_socket;
    u_long on = 1;
    if (::ioctlsocket(s, FIONBIO, &on) != 0) {
        ::closesocket(s);
        return invalid_socket;
    }
    return static_cast<socket_handle>(s);
}

void socket_close(socket_handle s)
{
    if (s != invalid_socket)
        ::closesocket(static_cast<SOCKET>(s));
}

namespace {

// The address of a sockaddr_in or sockaddr_in6; false for any other family.
bool take_address(const sockaddr* from, net_address& address)
{
    if (from->sa_family == AF_INET) {
        address.family = 4;
        std::memcpy(address.bytes, &reinterpret_cast<const sockaddr_in*>(from)->sin_addr, 4);
        return true;
    }
    if (from->sa_family == AF_INET6) {
        address.family = 6;
        std::memcpy(address.bytes, &reinterpret_cast<const sockaddr_in6*>(from)->sin6_addr, 16);
        return true;
    }
    return false;
}

} // namespace

bool socket_resolve(const char* host, net_address& address)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host, nullptr, &hints, &found) != 0 || !found)
        return false;
    bool ok = false;
    for (addrinfo* a = found; a && !ok; a = a->ai_next)
        ok = take_address(a->ai_addr, address);
    ::freeaddrinfo(found);
    return ok;
}

void socket_address_text(const net_address& address, char (&text)[46])
{
    if (!::inet_ntop(address.family == 6 ? AF_INET6 : AF_INET, address.bytes, text, sizeof text))
        text[0] = '\0';
}

connect_start socket_connect(socket_handle s, const net_address& address, int port)
{
    sockaddr_storage to{};
    int length = 0;
    if (address.family == 6) {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&to);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<u_short>(port));
        std::memcpy(&v6->sin6_addr, address.bytes, 16);
        length = sizeof *v6;
    } else {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&to);
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<u_short>(port));
        std::memcpy(&v4->sin_addr, address.bytes, 4);
        length = sizeof *v4;
    }
    if (::connect(static_cast<SOCKET>(s), reinterpret_cast<sockaddr*>(&to), length) == 0)
        return connect_start::done;
    return WSAGetLastError() == WSAEWOULDBLOCK ? connect_start::pending : connect_start::failed;
}

int socket_wait(socket_handle s, bool readable, bool writable, int timeout_ms)
{
    SOCKET h = static_cast<SOCKET>(s);
    fd_set rd, wr, ex;
    FD_ZERO(&rd);
    FD_ZERO(&wr);
    FD_ZERO(&ex);
    if (readable)
        FD_SET(h, &rd);
    if (writable)
        FD_SET(h, &wr);
    // Winsock reports a failed connect in the exception set, not as writable.
    FD_SET(h, &ex);
    timeval tv;
    tv.tv_sec = timeout_ms / 1000;
    tv.tv_usec = (timeout_ms % 1000) * 1000;
    int n = ::select(0, readable ? &rd : nullptr, writable ? &wr : nullptr, &ex, &tv);
    if (n == SOCKET_ERROR)
        return -1;
    return n > 0 ? 1 : 0;
}

int socket_pending_error(socket_handle s)
{
    int error = 0;
    int length = sizeof error;
    if (::getsockopt(static_cast<SOCKET>(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                     &length) != 0)
        return WSAGetLastError();
    return error;
}

bool socket_peer_address(socket_handle s, net_address& address)
{
    sockaddr_storage peer{};
    int length = sizeof peer;
    if (::getpeername(static_cast<SOCKET>(s), reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return false;
    return take_address(reinterpret_cast<sockaddr*>(&peer), address);
}

long socket_send(socket_handle s, const void* data, std::size_t length)
{
    int chunk = length > 0x40000000 ? 0x40000000 : static_cast<int>(length);
    int n = ::send(static_cast<SOCKET>(s), static_cast<const char*>(data), chunk, 0);
    if (n != SOCKET_ERROR)
        return n;
    return WSAGetLastError() == WSAEWOULDBLOCK ? io_would_block : io_failed;
}

long socket_receive(socket_handle s, void* buffer, std::size_t length)
{
    int chunk = length > 0x40000000 ? 0x40000000 : static_cast<int>(length);
    int n = ::recv(static_cast<SOCKET>(s), static_cast<char*>(buffer), chunk, 0);
    if (n != SOCKET_ERROR)
        return n;
    return WSAGetLastError() == WSAEWOULDBLOCK ? io_would_block : io_failed;
}

void socket_shutdown_send(socket_handle s)
{
    ::shutdown(static_cast<SOCKET>(s), SD_SEND);
}
void socket_shutdown_both(socket_handle s)
{
    ::shutdown(static_cast<SOCKET>(s), SD_BOTH);
}

} // namespace os

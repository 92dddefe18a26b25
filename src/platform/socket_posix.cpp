// The socket seam on POSIX systems: BSD sockets with poll.
#include "platform/socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace os {

bool socket_library_start()
{
    return true;
}
void socket_library_stop() {}

socket_handle socket_create_tcp(int family)
{
    int s = ::socket(family == 6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return invalid_socket;
    int flags = ::fcntl(s, F_GETFL, 0);
    if (flags < 0 || ::fcntl(s, F_SETFL, flags | O_NONBLOCK) < 0) {
        ::close(s);
        return invalid_socket;
    }
#ifdef SO_NOSIGPIPE
    int one = 1;
    ::setsockopt(s, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
    return s;
}

void socket_close(socket_handle s)
{
    if (s != invalid_socket)
        ::close(static_cast<int>(s));
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
    socklen_t length = 0;
    if (address.family == 6) {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&to);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<std::uint16_t>(port));
        std::memcpy(&v6->sin6_addr, address.bytes, 16);
        length = sizeof *v6;
    } else {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&to);
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<std::uint16_t>(port));
        std::memcpy(&v4->sin_addr, address.bytes, 4);
        length = sizeof *v4;
    }
    if (::connect(static_cast<int>(s), reinterpret_cast<sockaddr*>(&to), length) == 0)
        return connect_start::done;
    return (errno == EINPROGRESS || errno == EINTR) ? connect_start::pending : connect_start::failed;
}

int socket_wait(socket_handle s, bool readable, bool writable, int timeout_ms)
{
    pollfd p{};
    p.fd = static_cast<int>(s);
    p.events = static_cast<short>((readable ? POLLIN : 0) | (writable ? POLLOUT : 0));
    int n = ::poll(&p, 1, timeout_ms);
    if (n < 0)
        return errno == EINTR ? 0 : -1;
    return n > 0 ? 1 : 0;
}

int socket_pending_error(socket_handle s)
{
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(static_cast<int>(s), SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return errno ? errno : -1;
    return error;
}

bool socket_peer_address(socket_handle s, net_address& address)
{
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    if (::getpeername(static_cast<int>(s), reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return false;
    return take_address(reinterpret_cast<sockaddr*>(&peer), address);
}

long socket_send(socket_handle s, const void* data, std::size_t length)
{
#ifdef MSG_NOSIGNAL
    constexpr int flags = MSG_NOSIGNAL; // a closed peer is an error code, not a signal
#else
    constexpr int flags = 0;
#endif
    ssize_t n = ::send(static_cast<int>(s), data, length, flags);
    if (n >= 0)
        return static_cast<long>(n);
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? io_would_block : io_failed;
}

long socket_receive(socket_handle s, void* buffer, std::size_t length)
{
    ssize_t n = ::recv(static_cast<int>(s), buffer, length, 0);
    if (n >= 0)
        return static_cast<long>(n);
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? io_would_block : io_failed;
}

void socket_shutdown_send(socket_handle s)
{
    ::shutdown(static_cast<int>(s), SHUT_WR);
}
void socket_shutdown_both(socket_handle s)
{
    ::shutdown(static_cast<int>(s), SHUT_RDWR);
}

} // namespace os

// The socket seam of the portable core: non-blocking TCP over IPv4 or IPv6 on Winsock or BSD sockets.
#pragma once

#include <cstddef>
#include <cstdint>

namespace os {

// A socket handle; invalid_socket when there is none.
using socket_handle = std::intptr_t;
constexpr socket_handle invalid_socket = -1;

// Starts the socket library for one user (Winsock is started by the first and cleaned up by the
// last); false when it cannot be started, and then nothing has to be stopped.
bool socket_library_start();
void socket_library_stop();

// An IPv4 or IPv6 address (bytes in network order).
struct net_address {
    int family = 4; // 4 or 6
    std::uint8_t bytes[16] = {};
};

// A TCP socket of the address family (4 or 6), switched to non-blocking; invalid_socket on
// failure. Its buffers are left to the system, which grows them with the connection: a size set
// by the program turns that tuning off and is cut down to the system's own ceiling (208 KiB on
// a Linux left at its defaults, under Wine), and with so little queued a sender wakes for every
// few hundred kilobytes: a local upload reached half of what the connection carries.
socket_handle socket_create_tcp(int family = 4);
void socket_close(socket_handle s);

// A numeric IPv4 or IPv6 text, else a host name resolved (getaddrinfo) to its first address.
// False when neither works.
bool socket_resolve(const char* host, net_address& address);
// The numeric text of an address ("127.0.0.1", "::1"); at most 45 characters.
void socket_address_text(const net_address& address, char (&text)[46]);

enum class connect_start { done, pending, failed };
connect_start socket_connect(socket_handle s, const net_address& address, int port);

// Waits at most timeout_ms for the socket to become readable and/or writable. 1 when it is
// ready (an error or a closed peer counts as ready: the next call reports it), 0 when the time
// passed, -1 when the wait itself failed. A connect that failed shows as ready; the pending
// error is then read with socket_pending_error.
int socket_wait(socket_handle s, bool readable, bool writable, int timeout_ms);
// SO_ERROR: 0 when the last asynchronous operation (a connect) succeeded.
int socket_pending_error(socket_handle s);

// The peer's address; false when not connected.
bool socket_peer_address(socket_handle s, net_address& address);

// Send and receive: the byte count (receive: 0 = orderly close by the peer), io_would_block or
// io_failed.
constexpr long io_would_block = -1;
constexpr long io_failed = -2;
long socket_send(socket_handle s, const void* data, std::size_t length);
long socket_receive(socket_handle s, void* buffer, std::size_t length);

// Half-close (no more sending) or both directions; results are of no interest to callers.
void socket_shutdown_send(socket_handle s);
void socket_shutdown_both(socket_handle s);

} // namespace os

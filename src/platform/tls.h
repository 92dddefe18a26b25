// The TLS seam: a client session of the system's own TLS (Schannel on Windows) that turns bytes
// into records and back; the caller moves the records over its socket. POSIX builds have none.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace os {

// False where the system offers no TLS (the POSIX builds).
bool tls_available();

// The server's certificate as the user is shown it.
struct tls_certificate {
    std::string subject;
    std::string issuer;
    std::string valid_from; // "YYYY-MM-DD hh:mm:ss" UTC
    std::string valid_to;
    std::array<std::uint8_t, 32> sha256{};
    // The system's chain and host-name policy accepted it.
    bool trusted = false;
};

// One credentials handle per operation: the data connections opened with it and the same target
// name resume the control connection's session from the system's session cache.
class tls_credentials {
public:
    virtual ~tls_credentials() = default;
};
// None when the system's TLS cannot be used.
std::shared_ptr<tls_credentials> tls_make_credentials();

enum class tls_step {
    done,   // handshake complete / records decrypted
    more,   // more bytes from the peer are needed
    closed, // the peer sent close_notify
    failed,
};

class tls_session {
public:
    virtual ~tls_session() = default;
    // One handshake step: takes the bytes received so far from the front of `in` (what it used
    // is removed, a record not yet whole stays) and appends what is to be sent to `out`.
    virtual tls_step handshake(std::string& in, std::string& out) = 0;
    // The peer's certificate, checked against the system's chain and name policy for the
    // target name; false when there is none.
    virtual bool certificate(tls_certificate& info) = 0;
    // The negotiated protocol and cipher ("TLS 1.2, AES 256").
    virtual std::string description() = 0;
    // The most plaintext one record carries.
    virtual std::size_t record_limit() = 0;
    // Appends the record(s) holding the bytes to `out`.
    virtual bool encrypt(const void* data, std::size_t length, std::string& out) = 0;
    // Decrypts every whole record at the front of `in` (removing it) and appends its plaintext to
    // `plain`; a partial record stays in `in`. more: nothing whole yet.
    virtual tls_step decrypt(std::string& in, std::string& plain) = 0;
    // Appends the close_notify alert to `out`.
    virtual bool close_notify(std::string& out) = 0;
};
// A session to the target name (the host as the user wrote it); none when TLS is unavailable.
// The session keeps the credentials alive.
std::unique_ptr<tls_session> tls_start(const std::shared_ptr<tls_credentials>& credentials,
                                       const std::string& target_name);

} // namespace os

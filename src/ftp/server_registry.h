// The FTP server registry: ftp.ini, the stored password form, the zone and charset lists of the
// server dialog, start directories, which files travel as text, and the capability cache
// support.ini.
#pragma once

#include "ftp/ftp_protocol.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// At most this many servers (commands 601-699).
constexpr std::size_t max_servers = 99;
// Server text, user id and password buffers; a password keeps at most 127 bytes.
constexpr std::size_t server_text_size = 128;
constexpr std::size_t password_size = 128;

// One server definition as ftp.ini holds it (the section name is the title).
struct FtpServerEntry {
    std::string server;
    std::string timezone = "+09:00";
    std::string charset = "Shift_JIS";
    std::string port = "21";
    std::string id;
    std::string password; // the stored form: scrambled, protected or (old files) plain
    std::string start_directory = "/";
    bool keep_dirlist = true;
    std::string security = "none";     // one of security_names
    std::string name_charset = "auto"; // one of name_charset_names
    bool protect_password = false;     // store the password protected for the Windows user
};

// The stored protected form is longer than a typed password: read with this buffer.
constexpr std::size_t stored_password_size = 2048;

// program_dir + "ftp.ini".
std::string ftp_ini_path();

// The title of the index-th server (its section); none when there are fewer.
std::optional<std::string> server_title(const std::string& path, std::size_t index);
std::size_t server_count(const std::string& path);
std::string server_value(const std::string& path, std::string_view title, std::string_view key,
                         std::size_t size, std::string_view default_text);
// A section of exactly this name exists (case matters).
bool server_exists(const std::string& path, std::string_view title);
// Every key with the dialog's defaults (a missing "keep dirlist" is on, a missing "security"
// "none", a missing "name charset" "auto").
FtpServerEntry server_read(const std::string& path, std::string_view title);
// The eleven keys in file order, a new section placed sorted by title; stops at the first failed
// write. A 100th server is refused.
bool server_save(const std::string& path, std::string_view title, const FtpServerEntry& entry);
// Removes the server's section; removing the only server removes the file.
bool server_delete(const std::string& path, std::string_view title);
// What the exit clean-up reads: a missing "keep dirlist" drops the cache.
bool server_keeps_dirlist(const std::string& path, std::string_view title);

// The stored form of a password: '?' and every byte b as 159 - b (mod 256), at most 127 bytes
// of it; an empty password stays empty. Every non-empty password is scrambled, one beginning
// with '?' too, so that it reads back as typed. None when the stored form could not come back
// from the file (a line break, a NUL, or a blank at the end, which the file would drop).
std::optional<std::string> scramble_password(std::string_view password);
// A stored value beginning with '?' is unscrambled; any other is the password as it stands.
std::string unscramble_password(std::string_view stored);

// The protected form: this prefix, then the hexadecimal digits of the data protected for the
// Windows user. A scrambled form never begins with it: its second byte would be the scrambled
// NUL (159 - 0), and no typed password holds a NUL. A plain form never begins with '?' at all.
constexpr std::string_view protected_password_prefix = "?\x9F\x50";
enum class password_form { empty, plain, scrambled, protected_form };
password_form stored_password_form(std::string_view stored);
// The protected stored form of a password; none where protection is not available (no plain
// fallback: the user asked for the password not to stand readable in the file).
std::optional<std::string> protect_password(std::string_view password);
// The password a stored form gives; empty (no stored password: the prompt asks) for a protected
// form that cannot be unprotected here (another user or machine) or is damaged.
std::string stored_password_text(std::string_view stored);
// The stored password of a server as usable text.
std::string server_password(const std::string& path, std::string_view title);

// The server dialog's encryption choices ("security") and file name charsets ("name charset").
constexpr std::array<std::string_view, 3> security_names = {"none", "explicit", "implicit"};
constexpr std::array<std::string_view, 3> name_charset_names = {"auto", "sjis", "utf8"};
// The list entry of a stored value; an unknown or missing one is the first entry.
std::size_t security_entry(std::string_view text);
std::size_t name_charset_entry(std::string_view text);
// The port the dialog shows after a change of the encryption: implicit TLS on 21 moves to 990,
// none or explicit on 990 back to 21; any other port stays.
std::string port_for_security(std::string_view port, std::string_view security);
// The server's "security" key: "none", "explicit" (AUTH TLS) or "implicit" (TLS from the first
// byte, port 990 by custom); a missing or unknown value is none.
tls_mode security_mode(std::string_view value);
tls_mode server_security(const std::string& path, std::string_view title);

// The host to connect to from the server field: a bracketed IPv6 literal loses its brackets
// ("[::1]" → "::1"), a bare one ("::1") and a name stay; empty when a bracket is left open or
// the brackets hold no IPv6 literal.
std::string server_host(std::string_view server);

// A certificate's SHA-256 fingerprint as shown and stored in the server's "certificate" key:
// 32 bytes in upper-case hex pairs joined by ':' (95 characters).
std::string fingerprint_text(const std::array<std::uint8_t, 32>& sha256);
enum class certificate_match {
    same,        // the stored fingerprint, compared in full (ASCII case ignored)
    none_stored, // nothing accepted yet
    changed,     // another certificate than the one accepted always
};
certificate_match match_certificate(std::string_view stored, const std::array<std::uint8_t, 32>& sha256);
// Keeps the fingerprint as the server's accepted certificate ("accept always").
bool server_set_certificate(const std::string& path, std::string_view title, std::string_view fingerprint);

// The 49 zones of the server dialog, "-12:00" to "+12:00" in half hours.
constexpr std::size_t time_zone_count = 49;
std::string time_zone_text(std::size_t entry);
// The entry of a stored zone; none for a text that is not one of the list.
std::optional<std::size_t> time_zone_entry(std::string_view text);
// ±HHMM of a zone text: "+09:00" → 900, "-09:30" → -930.
int time_zone_value(std::string_view text);

// The charsets of the server dialog in list order.
constexpr std::array<std::string_view, 3> charset_names = {"ISO-2022-JP", "EUC-JP", "Shift_JIS"};
// The list entry of a stored charset, ASCII case ignored.
std::optional<std::size_t> charset_entry(std::string_view text);

// A start directory as saved: a leading and a trailing '/' added when missing ("" → "/"), cut
// to a path buffer.
std::string normalize_start_directory(std::string_view text);

// Transfers convert a file as text when its name has a '.' and either its only '.' is the first
// character (".profile") or the text from its last '.' on is one of the list's entries (ASCII
// case ignored).
bool is_text_file(std::string_view name, std::string_view text_extensions);

// "{program_dir}ftp_dir/{title}/" and its support.ini; empty for a title that cannot name one
// cache directory below ftp_dir ("..", "a/b").
std::string server_cache_dir(std::string_view program_dir, std::string_view title);
std::string support_ini_path(std::string_view program_dir, std::string_view title);
// The four flags from the file with the probed flag set, when the file exists; otherwise only
// the probed flag is cleared. The "EPSV" key ("+" works, "-" refused) is read apart: without it
// (or without the file) EPSV is not known and is tried once.
void read_support(const std::string& path, ftp_capabilities& flags);
// Writes the four flags; a failed write removes the file, so no half-written cache remains.
bool write_support(const std::string& path, const ftp_capabilities& flags);
// When a pane leaves a server: the flags are kept only when the file does not exist yet; an EPSV
// learned since is added to an existing file that does not name it.
bool keep_support(const std::string& path, const ftp_capabilities& flags);

// The server refused "REST n" (key "REST" "-"); a missing key or file has not said so.
bool support_rest_refused(const std::string& path);
// Keeps the refusal. A file that does not exist yet gets the probed flags first, since a file
// with REST alone would read as a server with the default flags; without probed flags the
// refusal is not kept.
bool remember_rest_refused(const std::string& path, const ftp_capabilities& flags);

// What an FTP operation of a pane takes from the server's definition.
struct ftp_operation_params {
    std::string server;
    int zone = 900; // ±HHMM
    std::string charset;
    int port = 21;
    std::string id;
    std::string password;
    std::string directory;    // the pane path's remote directory
    std::string cache_file;   // that directory's dir.lst
    std::string support_file; // the server's support.ini
    std::string name_charset = "auto";
    std::string title; // the server's section
    tls_mode security = tls_mode::none;
    std::string certificate; // the fingerprint accepted always, or empty
};
// None when the section is missing, the port is not one of 1-65535 (it would reach another
// port), or the cache file has no safe path. A stored password wins over the pane's typed one.
std::optional<ftp_operation_params>
server_operation_params(const std::string& path, std::string_view program_dir, std::string_view title,
                        std::string_view pane_path, std::string_view pane_password);

// At program exit: removes the cache directory of every server that does not keep it. Titles
// that could lead outside ftp_dir are left alone.
void remove_dropped_caches(const std::string& path, std::string_view program_dir);

// The FTP server registry: ftp.ini, stored passwords, the dialog's lists and support.ini.
#include "ftp/server_registry.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "ftp/listing_cache.h"
#include "pane/pane.h"
#include "platform/code_page.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "settings/ini.h"
#include "settings/ini_profile.h"

#include <cstdio>

std::string ftp_ini_path()
{
    return dirs().program_file("ftp.ini");
}

std::optional<std::string> server_title(const std::string& path, std::size_t index)
{
    return ini_section_name(path, index, name_size);
}

std::size_t server_count(const std::string& path)
{
    std::size_t n = 0;
    while (n <= max_servers && ini_section_name(path, n))
        ++n;
    return n;
}

std::string server_value(const std::string& path, std::string_view title, std::string_view key,
                         std::size_t size, std::string_view default_text)
{
    return ini_get_string(path, title, key, size, default_text);
}

bool server_exists(const std::string& path, std::string_view title)
{
    return ini_find_section(path, title);
}

FtpServerEntry server_read(const std::string& path, std::string_view title)
{
    FtpServerEntry e;
    e.server = server_value(path, title, "server", server_text_size, "");
    e.timezone = server_value(path, title, "timezone", 7, e.timezone);
    e.charset = server_value(path, title, "charset", 13, e.charset);
    e.port = server_value(path, title, "port", 6, e.port);
    e.id = server_value(path, title, "id", server_text_size, "");
    e.password = server_value(path, title, "password", stored_password_size, "");
    e.start_directory = server_value(path, title, "start directory", path_size, e.start_directory);
    e.keep_dirlist = ini_get_bool(path, title, "keep dirlist", true);
    e.security = security_names[security_entry(server_value(path, title, "security", 16, ""))];
    e.name_charset =
        name_charset_names[name_charset_entry(server_value(path, title, "name charset", 16, ""))];
    e.protect_password = ini_get_bool(path, title, "protect password", false);
    return e;
}

bool server_save(const std::string& path, std::string_view title, const FtpServerEntry& e)
{
    if (!server_exists(path, title) && server_count(path) >= max_servers)
        return false;
    return ini_put_string(path, title, "server", e.server, true) &&
           ini_put_string(path, title, "timezone", e.timezone) &&
           ini_put_string(path, title, "charset", e.charset) && ini_put_string(path, title, "port", e.port) &&
           ini_put_string(path, title, "id", e.id) && ini_put_string(path, title, "password", e.password) &&
           ini_put_string(path, title, "start directory", e.start_directory) &&
           ini_put_bool(path, title, "keep dirlist", e.keep_dirlist) &&
           ini_put_string(path, title, "security", e.security) &&
           ini_put_string(path, title, "name charset", e.name_charset) &&
           ini_put_bool(path, title, "protect password", e.protect_password);
}

bool server_delete(const std::string& path, std::string_view title)
{
    if (!server_title(path, 1) && server_title(path, 0).value_or("") == title)
        return os::remove_file(path);
    return ini_delete_section(path, title);
}

bool server_keeps_dirlist(const std::string& path, std::string_view title)
{
    std::string value = server_value(path, title, "keep dirlist", 8, "-");
    return !(value.substr(0, 1) == "-" || equal_text_nocase(value, "OFF"));
}

namespace {

// The map is its own inverse: 159 - (159 - b) = b.
char scramble_byte(char c)
{
    return static_cast<char>(159 - static_cast<unsigned char>(c));
}

bool is_profile_blank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

} // namespace

std::optional<std::string> scramble_password(std::string_view password)
{
    if (password.empty())
        return std::string();
    // A NUL would scramble to the protected form's mark and could never be typed anyway.
    if (password.substr(0, password_size - 1).find('\0') != std::string_view::npos)
        return std::nullopt;
    std::string stored = "?";
    for (char c : password.substr(0, password_size - 1))
        stored += scramble_byte(c);
    for (char c : stored)
        if (c == '\r' || c == '\n' || c == '\0')
            return std::nullopt;
    if (is_profile_blank(stored.back()))
        return std::nullopt;
    return stored;
}

std::string unscramble_password(std::string_view stored)
{
    if (stored.empty() || stored[0] != '?')
        return std::string(stored);
    std::string password;
    for (char c : stored.substr(1))
        password += scramble_byte(c);
    return password;
}

password_form stored_password_form(std::string_view stored)
{
    if (stored.empty())
        return password_form::empty;
    if (stored.substr(0, protected_password_prefix.size()) == protected_password_prefix)
        return password_form::protected_form;
    return stored[0] == '?' ? password_form::scrambled : password_form::plain;
}

std::optional<std::string> protect_password(std::string_view password)
{
    if (password.empty())
        return std::string();
    std::optional<std::string> blob = os::protect_for_user(password.substr(0, password_size - 1));
    if (!blob)
        return std::nullopt;
    std::string stored(protected_password_prefix);
    static constexpr char digits[] = "0123456789ABCDEF";
    for (char c : *blob) {
        auto b = static_cast<unsigned char>(c);
        stored += digits[b >> 4];
        stored += digits[b & 15];
    }
    return stored.size() < stored_password_size ? std::optional<std::string>(stored) : std::nullopt;
}

std::string stored_password_text(std::string_view stored)
{
    if (stored_password_form(stored) != password_form::protected_form)
        return unscramble_password(stored);
    std::string_view hex = stored.substr(protected_password_prefix.size());
    if (hex.empty() || hex.size() % 2 != 0)
        return {};
    auto value = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    std::string blob;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int high = value(hex[i]);
        int low = value(hex[i + 1]);
        if (high < 0 || low < 0)
            return {};
        blob += static_cast<char>(high * 16 + low);
    }
    std::string password = os::unprotect_for_user(blob).value_or("");
    return password.substr(0, password_size - 1);
}

std::string server_password(const std::string& path, std::string_view title)
{
    return stored_password_text(server_value(path, title, "password", stored_password_size, ""));
}

namespace {

std::size_t list_entry(std::string_view text, const std::array<std::string_view, 3>& names)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (equal_text_nocase(text, names[i]))
            return i;
    return 0;
}

} // namespace

std::size_t security_entry(std::string_view text)
{
    return list_entry(text, security_names);
}

std::size_t name_charset_entry(std::string_view text)
{
    return list_entry(text, name_charset_names);
}

std::string port_for_security(std::string_view port, std::string_view security)
{
    if (security == "implicit" && port == "21")
        return "990";
    if (security != "implicit" && port == "990")
        return "21";
    return std::string(port);
}

std::string time_zone_text(std::size_t entry)
{
    if (entry >= time_zone_count)
        return {};
    bool west = entry < 24;
    std::size_t minutes = (west ? 24 - entry : entry - 24) * 30;
    char text[8];
    std::snprintf(text, sizeof text, "%c%02u:%02u", west ? '-' : '+', static_cast<unsigned>(minutes / 60),
                  static_cast<unsigned>(minutes % 60));
    return text;
}

std::optional<std::size_t> time_zone_entry(std::string_view text)
{
    // Exactly one of the list's texts, so that an unlisted zone ("+05:45") is never replaced by a
    // neighbour when the dialog saves.
    for (std::size_t i = 0; i < time_zone_count; ++i)
        if (text == time_zone_text(i))
            return i;
    return std::nullopt;
}

int time_zone_value(std::string_view text)
{
    std::string digits;
    for (char c : text)
        if (c != ':')
            digits += c;
    return ini_atoi(digits);
}

std::optional<std::size_t> charset_entry(std::string_view text)
{
    for (std::size_t i = 0; i < charset_names.size(); ++i)
        if (equal_text_nocase(text, charset_names[i]))
            return i;
    return std::nullopt;
}

std::string normalize_start_directory(std::string_view text)
{
    std::string directory = text.substr(0, 1) == "/" ? "" : "/";
    append_bounded(directory, path_size - 1, text);
    // A cut may end inside a double-byte character: drop its lead byte before the '/'.
    if (directory.size() > 1 && is_lead_byte(static_cast<unsigned char>(directory.back())) &&
        !is_trail_byte_at(directory, directory.size() - 1))
        directory.pop_back();
    if (directory.back() != '/')
        directory += '/';
    return directory;
}

bool is_text_file(std::string_view name, std::string_view text_extensions)
{
    std::size_t dot = mbs_rfind(name, '.');
    if (dot == std::string_view::npos)
        return false;
    if (dot == 0)
        return true;
    std::string_view extension = name.substr(dot);
    for (std::size_t at = text_extensions.find('.'); at != std::string_view::npos;
         at = text_extensions.find('.', at + 1)) {
        std::size_t end = at + extension.size();
        if (end <= text_extensions.size() &&
            equal_text_nocase(text_extensions.substr(at, extension.size()), extension) &&
            (end == text_extensions.size() || text_extensions[end] == '.'))
            return true;
    }
    return false;
}

std::string server_cache_dir(std::string_view program_dir, std::string_view title)
{
    std::string path = cache_file_path(program_dir, title, "/");
    path.resize(path.empty() ? 0 : path.rfind('/') + 1);
    return path;
}

std::string support_ini_path(std::string_view program_dir, std::string_view title)
{
    std::string path = server_cache_dir(program_dir, title);
    if (path.empty())
        return {};
    path += "support.ini";
    return path.size() < path_size ? path : std::string();
}

namespace {

struct support_key {
    const char* name;
    std::size_t flag;
    bool missing;
};
constexpr support_key support_keys[] = {{"MLSD", flag_mlsd, false},
                                        {"MLST", flag_mlst, false},
                                        {"MDTM", flag_mdtm, true},
                                        {"SIZE", flag_size, true},
                                        {"UTF8", flag_utf8, false}};

} // namespace

void read_support(const std::string& path, ftp_capabilities& flags)
{
    flags[flag_epsv] = epsv_unknown;
    if (path.empty() || !os::path_exists(path)) {
        flags[flag_probed] = 0;
        return;
    }
    for (const auto& k : support_keys)
        flags[k.flag] = ini_get_bool(path, "support", k.name, k.missing) ? 1 : 0;
    if (!ini_get_string(path, "support", "EPSV", 8, "").empty())
        flags[flag_epsv] = ini_get_bool(path, "support", "EPSV", false) ? epsv_works : epsv_refused;
    flags[flag_probed] = 1;
}

bool write_support(const std::string& path, const ftp_capabilities& flags)
{
    if (path.empty())
        return false;
    for (const auto& k : support_keys)
        if (!ini_put_bool(path, "support", k.name, flags[k.flag] != 0)) {
            os::remove_file(path);
            return false;
        }
    if (flags[flag_epsv] != epsv_unknown &&
        !ini_put_bool(path, "support", "EPSV", flags[flag_epsv] == epsv_works)) {
        os::remove_file(path);
        return false;
    }
    return true;
}

bool keep_support(const std::string& path, const ftp_capabilities& flags)
{
    if (!os::path_exists(path))
        return write_support(path, flags);
    if (flags[flag_epsv] != epsv_unknown && ini_get_string(path, "support", "EPSV", 8, "").empty())
        return ini_put_bool(path, "support", "EPSV", flags[flag_epsv] == epsv_works);
    return true;
}

tls_mode security_mode(std::string_view value)
{
    if (equal_text_nocase(value, "explicit"))
        return tls_mode::explicit_tls;
    if (equal_text_nocase(value, "implicit"))
        return tls_mode::implicit_tls;
    return tls_mode::none;
}

tls_mode server_security(const std::string& path, std::string_view title)
{
    return security_mode(server_value(path, title, "security", 16, "none"));
}

std::string server_host(std::string_view server)
{
    if (server.empty() || (server.front() != '[' && server.back() != ']'))
        return std::string(server);
    if (server.size() < 3 || server.front() != '[' || server.back() != ']')
        return {};
    std::string_view inside = server.substr(1, server.size() - 2);
    // Only an IPv6 literal goes in brackets: hex digits, ':' and '.' (an IPv4 tail), at least
    // one ':'.
    bool colon = false;
    for (char c : inside) {
        bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex && c != ':' && c != '.')
            return {};
        colon = colon || c == ':';
    }
    return colon ? std::string(inside) : std::string();
}

std::string fingerprint_text(const std::array<std::uint8_t, 32>& sha256)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t b : sha256) {
        if (!text.empty())
            text += ':';
        text += hex[b >> 4];
        text += hex[b & 15];
    }
    return text;
}

certificate_match match_certificate(std::string_view stored, const std::array<std::uint8_t, 32>& sha256)
{
    if (stored.empty())
        return certificate_match::none_stored;
    // Equal lengths first: a stored prefix of the fingerprint is another certificate.
    return equal_text_nocase(stored, fingerprint_text(sha256)) ? certificate_match::same
                                                               : certificate_match::changed;
}

bool server_set_certificate(const std::string& path, std::string_view title, std::string_view fingerprint)
{
    return server_exists(path, title) && ini_put_string(path, title, "certificate", fingerprint);
}

bool support_rest_refused(const std::string& path)
{
    return !path.empty() && os::path_exists(path) && !ini_get_bool(path, "support", "REST", true);
}

bool remember_rest_refused(const std::string& path, const ftp_capabilities& flags)
{
    if (path.empty() || (!os::path_exists(path) && !(flags[flag_probed] && write_support(path, flags))))
        return false;
    return ini_put_bool(path, "support", "REST", false);
}

std::optional<ftp_operation_params>
server_operation_params(const std::string& path, std::string_view program_dir, std::string_view title,
                        std::string_view pane_path, std::string_view pane_password)
{
    if (!server_exists(path, title))
        return std::nullopt;
    ftp_operation_params p;
    p.server = server_value(path, title, "server", server_text_size, "");
    p.zone = time_zone_value(server_value(path, title, "timezone", 7, "+09:00"));
    p.charset = server_value(path, title, "charset", 13, "Shift_JIS");
    p.name_charset =
        name_charset_names[name_charset_entry(server_value(path, title, "name charset", 16, ""))];
    p.port = ini_atoi(server_value(path, title, "port", 6, "21"));
    p.id = server_value(path, title, "id", server_text_size, "");
    // A protected password this user cannot read counts as none: the pane's typed one goes.
    std::string stored = server_password(path, title);
    p.password = stored.empty() ? std::string(pane_password.substr(0, password_size - 1)) : stored;
    p.directory = ftp_directory_of(pane_path);
    p.cache_file = cache_file_path(program_dir, title, p.directory);
    p.support_file = support_ini_path(program_dir, title);
    p.title = std::string(title);
    p.security = server_security(path, title);
    p.certificate = server_value(path, title, "certificate", 128, "");
    if (p.port < 1 || p.port > 65535 || p.cache_file.empty())
        return std::nullopt;
    return p;
}

void remove_dropped_caches(const std::string& path, std::string_view program_dir)
{
    for (std::size_t i = 0;; ++i) {
        std::optional<std::string> title = server_title(path, i);
        if (!title)
            break;
        std::string dir = server_cache_dir(program_dir, *title);
        if (!dir.empty() && !server_keeps_dirlist(path, *title))
            os::remove_directory_tree(dir);
    }
}

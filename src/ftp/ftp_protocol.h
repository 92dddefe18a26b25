// The FTP control protocol: log-in, one operation per command, the capability probe and the
// passive transfers. Every operation runs on an FTP operation thread (the worker) over its
// control connection and returns an FTP result code.
#pragma once

#include "ftp/net_socket.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class receive_sink;

// The capability flags of a server: byte 0 says the probed ones (MLSD to UTF8) are valid; the
// last is what is known of EPSV (epsv_works, epsv_refused, epsv_unknown), kept apart from the
// probe.
using ftp_capabilities = std::array<std::uint8_t, 7>;
constexpr std::size_t flag_probed = 0;
constexpr std::size_t flag_mlsd = 1;
constexpr std::size_t flag_mlst = 2;
constexpr std::size_t flag_mdtm = 3;
constexpr std::size_t flag_size = 4;
constexpr std::size_t flag_utf8 = 5; // FEAT named UTF8
constexpr std::size_t flag_epsv = 6;

// Connects, reads the greeting, USER, PASS (a refused password is 13), OPTS UTF8 ON with
// utf8_names, CWD unless the directory is "/", TYPE I. On failure the connection has been shut
// down. The directory is given as the server takes it.
// With the control connection's TLS plan: implicit TLS starts before the greeting, explicit TLS
// with AUTH TLS after it (a refusal is 14, and nothing more is sent); PBSZ 0 and PROT P follow
// the log-in, so that the data connections are protected too. A certificate the system does not
// accept goes to the plan's question; a refusal is 17.
ftp_result ftp_login(thread_net& worker, NetSocket& control, const char* host, int port,
                     std::string_view user, std::string_view password, std::string_view directory,
                     bool utf8_names = false);
// OPTS UTF8 ON: a server that refuses it (an error reply) is taken at its word that names are
// UTF-8 anyway; only a failure of the connection is returned.
ftp_result ftp_utf8_on(thread_net& worker, NetSocket& control);
// QUIT (its reply is read when it was sent), then shutdown; results do not matter.
void ftp_logout(thread_net& worker, NetSocket& control);

// CWD name, or CDUP for "..".
ftp_result ftp_change_dir(thread_net& worker, NetSocket& control, std::string_view name);
ftp_result ftp_remove_dir(thread_net& worker, NetSocket& control, std::string_view name);
ftp_result ftp_delete(thread_net& worker, NetSocket& control, std::string_view name);
ftp_result ftp_make_dir(thread_net& worker, NetSocket& control, std::string_view name);
// SIZE name; on 0 the payload holds "213 <size>" (reply_number reads it).
ftp_result ftp_size(thread_net& worker, NetSocket& control, std::string_view name);
// ABOR. With transfer_open (the data command was answered 1xx and its closing reply is still to
// come) two replies are read: the transfer's (426, or 226 when it had ended) and the abort's, so
// that the next command's reply is its own. A 225 says no transfer was left: nothing follows.
ftp_result ftp_abort(thread_net& worker, NetSocket& control, bool transfer_open);
ftp_result ftp_rename(thread_net& worker, NetSocket& control, std::string_view old_name,
                      std::string_view new_name);

// MDTM / MLST: on 0 the payload from its fifth character begins with the time YYYYMMDDhhmmss,
// converted from the server's zone (±HHMM) to local time. A reply without a valid time is 12.
ftp_result ftp_modify_time(thread_net& worker, NetSocket& control, std::string_view name, int server_zone);
ftp_result ftp_mlst_time(thread_net& worker, NetSocket& control, std::string_view name, int server_zone);

// Fills the capability flags: from the feature lines of FEAT; only when FEAT is refused, from
// HELP MLSD / MLST / MDTM / SIZE (an error reply clears a flag). Byte 0 is set on success.
// A FEAT that names EPSV says it works, one that does not sends transfers to PASV; after HELP
// EPSV stays as it was (unknown: tried once).
ftp_result ftp_probe(thread_net& worker, NetSocket& control, ftp_capabilities& flags);

// What a download does with its received file before it replaces the target (the charset
// conversion of text files); false fails the download with 10 and leaves the target alone.
using received_file_step = std::function<bool(const std::string& received_path)>;

// EPSV where the server is known to have it, or not known not to (and always over IPv6), else
// PASV; then the data command ("RETR name", "MLSD", ...), the data thread receiving into a work file
// beside local_path, the closing reply. Only a complete transfer replaces local_path; a failed
// or stopped one leaves whatever was there. The data connection goes to the control
// connection's peer; the PASV reply gives only the port.
// expected_size, when not negative, is the file's size as the listing or SIZE gave it; a size in
// the opening reply ("150 Opening BINARY mode ... (2048 bytes)") goes before it. Transfers are
// binary, so a different byte count fails with 6, even after a 226, and keeps the old file.
// byte_limit, when not 0, ends a longer transfer with 9 (listings are bounded so). A sink takes
// the bytes on the data thread as they arrive, whatever becomes of the transfer.
ftp_result ftp_transfer_receive(thread_net& worker, NetSocket& control, std::string_view command,
                                const std::string& local_path, const received_file_step& before_replace = {},
                                std::int64_t expected_size = -1, std::uint64_t byte_limit = 0,
                                receive_sink* sink = nullptr);
// RETR into a work file that is kept whatever happens: the bytes go after the `offset` bytes it
// holds, asked for with "REST offset" (when offset > 0) right before the data command. A refused
// REST is 12 with sent_verb() "REST", and the work file untouched. total_size, when not negative,
// is the whole file's size: the transfer succeeds only when the work file then holds exactly that
// many bytes, and no more are written. The caller replaces the target.
ftp_result ftp_transfer_continue(thread_net& worker, NetSocket& control, std::string_view command,
                                 const std::string& work_path, std::uint64_t offset, std::int64_t total_size);
// The local file is opened before PASV: when it cannot be read nothing is sent (a STOR with an
// empty data connection would empty the file on the server).
ftp_result ftp_transfer_send(thread_net& worker, NetSocket& control, std::string_view command,
                             const std::string& local_path);

// True when the payload holds a reply saying the command is not known or not implemented
// (500, 501, 502): the server lacks it, as opposed to refusing it for this file. A refused PASV
// does not count: it says nothing about the data command it was to carry (vsftpd answers
// "500 OOPS" when it cannot bind a port).
bool reply_refused_command(const NetSocket& control);

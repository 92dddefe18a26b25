// The FTP operation threads: one log-in per operation, its body (listing, new directory, rename,
// download or delete walk, upload walk) and the log-out, and the transfers of single files with
// the text conversions.
#pragma once

#include "ftp/download_resume.h"
#include "ftp/ftp_protocol.h"
#include "ftp/listing_cache.h"
#include "ftp/server_registry.h"

#include <atomic>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Why an entry of a walk was passed over.
enum class ftp_skip_reason {
    local_name, // the local file system cannot hold the name as it stands (nul.txt, "a.")
    ftp_name,   // not a name an FTP pane carries (a Japanese name, a device name)
    cache_name, // a directory whose name cannot name its cache directory (dir.lst)
    unlisted,   // a directory whose listing had entries the cache could not store
    hidden,     // a hidden or system entry inside an uploaded directory
    no_cp932,   // a server name without a code page 932 form (shown here with '?' for it)
    no_server,  // a local name without a form in the server's name charset that comes back as it
};

struct ftp_skipped {
    std::string name; // relative to the list file's directory, "sub/name" inside a directory
    ftp_skip_reason reason;
};

// What keeps a remote name from being fetched into a local directory; none when it can be.
// `is_directory`: the name also names a cache directory.
bool fetch_name_problem(std::string_view name, bool is_directory, ftp_skip_reason& reason);

// The user's word on a server certificate the system does not accept.
enum class certificate_answer { refuse, once, always };

// What the operation thread asks its owner while a notification is pending.
struct certificate_question {
    os::tls_certificate certificate;
    bool changed = false; // another one than the certificate accepted always
    certificate_answer answer = certificate_answer::refuse;
};

class thread_ftp : public thread_net {
public:
    explicit thread_ftp(ftp_capabilities& pane_flags) : flags(pane_flags) {}
    // Takes server, zone, charset, port, user, password, directory, cache file, and the title,
    // security and accepted certificate.
    void take(const ftp_operation_params& params);

    std::string server;
    int zone = 900;
    std::string charset;
    std::string name_charset = "auto";
    // Names travel in UTF-8 in this session (decided at the log-in, or after the first probe).
    bool utf8_names = false;
    int port = 21;
    std::string user;
    // Overwritten with '*' once the log-in no longer needs it.
    std::string password;
    ftp_capabilities& flags; // the pane's, updated by the probe
    std::string directory;   // absolute, ending in "/"
    std::string cache_file;
    bool log_enabled = false;
    std::string local_dir;    // the local pane's directory, ending in "/"
    std::string support_file; // the server's support.ini (a refused REST is kept there)
    // The log line that says the connection was lost and is made again (the string table's);
    // " (try/3)" follows it.
    std::string reconnect_text;
    std::string title;
    tls_mode security = tls_mode::none;
    std::string certificate; // the fingerprint accepted always, or empty

    // The certificate question while a notification is pending for it (none for a log line).
    // The owner sets its answer and acknowledges; asked once per operation at most.
    certificate_question* question() const { return question_.load(); }
    // The server's reply that refused AUTH TLS, once the thread has finished with 14.
    std::string refusal;

    // Read by the owner once the thread has finished: the top-level entries of the list processed
    // whole, and the entries passed over, with their reasons.
    std::vector<std::string> done;
    std::vector<ftp_skipped> skipped;

    // The line to show while a notification is pending, from its marker on.
    const char* log_line() const;

protected:
    int run() override;
    virtual ftp_result body(NetSocket& control) = 0;
    // A walk that loses its connection logs in again and runs its body once more: what it
    // finished is in finished_ and is passed by, so nothing completed goes twice.
    virtual bool continues_after_loss() const { return false; }
    // Relative names ("sub/name") of the entries processed whole, files fetched or sent.
    std::set<std::string> finished_;
    // Records a name passed over once, however often a walk that continues meets it.
    void pass_over(const std::string& name, ftp_skip_reason reason);
    bool passed_over(std::string_view name) const;
    // The name as the server takes it; none when it has none (no UTF-8 form that comes back).
    std::optional<std::string> server_name(std::string_view name) const;

private:
    // One connection: log-in, the body, log-out. logged_in: the body ran; lost: the connection
    // went away (broken, closed, silent), as opposed to a refusal.
    ftp_result session(tls_plan& plan, const std::string& login_password, const std::string& start,
                       int try_number, bool& logged_in, bool& lost);
    bool accept_certificate(const os::tls_certificate& certificate);

    std::atomic<NetSocket*> control_{nullptr};
    std::atomic<certificate_question*> question_{nullptr};
};

class thread_ftp_listing : public thread_ftp {
public:
    using thread_ftp::thread_ftp;
    // Entries the listing received but could not store.
    std::size_t unstored = 0;

protected:
    ftp_result body(NetSocket& control) override;
};

class thread_ftp_make_dir : public thread_ftp {
public:
    using thread_ftp::thread_ftp;
    std::string target; // the new directory's name

protected:
    ftp_result body(NetSocket& control) override;
};

class thread_ftp_rename : public thread_ftp {
public:
    using thread_ftp::thread_ftp;
    std::string target; // old name
    std::string second; // new name

protected:
    ftp_result body(NetSocket& control) override;
};

// Downloads (get) and/or deletes on the server (remove) the entries of the list file, directories
// with everything in them; downloads land in local_dir.
class thread_ftp_get_remove : public thread_ftp {
public:
    using thread_ftp::thread_ftp;
    std::string target; // the list file
    std::string second; // the text extension list
    bool get = false;
    bool remove = false;

protected:
    ftp_result body(NetSocket& control) override;
    bool continues_after_loss() const override { return true; }

private:
    ftp_result walk(NetSocket& control, std::string_view lines, const std::string& cache,
                    const std::string& local, const std::string& relative, bool& whole);
    ftp_result get_file(NetSocket& control, const cache_entry& e, const std::string& cache,
                        const std::string& local_path, const std::string& wire_name);

    std::set<std::string> fetched_; // downloaded, though maybe not yet deleted (a move)
    bool rest_refused_ = false;
    std::string sizes_from_; // the cache file whose entries sizes_ holds
    std::vector<cache_entry> sizes_;
};

// Uploads the entries of the list file from local_dir into the remote directory, then lists that
// directory again; a copy gives the local files the times the server shows. After a lost
// connection the file that was being sent goes again from its start (STOR, never APPE): what
// the server kept of it is not known to be a clean beginning.
class thread_ftp_put : public thread_ftp {
public:
    using thread_ftp::thread_ftp;
    std::string target; // the list file
    std::string second; // the text extension list
    bool get = false;   // a move: the caller deletes the entries in `done` afterwards

protected:
    ftp_result body(NetSocket& control) override;
    bool continues_after_loss() const override { return true; }

private:
    ftp_result walk(NetSocket& control, std::string_view lines, const std::string& local,
                    const std::string& relative, bool& whole);
};

// RETR name into local_path; a text file is converted from the charset to Shift_JIS before it
// takes the local file's place. wire_name, when given, is the name as the server takes it. With
// `resume`, a binary file continues an earlier download of it that broke off (ftp_get_resuming).
ftp_result ftp_get_file(thread_net& worker, NetSocket& control, std::string_view charset,
                        const std::string& name, const std::string& local_path,
                        std::string_view text_extensions, std::string_view wire_name = {},
                        download_resume* resume = nullptr);
// STOR name: a binary file as it is, a text file from a converted copy; the local file is never
// changed.
ftp_result ftp_put_file(thread_net& worker, NetSocket& control, std::string_view charset,
                        const std::string& name, const std::string& local_path,
                        std::string_view text_extensions, std::string_view wire_name = {});

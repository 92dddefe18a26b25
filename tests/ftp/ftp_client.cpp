// The owner side of a client worker for the FTP tests.
#include "ftp_client.h"

#include "ftp/ftp_protocol.h"
#include "platform/os.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <atomic>
#include <numeric>

namespace {

class client_worker : public thread_net {
public:
    client_worker(const client_body& body, const client_options& options) : body_(body), options_(options) {}
    std::atomic<NetSocket*> control{nullptr};

protected:
    int run() override
    {
        NetSocket socket(options_.log);
        if (!socket.has_socket())
            return ftp_no_socket;
        socket.set_timeout_ms(options_.timeout_ms);
        control = &socket;
        int code = body_(*this, socket);
        control = nullptr;
        return code;
    }

private:
    const client_body& body_;
    const client_options& options_;
};

} // namespace

std::string client_run::text() const
{
    return std::accumulate(log.begin(), log.end(), std::string());
}

int client_run::dots() const
{
    return static_cast<int>(std::count(log.begin(), log.end(), "."));
}

int own_worker(thread& worker, const std::function<bool()>& on_notification)
{
    if (!worker.begin())
        return -1;
    while (!worker.is_finished()) {
        if (!worker.notification_pending()) {
            os::sleep_ms(1);
            continue;
        }
        const bool stop = on_notification();
        worker.acknowledge();
        if (stop)
            worker.request_stop();
    }
    worker.join();
    return worker.get_result();
}

client_run run_client(const client_body& body, const client_options& options)
{
    client_run result;
    client_worker worker(body, options);
    result.code = own_worker(worker, [&] {
        if (NetSocket* control = worker.control.load())
            result.log.push_back(control->log_line());
        return options.stop_when && options.stop_when(result);
    });
    return result;
}

scripted_run run_scripted(const script& serve, const client_body& body, const client_options& options)
{
    ftp_script_server server([&](script_session& s) {
        s.serve_login();
        serve(s);
    });
    scripted_run result;
    result.client = run_client(
        [&](thread_net& w, NetSocket& c) {
            int code = ftp_login(w, c, "127.0.0.1", server.port(), "kv", "pw", "/");
            return code ? code : body(w, c);
        },
        options);
    result.commands = server.commands();
    // A log-in that went otherwise stays in the record, so that the comparison shows it.
    const strings login = {"USER kv", "PASS pw", "TYPE I"};
    if (result.commands.size() >= 3 && strings(result.commands.begin(), result.commands.begin() + 3) == login)
        result.commands.erase(result.commands.begin(), result.commands.begin() + 3);
    result.problems = server.problems();
    return result;
}

std::string file_text(const std::string& path)
{
    return os::read_file(path).value_or("<missing>");
}

std::string joined(const strings& lines)
{
    std::string all;
    for (std::size_t i = 0; i < lines.size(); ++i)
        all += (i ? "|" : "") + lines[i];
    return all;
}

ftp_capabilities caps(const char* digits)
{
    ftp_capabilities flags{};
    for (std::size_t i = 0; i < flags.size() && digits[i]; ++i)
        flags[i] = static_cast<std::uint8_t>(digits[i] - '0');
    return flags;
}

std::string unique_name(const char* stem, const char* extension)
{
    temp_dir scratch;
    std::string tail = scratch.path().substr(scratch.path().size() - 8);
    return std::string(stem) + "_" + tail + extension;
}

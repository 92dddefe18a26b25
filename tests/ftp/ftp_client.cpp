// The owner side of a client worker for the FTP tests.
#include "ftp_client.h"

#include "platform/os.h"

#include <atomic>

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
    std::string all;
    for (const std::string& line : log)
        all += line;
    return all;
}

client_run run_client(const client_body& body, const client_options& options)
{
    client_run result;
    client_worker worker(body, options);
    if (!worker.begin())
        return result;
    while (!worker.is_finished()) {
        if (worker.notification_pending()) {
            NetSocket* control = worker.control.load();
            if (control)
                result.log.push_back(control->log_line());
            worker.acknowledge();
            if (options.stop_when && options.stop_when(result))
                worker.request_stop();
            continue;
        }
        os::sleep_ms(1);
    }
    worker.join();
    result.code = worker.get_result();
    return result;
}

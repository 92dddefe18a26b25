// The FTP log window dialog_ftp, which runs one operation thread, and the six launchers.
#include "ftp/ftp_log_window_win.h"

#include "dialogs.h"
#include "ftp/ftp_operations.h"
#include "resource.h"
#include "toolkit/control_win.h"
#include "toolkit/module_win.h"
#include "toolkit/timer_win.h"

#include <algorithm>
#include <cstdio>

namespace {

bool shift_held()
{
    return GetKeyState(VK_SHIFT) < 0;
}

// The message of a result code; a refused AUTH TLS shows the server's reply with it.
std::string result_message(int code, const std::string& refusal)
{
    unsigned id = IDS_FTP_THREAD_FAILED;
    if (code >= ftp_line_too_small && code <= ftp_bad_password)
        id = static_cast<unsigned>(IDS_FTP_RESULT_FIRST + code);
    else if (code >= ftp_tls_refused && code <= ftp_result_last)
        id = static_cast<unsigned>(IDS_FTP_TLS_RESULT_FIRST + code - ftp_tls_refused);
    std::string text = resource_string(id, 256);
    if (code == ftp_tls_refused && !refusal.empty())
        text += "\n\n" + refusal.substr(0, refusal.find_first_of("\r\n"));
    return text;
}

// Asks about a certificate the system does not accept: Yes accepts it always, No this once,
// Cancel (the default) refuses it.
certificate_answer ask_certificate(HWND owner, const certificate_question& q)
{
    const os::tls_certificate& c = q.certificate;
    std::string fingerprint = fingerprint_text(c.sha256);
    std::string format = resource_string(IDS_CERTIFICATE_DETAILS, 256);
    std::vector<char> details(format.size() + c.subject.size() + c.issuer.size() + c.valid_from.size() +
                              c.valid_to.size() + fingerprint.size() + 1);
    std::snprintf(details.data(), details.size(), format.c_str(), c.subject.c_str(), c.issuer.c_str(),
                  c.valid_from.c_str(), c.valid_to.c_str(), fingerprint.c_str());
    std::string text = resource_string(q.changed ? IDS_CERTIFICATE_CHANGED : IDS_CERTIFICATE_UNTRUSTED, 512) +
                       "\n\n" + details.data() + "\n\n" + resource_string(IDS_CERTIFICATE_CHOICES, 256);
    int chosen = MessageBoxA(owner, text.c_str(), resource_string(IDS_CAPTION_QUESTION, 128).c_str(),
                             MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON3);
    return chosen == IDYES  ? certificate_answer::always
           : chosen == IDNO ? certificate_answer::once
                            : certificate_answer::refuse;
}

// The log of one operation: hidden unless Shift was held when it opened or the operation failed.
// Ends with 1 when the operation succeeded, 3 when it failed (its message has been shown).
class dialog_ftp : public dialog {
public:
    explicit dialog_ftp(thread_ftp& worker) : worker_(worker) {}
    int run(HWND owner) { return show(TEMPLATE_FTP, owner); }

    void on_init() override
    {
        EnableWindow(GetDlgItem(hwnd_, IDCANCEL), FALSE);
        set_title(worker_.server.c_str());
        HWND log = GetDlgItem(hwnd_, ID_TEXT);
        SendMessageA(log, EM_SETLIMITTEXT, 0, 0);
        SetWindowTextA(log, "connecting...\r\n");
        worker_.log_enabled = shift_held();
        if (!worker_.begin()) {
            ShowWindow(hwnd_, SW_SHOW);
            warn(IDS_CAPTION_ERROR, IDS_FTP_RESULT_FIRST + ftp_thread_failed);
            end(3);
            return;
        }
        running_ = true;
        timer_.start(hwnd_, 10);
    }

    void on_destroy() override
    {
        timer_.stop();
        if (running_) {
            // Torn down from outside: the worker is stopped and waited for.
            worker_.request_stop();
            worker_.join();
            running_ = false;
        }
    }

    void on_command(int id, HWND) override
    {
        if (id == ID_STOP && running_) {
            EnableWindow(GetDlgItem(hwnd_, ID_STOP), FALSE);
            worker_.request_stop();
        } else if (id == IDCANCEL && !running_) {
            // Esc arrives as 2 too; it closes the window only once the operation is over.
            end(result_);
        }
    }

    void on_timer(UINT_PTR id) override
    {
        if (id != timer_.id() || !running_)
            return;
        if (!worker_.log_enabled && IsWindowVisible(hwnd_)) {
            // Hiding the active window hands the activation to another window (the owner is
            // disabled): the owner takes it back when this one ends, as from a shown window.
            hid_active_ = hid_active_ || GetActiveWindow() == hwnd_;
            SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (worker_.is_finished()) {
            timer_.stop();
            worker_.join();
            running_ = false;
            std::fill(worker_.password.begin(), worker_.password.end(), '*');
            EnableWindow(GetDlgItem(hwnd_, ID_STOP), FALSE);
            int code = worker_.release();
            if (code != ftp_ok) {
                result_ = 3;
                ShowWindow(hwnd_, SW_SHOW);
                EnableWindow(GetDlgItem(hwnd_, IDCANCEL), TRUE);
                MessageBoxA(hwnd_, result_message(code, worker_.refusal).c_str(),
                            resource_string(IDS_CAPTION_ERROR, 128).c_str(), MB_OK | MB_ICONWARNING);
            } else if (shift_held()) {
                result_ = 1;
                ShowWindow(hwnd_, SW_SHOW);
                EnableWindow(GetDlgItem(hwnd_, IDCANCEL), TRUE);
            } else {
                end(1); // enables the owner
                if (hid_active_)
                    SetForegroundWindow(GetWindow(hwnd_, GW_OWNER));
            }
        } else if (certificate_question* q = worker_.notification_pending() ? worker_.question() : nullptr) {
            // No tick may ask again while the question is up.
            timer_.stop();
            HWND owner = IsWindowVisible(hwnd_) ? hwnd_ : GetWindow(hwnd_, GW_OWNER);
            q->answer = ask_certificate(owner, *q);
            // "This once" is never stored; "always" keeps the fingerprint in the server's section.
            if (q->answer == certificate_answer::always)
                server_set_certificate(ftp_ini_path(), worker_.title,
                                       fingerprint_text(q->certificate.sha256));
            worker_.acknowledge();
            timer_.start(hwnd_, 10);
        } else if (worker_.notification_pending()) {
            HWND log = GetDlgItem(hwnd_, ID_TEXT);
            int length = GetWindowTextLengthA(log);
            SendMessageA(log, EM_SETSEL, length, length);
            SendMessageA(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(worker_.log_line()));
            worker_.acknowledge();
        }
    }

private:
    thread_ftp& worker_;
    timer timer_;
    bool running_ = false;
    bool hid_active_ = false;
    int result_ = 3;
};

bool run_dialog(HWND owner, thread_ftp& worker)
{
    worker.reconnect_text = resource_string(IDS_FTP_RECONNECTING);
    dialog_ftp window(worker);
    bool ok = window.run(owner) == 1;
    std::fill(worker.password.begin(), worker.password.end(), '*');
    return ok;
}

// The names passed over, in one information box after the operation.
void report_skipped(HWND owner, const std::vector<ftp_skipped>& skipped, ftp_op_report& report)
{
    if (skipped.empty())
        return;
    constexpr std::size_t shown_at_most = 20;
    std::string text = resource_string(IDS_FTP_SKIPPED) + "\r\n";
    for (std::size_t i = 0; i < skipped.size(); ++i) {
        std::string line =
            skipped[i].name + "  (" +
            resource_string(IDS_FTP_SKIP_REASON_FIRST + static_cast<unsigned>(skipped[i].reason)) + ")";
        report.skipped.push_back(line);
        if (i < shown_at_most)
            text += "\r\n" + line;
    }
    if (skipped.size() > shown_at_most) {
        char more[128];
        std::snprintf(more, sizeof more, resource_string(IDS_FTP_SKIPPED_MORE).c_str(),
                      static_cast<int>(skipped.size() - shown_at_most));
        text += std::string("\r\n") + more;
    }
    MessageBoxA(owner, text.c_str(), resource_string(IDS_CAPTION_INFORMATION, 128).c_str(),
                MB_OK | MB_ICONINFORMATION);
}

std::string directory_form(std::string dir)
{
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\')
        dir += '/';
    return dir;
}

template <class op_type> ftp_op_report run_walk(HWND owner, op_type& op)
{
    ftp_op_report report;
    report.ok = run_dialog(owner, op);
    report.done = op.done;
    report.skipped_names.reserve(op.skipped.size());
    for (const ftp_skipped& s : op.skipped)
        report.skipped_names.push_back(s.name);
    report_skipped(owner, op.skipped, report);
    return report;
}

} // namespace

bool ftp_run_listing(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags)
{
    thread_ftp_listing op(flags);
    op.take(params);
    return run_dialog(owner, op);
}

bool ftp_run_make_dir(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags,
                      const std::string& name)
{
    thread_ftp_make_dir op(flags);
    op.take(params);
    op.target = name;
    return run_dialog(owner, op);
}

bool ftp_run_rename(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags,
                    const std::string& old_name, const std::string& new_name)
{
    thread_ftp_rename op(flags);
    op.take(params);
    op.target = old_name;
    op.second = new_name;
    return run_dialog(owner, op);
}

ftp_op_report ftp_run_get(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags,
                          const std::string& local_dir, const std::string& list_file,
                          const std::string& text_extensions, bool remove)
{
    thread_ftp_get_remove op(flags);
    op.take(params);
    op.local_dir = directory_form(local_dir);
    op.target = list_file;
    op.second = text_extensions;
    op.get = true;
    op.remove = remove;
    return run_walk(owner, op);
}

ftp_op_report ftp_run_delete(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags,
                             const std::string& list_file)
{
    thread_ftp_get_remove op(flags);
    op.take(params);
    op.target = list_file;
    op.remove = true;
    return run_walk(owner, op);
}

ftp_op_report ftp_run_put(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags,
                          const std::string& local_dir, const std::string& list_file,
                          const std::string& text_extensions, bool move)
{
    thread_ftp_put op(flags);
    op.take(params);
    op.local_dir = directory_form(local_dir);
    op.target = list_file;
    op.second = text_extensions;
    op.get = move;
    return run_walk(owner, op);
}

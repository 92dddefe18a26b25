// The server definition dialog and the password prompt.
#include "ftp/server_dialogs_win.h"

#include "base/cp932.h"
#include "base/name_rules.h"
#include "base/paths.h"
#include "ftp/listing_cache.h"
#include "ftp/server_registry.h"
#include "pane/pane_view_win.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "resource.h"
#include "toolkit/module_win.h"

#include <string_view>

namespace {

constexpr int help_first_line = 469;
constexpr int help_line_count = 73;
constexpr int new_server_port = 21;

// Enter presses the default button even while it is greyed: OK counts only when enabled.
bool ok_enabled(HWND dialog)
{
    return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != 0;
}

std::string without_slash(std::string dir)
{
    if (!dir.empty() && dir.back() == '/')
        dir.pop_back();
    return dir;
}

} // namespace

void dialog_drive_ftp::on_init()
{
    center_on_parent();
    std::string path = ftp_ini_path();
    FtpServerEntry entry;
    if (index_) {
        std::optional<std::string> title = server_title(path, *index_);
        if (!title) {
            end(2);
            return;
        }
        old_title_ = *title;
        entry = server_read(path, old_title_);
        old_server_ = entry.server;
    }
    title_ = std::make_unique<edit_account>();
    title_->bind(hwnd_, ID_FTP_TITLE);
    server_ = std::make_unique<edit_server>();
    server_->bind(hwnd_, ID_FTP_SERVER);
    zone_ = std::make_unique<combo_fixed>();
    zone_->bind(hwnd_, ID_FTP_ZONE);
    for (std::size_t i = 0; i < time_zone_count; ++i)
        zone_->add(time_zone_text(i).c_str());
    charset_ = std::make_unique<combo_fixed>();
    charset_->bind(hwnd_, ID_FTP_CHARSET);
    for (std::string_view name : charset_names)
        charset_->add(std::string(name).c_str());
    port_ = std::make_unique<edit_port>();
    port_->bind(hwnd_, ID_FTP_PORT);
    port_updown_ = std::make_unique<updown>();
    port_updown_->create(hwnd_, ID_FTP_PORT_UPDOWN, port_->handle(), 32767, 0, new_server_port);
    user_ = std::make_unique<edit_ftpid>();
    user_->bind(hwnd_, ID_FTP_USER);
    // 127 bytes: the stored form, '?' and one byte per byte, fits the 128 bytes read back.
    password_ = std::make_unique<edit>();
    password_->bind(hwnd_, ID_FTP_PASSWORD);
    password_->set_limit(password_size);
    directory_ = std::make_unique<edit>();
    directory_->bind(hwnd_, ID_FTP_DIRECTORY);
    directory_->set_limit(path_size);
    keep_ = std::make_unique<check>();
    keep_->bind(hwnd_, ID_FTP_KEEP_DIRLIST);
    security_ = std::make_unique<combo_fixed>();
    security_->bind(hwnd_, ID_FTP_SECURITY);
    name_charset_ = std::make_unique<combo_fixed>();
    name_charset_->bind(hwnd_, ID_FTP_NAME_CHARSET);
    for (unsigned i = 0; i < security_names.size(); ++i) {
        security_->add(resource_string(IDS_FTP_SECURITY_FIRST + i).c_str());
        name_charset_->add(resource_string(IDS_FTP_NAME_CHARSET_FIRST + i).c_str());
    }
    protect_ = std::make_unique<check>();
    protect_->bind(hwnd_, ID_FTP_PROTECT_PASSWORD);

    zone_->select(static_cast<int>(time_zone_entry(entry.timezone).value_or(*time_zone_entry("+09:00"))));
    charset_->select(static_cast<int>(charset_entry(entry.charset).value_or(charset_names.size() - 1)));
    directory_->set_text(entry.start_directory.c_str());
    if (entry.keep_dirlist)
        keep_->set_check();
    security_->select(static_cast<int>(security_entry(entry.security)));
    name_charset_->select(static_cast<int>(name_charset_entry(entry.name_charset)));
    if (entry.protect_password)
        protect_->set_check();
    // Implicit TLS listens on 990 by custom: the port follows the choice when it was the other's.
    security_->changed = [this] {
        int chosen = security_->selection();
        std::string_view security = security_names[chosen < 0 ? 0 : static_cast<std::size_t>(chosen)];
        port_->set_text(port_for_security(port_->get_text(6), security).c_str());
    };
    if (!index_) {
        DestroyWindow(GetDlgItem(hwnd_, ID_DELETE));
    } else {
        title_->set_text(old_title_.c_str());
        server_->set_text(entry.server.c_str());
        port_->set_text(entry.port.c_str());
        user_->set_text(entry.id.c_str());
        old_password_ = entry.password;
        std::string password = stored_password_text(entry.password);
        password_->set_text(password.c_str());
        password.assign(password.size(), '*');
    }
    title_->on_text_changed(); // OK only while the four required fields hold text
}

void dialog_drive_ftp::on_destroy()
{
    title_.reset();
    server_.reset();
    zone_.reset();
    charset_.reset();
    port_updown_.reset();
    port_.reset();
    user_.reset();
    password_.reset();
    directory_.reset();
    keep_.reset();
    security_.reset();
    name_charset_.reset();
    protect_.reset();
    old_password_.assign(old_password_.size(), '*');
}

void dialog_drive_ftp::on_command(int id, HWND)
{
    switch (id) {
    case IDOK:
        if (ok_enabled(hwnd_))
            accept();
        break;
    case IDCANCEL:
        end(2);
        break;
    case ID_DELETE:
        remove();
        break;
    case ID_HELP_BUTTON:
        if (help_)
            help_(hwnd_, help_first_line, help_line_count);
        break;
    default:
        break;
    }
}

void dialog_drive_ftp::accept()
{
    std::string path = ftp_ini_path();
    std::string title = title_->get_text(name_size);
    if (!title_rule(title)) {
        inform(IDS_CAPTION_INFORMATION, title_rule_message);
        return;
    }
    // The title names the server's cache directory: one component that stays what it is.
    if (!cache_component_rule(title)) {
        inform(IDS_CAPTION_INFORMATION, local_name_rule_message);
        return;
    }
    if ((!index_ || title != old_title_) && server_exists(path, title)) {
        inform(IDS_CAPTION_INFORMATION, IDS_NAME_EXISTS);
        return;
    }
    FtpServerEntry entry;
    entry.server = server_->get_text(server_text_size);
    entry.timezone =
        time_zone_text(static_cast<std::size_t>(zone_->selection() < 0 ? 0 : zone_->selection()));
    int charset = charset_->selection();
    entry.charset = std::string(
        charset_names[charset < 0 ? charset_names.size() - 1 : static_cast<std::size_t>(charset)]);
    entry.port = port_->get_text(6);
    entry.id = user_->get_text(server_text_size);
    entry.start_directory = normalize_start_directory(directory_->get_text(path_size));
    entry.keep_dirlist = keep_->get_check();
    int security = security_->selection();
    entry.security = security_names[security < 0 ? 0 : static_cast<std::size_t>(security)];
    int names = name_charset_->selection();
    entry.name_charset = name_charset_names[names < 0 ? 0 : static_cast<std::size_t>(names)];
    entry.protect_password = protect_->get_check();
    std::string typed = password_->get_text(password_size);
    // Protected, the password never falls back to a readable form: no protection, no save.
    std::optional<std::string> stored =
        entry.protect_password ? protect_password(typed) : scramble_password(typed);
    if (entry.protect_password && typed.empty() &&
        stored_password_form(old_password_) == password_form::protected_form &&
        stored_password_text(old_password_).empty())
        stored = old_password_; // another user's or machine's: not ours to drop
    typed.assign(typed.size(), '*');
    // A password the file cannot hold is refused before the old definition goes.
    bool saved = stored.has_value();
    if (saved) {
        entry.password = *stored;
        if (index_)
            saved = server_delete(path, old_title_);
        saved = saved && server_save(path, title, entry);
    }
    if (!saved) {
        warn(IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR);
        if (index_)
            end(2);
        return;
    }
    if (index_) {
        const std::string& program_dir = dirs().program_dir;
        if (title != old_title_) {
            std::string from = server_cache_dir(program_dir, old_title_);
            std::string to = server_cache_dir(program_dir, title);
            if (!from.empty() && !to.empty() && os::is_directory(without_slash(from)))
                os::rename_path(without_slash(from), without_slash(to));
        }
        if (entry.server != old_server_)
            for (int i = 1; i <= 2; ++i)
                replace_ftp_server(panes().panes[static_cast<std::size_t>(i)].path, old_server_,
                                   entry.server);
    }
    end(1);
}

void dialog_drive_ftp::remove()
{
    if (!index_ || !ask(IDS_CAPTION_QUESTION, IDS_ASK_DELETE))
        return;
    if (!server_delete(ftp_ini_path(), old_title_)) {
        warn(IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR);
        return;
    }
    end(1);
}

void dialog_password::on_init()
{
    center_on_parent();
    password_ = std::make_unique<edit_ftppwd>();
    password_->bind(hwnd_, ID_FTP_PASSWORD);
    EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
    password_->set_focus();
}

void dialog_password::on_destroy()
{
    password_.reset();
}

void dialog_password::on_command(int id, HWND)
{
    if (id == IDOK && ok_enabled(hwnd_)) {
        typed_ = password_->get_text(password_size);
        end(1);
    } else if (id == IDCANCEL) {
        end(2);
    }
}

// The FTP control protocol: log-in, the simple commands, modification times and the probe.
#include "ftp/ftp_protocol.h"

#include "ftp/ftp_reply.h"
#include "ftp/listing_time.h"
#include "platform/tls.h"

#include <cstring>
#include <span>

namespace {

// Composes, sends (logged) and reads the reply of one command.
ftp_result command(thread_net& worker, NetSocket& control, std::string_view text,
                   std::string_view argument = {})
{
    ftp_result code = control.compose(text, argument);
    if (code != ftp_ok)
        return code;
    code = control.send_command(worker, true);
    if (code != ftp_ok)
        return code;
    return control.read_reply(worker);
}

// The 14 time digits at payload + 4, converted to local time in place; false when they are not
// a time.
bool convert_reply_time(NetSocket& control, int server_zone)
{
    char* text = control.payload() + 4;
    std::size_t length = std::strlen(control.payload());
    if (length < 4 + 14)
        return false;
    for (int i = 0; i < 14; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return convert_server_time(server_zone, std::span<char>(text, 14));
}

// The TLS handshake on the control connection, the certificate's check and the log line naming
// the protocol and cipher.
ftp_result secure_control(thread_net& worker, NetSocket& control, tls_plan& plan)
{
    ftp_result code = control.start_tls(worker, plan.credentials, plan.target);
    if (code != ftp_ok)
        return code;
    os::tls_certificate certificate;
    if (!control.tls_certificate(certificate))
        return ftp_tls_failed;
    if (!certificate.trusted && !(plan.accept && plan.accept(certificate)))
        return worker.stop_wanted() ? ftp_aborted : ftp_certificate_refused;
    plan.fingerprint = certificate.sha256;
    control.log_note(worker, control.tls_description());
    return ftp_ok;
}

void take_feature(const char* line, std::size_t length, void* context)
{
    parse_feature_line(line, length, *static_cast<feature_set*>(context));
}

} // namespace

ftp_result ftp_login(thread_net& worker, NetSocket& control, const char* host, int port,
                     std::string_view user, std::string_view password, std::string_view directory,
                     bool utf8_names)
{
    tls_plan* plan = control.plan();
    tls_mode mode = plan ? plan->mode : tls_mode::none;
    if (mode != tls_mode::none && !os::tls_available())
        return ftp_tls_unavailable;
    ftp_result code = control.connect_to(worker, host, port);
    if (code != ftp_ok)
        return code;
    if (mode == tls_mode::implicit_tls)
        code = secure_control(worker, control, *plan);
    if (code == ftp_ok)
        code = control.read_reply(worker);
    if (code == ftp_ok && mode == tls_mode::explicit_tls) {
        code = command(worker, control, "AUTH TLS");
        // Only 234 starts TLS; anything else is a refusal, and USER and PASS stay unsent.
        if (code == ftp_error_reply || (code == ftp_ok && std::strncmp(control.payload(), "234", 3) != 0))
            code = ftp_tls_refused;
        if (code == ftp_ok)
            code = secure_control(worker, control, *plan);
    }
    if (code == ftp_ok)
        code = command(worker, control, "USER ", user);
    if (code != ftp_ok) {
        control.shutdown_and_drain(worker);
        return code;
    }
    // 230 to USER still gets PASS: some servers ask for it anyway.
    code = command(worker, control, "PASS ", password);
    if (code == ftp_error_reply)
        code = ftp_bad_password;
    if (code == ftp_ok && mode != tls_mode::none)
        code = command(worker, control, "PBSZ 0");
    if (code == ftp_ok && mode != tls_mode::none)
        code = command(worker, control, "PROT P");
    if (code == ftp_ok && utf8_names)
        code = ftp_utf8_on(worker, control);
    if (code == ftp_ok && directory != "/")
        code = ftp_change_dir(worker, control, directory);
    if (code == ftp_ok)
        code = command(worker, control, "TYPE I");
    if (code == ftp_ok)
        return ftp_ok;
    if (control.compose("QUIT") == ftp_ok && control.send_command(worker, true) == ftp_ok)
        control.read_reply(worker);
    control.shutdown_and_drain(worker);
    return code;
}

ftp_result ftp_utf8_on(thread_net& worker, NetSocket& control)
{
    ftp_result code = command(worker, control, "OPTS UTF8 ON");
    return code == ftp_error_reply ? ftp_ok : code;
}

void ftp_logout(thread_net& worker, NetSocket& control)
{
    if (control.compose("QUIT") == ftp_ok && control.send_command(worker, true) == ftp_ok)
        control.read_reply(worker);
    control.shutdown_and_drain(worker);
}

ftp_result ftp_change_dir(thread_net& worker, NetSocket& control, std::string_view name)
{
    if (name == "..")
        return command(worker, control, "CDUP");
    return command(worker, control, "CWD ", name);
}

ftp_result ftp_remove_dir(thread_net& worker, NetSocket& control, std::string_view name)
{
    return command(worker, control, "RMD ", name);
}

ftp_result ftp_delete(thread_net& worker, NetSocket& control, std::string_view name)
{
    return command(worker, control, "DELE ", name);
}

ftp_result ftp_make_dir(thread_net& worker, NetSocket& control, std::string_view name)
{
    return command(worker, control, "MKD ", name);
}

ftp_result ftp_size(thread_net& worker, NetSocket& control, std::string_view name)
{
    return command(worker, control, "SIZE ", name);
}

ftp_result ftp_abort(thread_net& worker, NetSocket& control, bool transfer_open)
{
    ftp_result code = command(worker, control, "ABOR");
    const char* reply = control.payload();
    if (!transfer_open || (code != ftp_ok && code != ftp_error_reply) || std::strncmp(reply, "225", 3) == 0)
        return code;
    return control.read_reply(worker);
}

ftp_result ftp_rename(thread_net& worker, NetSocket& control, std::string_view old_name,
                      std::string_view new_name)
{
    // Both names are checked first, so a refused new name never leaves a pending RNFR.
    ftp_result code = control.compose("RNTO ", new_name);
    if (code != ftp_ok)
        return code;
    code = command(worker, control, "RNFR ", old_name);
    if (code != ftp_ok)
        return code;
    return command(worker, control, "RNTO ", new_name);
}

ftp_result ftp_modify_time(thread_net& worker, NetSocket& control, std::string_view name, int server_zone)
{
    ftp_result code = command(worker, control, "MDTM ", name);
    if (code != ftp_ok)
        return code;
    return convert_reply_time(control, server_zone) ? ftp_ok : ftp_error_reply;
}

ftp_result ftp_mlst_time(thread_net& worker, NetSocket& control, std::string_view name, int server_zone)
{
    ftp_result code = control.compose("MLST ", name);
    if (code == ftp_ok)
        code = control.send_command(worker, true);
    if (code == ftp_ok)
        code = control.read_mlst_reply(worker);
    if (code != ftp_ok)
        return code;
    char* payload = control.payload();
    std::size_t length = std::strlen(payload);
    std::size_t at = find_modify_fact(std::string_view(payload, length));
    if (at == std::string_view::npos)
        return ftp_error_reply;
    std::size_t from = at + 7;
    // The facts line begins with a blank, so the value always moves left (or stays).
    if (from < 4)
        return ftp_error_reply;
    std::memmove(payload + 4, payload + from, length - from + 1);
    return convert_reply_time(control, server_zone) ? ftp_ok : ftp_error_reply;
}

ftp_result ftp_probe(thread_net& worker, NetSocket& control, ftp_capabilities& flags)
{
    // HELP answers 214 for any argument on several servers, so the feature list comes first.
    feature_set features;
    ftp_result code = control.compose("FEAT");
    if (code == ftp_ok)
        code = control.send_command(worker, true);
    if (code == ftp_ok)
        code = control.read_reply(worker, take_feature, &features);
    if (code == ftp_ok) {
        flags[flag_mlsd] = features.mlsd;
        flags[flag_mlst] = features.mlst;
        flags[flag_mdtm] = features.mdtm;
        flags[flag_size] = features.size;
        flags[flag_epsv] = features.epsv ? epsv_works : epsv_refused;
        flags[flag_utf8] = features.utf8;
        flags[flag_probed] = 1;
        return ftp_ok;
    }
    if (code != ftp_error_reply)
        return code;
    static const char* const help[] = {"HELP MLSD", "HELP MLST", "HELP MDTM", "HELP SIZE"};
    ftp_capabilities found = flags;
    found[flag_utf8] = 0; // a server without FEAT names no UTF8
    for (int i = 0; i < 4; ++i) {
        code = command(worker, control, help[i]);
        if (code == ftp_ok)
            found[1 + i] = 1;
        else if (code == ftp_error_reply)
            found[1 + i] = 0;
        else
            return code;
    }
    flags = found;
    flags[flag_probed] = 1;
    return ftp_ok;
}

bool reply_refused_command(const NetSocket& control)
{
    if (control.sent_verb() == "PASV" || control.sent_verb() == "EPSV")
        return false;
    const char* p = control.payload();
    return p[0] == '5' && p[1] == '0' && (p[2] == '0' || p[2] == '1' || p[2] == '2') && p[3] == ' ';
}

// The result codes every FTP operation returns.
#pragma once

// Result codes of every FTP operation; the log window shows string id code + 33 for 1-13 and
// IDS_FTP_TLS_RESULT_FIRST + code - 14 for the TLS codes.
enum ftp_result : int {
    ftp_ok = 0,
    ftp_line_too_small = 1,
    ftp_library_failed = 2,
    ftp_no_socket = 3,
    ftp_bad_host = 4,
    ftp_connect_failed = 5,
    ftp_receive_error = 6,
    ftp_closed = 7,
    ftp_send_error = 8,
    ftp_thread_failed = 9,
    ftp_file_error = 10,
    ftp_aborted = 11,
    ftp_error_reply = 12,
    ftp_bad_password = 13,
    ftp_tls_refused = 14,         // TLS was chosen and the server refused AUTH TLS
    ftp_tls_failed = 15,          // the TLS handshake or a record failed
    ftp_tls_unavailable = 16,     // this build has no TLS
    ftp_certificate_refused = 17, // the user (or the data connection's check) refused the certificate
};
constexpr int ftp_result_last = ftp_certificate_refused;

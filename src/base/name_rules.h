// The four rules every typed name is tested against, and the string ids of their messages.
#pragma once

#include <string_view>

// Message string ids of the rules.
constexpr unsigned title_rule_message = 21;
constexpr unsigned local_name_rule_message = 23;
constexpr unsigned ascii_name_rule_message = 24;
constexpr unsigned no_dot_name_rule_message = 25;

// No " * / : < > ? \ | (double-byte aware) and not a reserved device name.
bool local_name_rule(std::string_view name);
// A name a local file or directory can be made under as it stands: passes local_name_rule, is not
// empty, has no control byte, is no device name with an extension either ("nul.txt", "COM1.log"),
// and does not end in '.' or a blank (Windows drops those and would write another name).
bool local_file_name_rule(std::string_view name);
// Not a reserved device name, and only the 86 printable ASCII characters allowed in FTP names.
bool ascii_name_rule(std::string_view name);
// What an FTP pane and its cache carry: ascii_name_rule, and also whole code page 932 characters
// (a lead byte with a trail byte, half-width katakana); no lone lead byte, no control byte.
bool ftp_name_rule(std::string_view name);
// No " * . / : < > ? \ | (double-byte aware).
bool no_dot_name_rule(std::string_view name);
// No blank at either end and no '[' or ']' (double-byte aware).
bool title_rule(std::string_view text);

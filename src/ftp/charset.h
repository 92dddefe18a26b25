// Whole-file conversions of text between Shift_JIS (code page 932) and the servers' EUC-JP and
// ISO-2022-JP, and the code arithmetic behind them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The full-width question mark that replaces a character without a counterpart.
constexpr unsigned replacement_jis = 0x2129;
constexpr unsigned replacement_euc = 0xA1A9;
constexpr unsigned replacement_sjis = 0x8148;

// One double-byte character between JIS X 0208 (row/cell + 0x2020) and Shift_JIS; 0 when the
// code has no counterpart.
unsigned jis_to_sjis(unsigned jis);
unsigned sjis_to_jis(unsigned sjis);
// The full-width Shift_JIS character of a half-width katakana byte (0xA1-0xDF); 0 for others.
unsigned kana_to_full_width(unsigned char c);

// Texts and files are converted in pieces of this size, so a file of any size takes bounded
// memory; a character or escape sequence cut by a piece's end is carried to the next piece.
constexpr std::size_t charset_piece_size = 65536;

// The conversions over bytes: `in` is the file's content as it lies on the disk, `out` what the
// file holds afterwards (text-mode line ends applied). False when the input ends in the middle
// of a double-byte character.
bool euc_to_sjis_text(std::string_view in, std::string& out);
bool jis_to_sjis_text(std::string_view in, std::string& out);
bool sjis_to_euc_text(std::string_view in, std::string& out);
bool kana_to_full_width_text(std::string_view in, std::string& out);
bool sjis_to_jis_text(std::string_view in, std::string& out);

// The files in place, through a temporary file; true when the file now holds the converted
// text, false (file unchanged) otherwise.
bool convert_euc_to_sjis(const std::string& path);
bool convert_jis_to_sjis(const std::string& path);
bool convert_sjis_to_euc(const std::string& path);
bool convert_kana_to_full_width(const std::string& path);
bool convert_sjis_to_jis(const std::string& path);

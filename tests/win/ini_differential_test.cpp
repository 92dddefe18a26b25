// The INI engine against the system's profile service (Get/WritePrivateProfileStringA): the same
// reads and writes give the same results and byte-identical files.
#include "platform/os.h"
#include "settings/ini.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// One step: a read (key, default, cut to `size`) or a write (null key: section deleted; null value: key).
struct step {
    enum { read, write } kind;
    const char* section;
    const char* key;
    const char* value; // the default of a read
    std::size_t size = 64;
};

step r(const char* section, const char* key, const char* fallback = "DEF", std::size_t size = 64)
{
    return {step::read, section, key, fallback, size};
}
step w(const char* section, const char* key, const char* value)
{
    return {step::write, section, key, value};
}

struct scenario {
    const char* name;
    std::optional<std::string> initial; // nothing: the file does not exist
    std::vector<step> steps;
};

const std::string long_value(300, 'x');

// Code page 932 names whose trail bytes are ASCII: ソ 0x83 0x5C ("\\"), ポ 0x83 0x7C ("|"),
// ン 0x83 0x5D ("]"), ア 0x83 0x41 ("A") and ッ 0x83 0x62 ("b").
// clang-format off
const scenario scenarios[] = {
    {"missing file", std::nullopt,
     {r("s", "k"), w("s", nullptr, nullptr), w("s", "k", nullptr), r("s", "k"), w("s", "k", "v"), r("S", "K"), w("t", "a", "1"), w("s", "k2", "2"), w("T", "A", "x"), r("t", "a")}},
    {"shift_jis names and values", std::nullopt,
     {w("\x83\x5C\x83\x7C", "\x83\x5C", "C:\\\x83\x5C\\"), w("\x83\x5D", "k", "\x83\x5D]"), w("\x83\x41", "k", "a"), w("\x83\x62", "k", "b"), r("\x83\x5C\x83\x7C", "\x83\x5C"), r("\x83\x5D", "k"), r("\x83\x41", "k"), r("\x83\x62", "k"), w("\x83\x62", "k", "c"), w("\x83\x5D", nullptr, nullptr), r("\x83\x5D", "k")}},
    {"shift_jis file", "[\x83\x5D]\r\n\x83\x5C=\x83\x7C\r\n[a\x83\x5D]\r\nk=2\r\n[\xB1\xB2]\r\nk=kana\r\n",
     {r("\x83\x5D", "\x83\x5C"), r("a\x83\x5D", "k"), r("\xB1\xB2", "k"), w("a\x83\x5D", "k", "3")}},
    {"quotes", "[q]\nq1=\"abc\"\nq2='abc'\nq3=\"abc\nq4=\"\nq5=\"\"\nq6='abc\"\nq7=  \"a b\"  \nq8=\"a\"b\"\n",
     {r("q", "q1"), r("q", "q2"), r("q", "q3"), r("q", "q4"), r("q", "q5"), r("q", "q6"), r("q", "q7"), r("q", "q8"), r("q", "q1", "DEF", 6), r("q", "q1", "DEF", 3), r("q", "none", "\"d\""), r("q", "none", "'d'"), w("q", "q9", "'\"?F1\"'"), r("q", "q9")}},
    {"blanks around names and values", "  [ a b ]  \n  k\t=\tv\t\n\tK2 = x y \n",
     {r("a b", "k"), r("  a b ", " k "), r("A B", "k2"), w("a b", "k", "w"), w("a b", "k3", "  lead"), w("a b", "k4", "trail  "), r("a b", "k3"), r("a b", "k4"), r("x", "k", "  d  "), r("x", "k", "   ")}},
    {"duplicate sections and keys", "[s]\nk=1\nK=1b\n[t]\nj=2\n[S]\nk=3\nk3=3\n",
     {r("s", "k"), r("s", "k3"), w("s", "k3", "x"), w("s", "k", "y"), w("s", nullptr, nullptr), r("s", "k"), r("s", "k3"), w("s", nullptr, nullptr), r("s", "k")}},
    {"keys before any section", "top=1\n; note\n[s]\nk=1\n",
     {r("", "top"), w("", "top", "2"), w("", "new", "3"), r("", "new"), w("s", "k", "2")}},
    {"empty values", "[s]\nempty=\nnoequals\n=nameless\n=second nameless\n[t]\n=x\n",
     {r("s", "empty"), r("s", "noequals"), w("s", "e2", ""), r("s", "e2"), w("s", "empty", "now")}},
    {"long values cut to the buffer", "[s]\nlong=0123456789\n",
     {r("s", "long", "DEF", 11), r("s", "long", "DEF", 10), r("s", "long", "DEF", 5), r("s", "long", "DEF", 2), r("s", "long", "DEF", 1), r("s", "none", "defg", 3), w("s", "v", long_value.c_str()), r("s", "v", "DEF", 256)}},
    {"comments, blank lines and line ends", "; comment\r\n\r\n[sec]\r\nkey=val\r\n\r\n;c2\r\nother=1\r\n\r\n[b]\r\nx=1",
     {r("sec", "other"), r("b", "x"), w("sec", "new", "n"), w("b", "x", "2")}},
    {"lone carriage returns and the end-of-file mark", "[x\rk=cr\r[y]\rk=y\r\x1a",
     {r("x", "k"), r("y", "k"), w("y", "k", "z")}},
    {"headers without a closing bracket", "[s]\nk=1\n[open\nk2=2\n[a]b]\nk=ab\n",
     {r("open", "k2"), r("s", "k2"), r("a]b", "k"), r("a", "k"), w("a]b", "k", "c")}},
    {"writes that change nothing leave the file alone", "; hand-made\n\n[s]\nk = v\n",
     {w("s", "k", "v"), w("t", nullptr, nullptr), w("s", "x", nullptr), w("S", "K", "v")}},
};
// clang-format on

} // namespace

TEST(IniDifferential, EngineMatchesTheProfileService)
{
    for (const scenario& sc : scenarios) {
        temp_dir dir;
        std::string system_file = dir.file("system.ini");
        std::string engine_file = dir.file("engine.ini");
        if (sc.initial) {
            ASSERT_TRUE(write_text_file(system_file, *sc.initial));
            ASSERT_TRUE(write_text_file(engine_file, *sc.initial));
        }
        for (std::size_t i = 0; i < sc.steps.size(); ++i) {
            const step& s = sc.steps[i];
            std::string where = std::string(sc.name) + ", step " + std::to_string(i);
            if (s.kind == step::read) {
                std::vector<char> buffer(s.size + 1, '\0');
                DWORD n = GetPrivateProfileStringA(s.section, s.key, s.value, buffer.data(),
                                                   static_cast<DWORD>(s.size), system_file.c_str());
                EXPECT_EQ(ini_get_string(engine_file, s.section, s.key, s.size, s.value),
                          std::string(buffer.data(), n))
                    << where;
                continue;
            }
            bool engine = !s.key     ? ini_delete_section(engine_file, s.section)
                          : !s.value ? ini_delete_key(engine_file, s.section, s.key)
                                     : ini_put_string(engine_file, s.section, s.key, s.value);
            bool system = WritePrivateProfileStringA(s.section, s.key, s.value, system_file.c_str()) != 0;
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, nullptr); // flush the system's cache
            EXPECT_EQ(engine, system) << where;
            EXPECT_EQ(os::read_file(engine_file), os::read_file(system_file)) << where;
        }
    }
}

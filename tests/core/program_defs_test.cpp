// The program definition files: the bytes of the two default files and the reads of entries.
#include "platform/os.h"
#include "programs/program_defs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#endif

class ProgramDefs : public ::testing::Test {
protected:
    temp_dir dir;
    std::string extension = dir.file("programe.ini"), manual = dir.file("program.ini");
};

TEST_F(ProgramDefs, DefaultExtensionProgramsAndSavedEntries)
{
    ASSERT_TRUE(ensure_default_programs(extension, program_file::extension));
    EXPECT_EQ(os::read_file(extension).value_or(""),
              "[cab]\r\nprogram=cab32.dll/Cab\r\nparameter=-l \"?F1\"\r\nconfirm=-\r\n"
              "[cab(SHIFT)]\r\nprogram=cab32.dll/Cab\r\nparameter=-x \"?F1\" \"?D2?\\\"\r\nconfirm=+\r\n"
              "[lzh]\r\nprogram=unlha32.dll/Unlha\r\nparameter=l \"?F1\"\r\nconfirm=-\r\n"
              "[lzh(SHIFT)]\r\nprogram=unlha32.dll/Unlha\r\nparameter=x \"?F1\" \"?D2?\\\"\r\nconfirm=+\r\n"
              "[zip]\r\nprogram=7-zip32.dll/SevenZip\r\nparameter=l \"?F1\"\r\nconfirm=-\r\n"
              "[zip(SHIFT)]\r\nprogram=7-zip32.dll/SevenZip\r\nparameter=x -aoa \"?F1\" \"-o?D2\"\r\n"
              "confirm=+\r\n");
    // A parameter that ends in a quote but does not begin with one keeps it.
    EXPECT_EQ(read_program_key(extension, "ZIP(shift)", "parameter", 256, ""), "x -aoa \"?F1\" \"-o?D2\"");
    // A saved entry sorts in among the defaults.
    ASSERT_TRUE(save_program(extension, "arj/ZIP", "C:\\bin\\x.exe", "\"?F1\" -d", false));
    EXPECT_EQ(program_title_at(extension, 0).value_or(""), "arj/ZIP"); // sorts first
    EXPECT_EQ(count_programs(extension), 7u);
    auto e = find_extension_program(extension, "a.zip", false);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->program, "C:/bin/x.exe");
    EXPECT_EQ(e->parameter, "\"?F1\" -d");
    EXPECT_FALSE(e->confirm);
    e = find_extension_program(extension, "A.ZIP", true);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->title, "zip(SHIFT)");
    EXPECT_FALSE(find_extension_program(extension, "a.rar", false));
    // The longest parameter the edit takes still reads back whole.
    std::string longest = "\"" + std::string(254, 'p');
    ASSERT_TRUE(save_program(extension, "long", "p", longest, true));
    EXPECT_EQ(read_program_entry(extension, "long").parameter, longest);
    EXPECT_EQ(read_program_entry(extension, "none").parameter, "\"?F1\"");
    EXPECT_TRUE(read_program_entry(extension, "none").confirm);
}

TEST_F(ProgramDefs, DefaultManualProgramsAndTakenTitles)
{
    ASSERT_TRUE(ensure_default_programs(manual, program_file::manual));
    EXPECT_EQ(
        os::read_file(manual).value_or(""),
        "[make &Cab]\r\nprogram=cab32.dll/Cab\r\nparameter=-a -g -ml:21 \"?D2?\\?f2\" \"?D1?\\\" \"?f1\"\r\n"
        "confirm=+\r\n"
        "[make &Lzh]\r\nprogram=unlha32.dll/Unlha\r\nparameter=a -d \"?D2?\\?f2\" \"?D1?\\\" \"?f1\"\r\n"
        "confirm=+\r\n"
        "[make &Zip]\r\nprogram=7-zip32.dll/SevenZip\r\n"
        "parameter=a -tzip -mx=9 \"?D2?\\?f2\" \"?D1?\\\" \"?f1\"\r\nconfirm=+\r\n");
    EXPECT_TRUE(program_exists(manual, "make &Lzh"));
    EXPECT_FALSE(program_exists(manual, "make &lzh")); // case matters here
    EXPECT_EQ(read_program_key(manual, "make &lzh", "program", 256, ""), "unlha32.dll/Unlha");
    struct {
        const char *title, *own;
        bool taken;
    } rows[] = {
        // "make &zip" would write into "make &Zip"; an entry keeps its own title in other capitals.
        {"make &zip", "", true},
        {"make &zip", "make &Lzh", true},
        {"make &ZIP", "make &Zip", false},
        {"make &Tar", "make &Cab", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(program_title_taken(manual, r.title, r.own), r.taken) << r.title << " / " << r.own;
    // The menus hold 99 entries.
    std::string text;
    for (int i = 100; i < 200; ++i)
        text += "[e" + std::to_string(i) + "]\r\n";
    ASSERT_TRUE(write_text_file(manual, text));
    EXPECT_EQ(program_titles(manual).size(), max_program_entries);
}

TEST_F(ProgramDefs, ExistingFilesAreLeftAlone)
{
    ASSERT_TRUE(write_text_file(extension, ""));
    ASSERT_TRUE(ensure_default_programs(extension, program_file::extension));
    EXPECT_EQ(os::read_file(extension).value_or("-"), "");
    EXPECT_FALSE(program_title_at(extension, 0));
    EXPECT_FALSE(ensure_default_programs(dir.file("missing/program.ini"), program_file::manual));
}

TEST_F(ProgramDefs, QuotedParametersReadBack)
{
    // Saved, a parameter keeps its quotes of either kind: the reader strips one enclosing pair.
    for (const char* typed : {"\"?F1\"", "'?F1'", "-l '"}) {
        ASSERT_TRUE(save_program(manual, "t", "p", typed, true));
        EXPECT_EQ(read_program_entry(manual, "t").parameter, typed);
    }
}

TEST_F(ProgramDefs, ExtensionMatches)
{
    struct {
        const char *title, *file;
        bool shift, match;
    } rows[] = {
        {"zip", "a.ZIP", false, true},
        {"zip", "a.zip", true, false},
        {"zip(SHIFT)", "a.zip", true, true},
        {"zip(SHIFT)", "a.zip", false, false},
        {"lzh/LHA/cab", "x.cab", false, true},
        {"lzh/lha(SHIFT)", "x.lha", true, true},
        {"zip", "a.zip.bak", false, false},
        {"zip", ".zip", false, false},
        {"zip", "zip", false, false},
        {"zi", "a.zip", false, false},
        {"zip/", "a.", false, false},
        {"t(x)/zip", "a.zip", false, false},
        {"\x83\x5C", "a.\x83\x5C", false, true},
        {"zip", "\x83\x2E.zip", false, true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(extension_matches(r.title, r.file, r.shift), r.match) << r.title << " " << r.file;
}

#ifndef _WIN32 // a volume of its own is mounted on the native side only
// One page left on the volume: an edit growing program.ini past it cannot be written; the old entry stays.
TEST_F(ProgramDefs, AnEditThatCannotBeWrittenKeepsTheOldEntry)
{
    std::string volume = dir.file("volume");
    ASSERT_TRUE(os::make_directory(volume));
    // Run as root (scripts/test); a volume that cannot be mounted fails, as the full-volume tests under Wine.
    ASSERT_TRUE(geteuid() == 0 && std::system(("mount -t tmpfs -o size=64k tmpfs " + volume).c_str()) == 0)
        << "cannot mount a small volume: run as root";
    std::string path = volume + "/program.ini";
    std::string old = "[old]\r\nprogram=a.exe\r\n[pad]\r\nprogram=" + std::string(4000, 'p') + "\r\n";
    EXPECT_TRUE(write_text_file(path, old));
    std::string page(4096, 'f');
    int fill = open((volume + "/fill").c_str(), O_WRONLY | O_CREAT, 0600);
    off_t size = 0;
    while (write(fill, page.data(), 4096) == 4096)
        size += 4096;
    EXPECT_EQ(ftruncate(fill, size - 4096), 0);
    close(fill);
    EXPECT_FALSE(replace_program(path, "old", "new", "b.exe", std::string(250, 'y'), false));
    EXPECT_EQ(os::read_file(path).value_or(""), old);
    (void)std::system(("umount " + volume).c_str());
}
#endif

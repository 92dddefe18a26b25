// The program definition files: the bytes of the two default files and the reads of entries.
#include "platform/os.h"
#include "programs/program_defs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

TEST(ProgramDefs, DefaultExtensionPrograms)
{
    temp_dir dir;
    std::string path = dir.file("programe.ini");
    ASSERT_TRUE(ensure_default_programs(path, program_file::extension));
    EXPECT_EQ(os::read_file(path).value_or(""),
              "[cab]\r\nprogram=cab32.dll/Cab\r\nparameter=-l \"?F1\"\r\nconfirm=-\r\n"
              "[cab(SHIFT)]\r\nprogram=cab32.dll/Cab\r\nparameter=-x \"?F1\" \"?D2?\\\"\r\nconfirm=+\r\n"
              "[lzh]\r\nprogram=unlha32.dll/Unlha\r\nparameter=l \"?F1\"\r\nconfirm=-\r\n"
              "[lzh(SHIFT)]\r\nprogram=unlha32.dll/Unlha\r\nparameter=x \"?F1\" \"?D2?\\\"\r\nconfirm=+\r\n"
              "[zip]\r\nprogram=7-zip32.dll/SevenZip\r\nparameter=l \"?F1\"\r\nconfirm=-\r\n"
              "[zip(SHIFT)]\r\nprogram=7-zip32.dll/SevenZip\r\nparameter=x -aoa \"?F1\" \"-o?D2\"\r\n"
              "confirm=+\r\n");
    const char* titles[] = {"cab", "cab(SHIFT)", "lzh", "lzh(SHIFT)", "zip", "zip(SHIFT)"};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(program_title_at(path, i).value_or("-"), titles[i]);
    EXPECT_FALSE(program_title_at(path, 6));
    // A parameter that ends in a quote but does not begin with one keeps it.
    EXPECT_EQ(read_program_key(path, "ZIP(shift)", "parameter", 256, ""), "x -aoa \"?F1\" \"-o?D2\"");
}

TEST(ProgramDefs, DefaultManualPrograms)
{
    temp_dir dir;
    std::string path = dir.file("program.ini");
    ASSERT_TRUE(ensure_default_programs(path, program_file::manual));
    EXPECT_EQ(
        os::read_file(path).value_or(""),
        "[make &Cab]\r\nprogram=cab32.dll/Cab\r\nparameter=-a -g -ml:21 \"?D2?\\?f2\" \"?D1?\\\" \"?f1\"\r\n"
        "confirm=+\r\n"
        "[make &Lzh]\r\nprogram=unlha32.dll/Unlha\r\nparameter=a -d \"?D2?\\?f2\" \"?D1?\\\" \"?f1\"\r\n"
        "confirm=+\r\n"
        "[make &Zip]\r\nprogram=7-zip32.dll/SevenZip\r\n"
        "parameter=a -tzip -mx=9 \"?D2?\\?f2\" \"?D1?\\\" \"?f1\"\r\nconfirm=+\r\n");
    EXPECT_TRUE(program_exists(path, "make &Lzh"));
    EXPECT_FALSE(program_exists(path, "make &lzh")); // case matters here
    EXPECT_EQ(read_program_key(path, "make &lzh", "program", 256, ""), "unlha32.dll/Unlha");
}

TEST(ProgramDefs, ExistingFilesAreLeftAlone)
{
    temp_dir dir;
    std::string path = dir.file("programe.ini");
    ASSERT_TRUE(write_text_file(path, ""));
    ASSERT_TRUE(ensure_default_programs(path, program_file::extension));
    EXPECT_EQ(os::read_file(path).value_or("-"), "");
    EXPECT_FALSE(program_title_at(path, 0));
    EXPECT_EQ(read_program_key(path, "zip", "parameter", 256, "\"?F1\""), "?F1");
    EXPECT_FALSE(ensure_default_programs(dir.file("missing/program.ini"), program_file::manual));
}

TEST(ProgramDefs, QuotedParametersReadBack)
{
    temp_dir dir;
    std::string path = dir.file("program.ini");
    ASSERT_TRUE(write_text_file(path, "[t]\nparameter='\"?F1\"'\nconfirm=+x\n"));
    EXPECT_EQ(read_program_key(path, "t", "parameter", 256, ""), "\"?F1\"");
    EXPECT_EQ(read_program_key(path, "t", "program", 256, ""), "");
}

// Continued downloads: the work file's names, its record, and when a download may continue.
#include "ftp/download_resume.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

TEST(download_resume, work_file_names)
{
    EXPECT_EQ(resume_work_path("C:/d/a.bin"), "C:/d/a.bin.kvpart");
    EXPECT_EQ(resume_record_path("C:/d/a.bin"), "C:/d/a.bin.kvinfo");
    // A name that would not fit a path, or that Windows would write under another name, has none.
    EXPECT_EQ(resume_work_path("C:/" + std::string(246, 'n')), "");
    EXPECT_EQ(resume_work_path("C:/d/a."), "");

    std::uint64_t size = 0;
    std::string time;
    ASSERT_TRUE(parse_resume_record(resume_record_text(2048, "20101203123456"), size, time));
    EXPECT_EQ(size, 2048u);
    EXPECT_EQ(time, "20101203123456");
    for (const char* bad : {"", "2048 2010120312345\r\n", "x48 20101203123456\r\n", "2048 20101203123456",
                            "99999999999999999999 20101203123456\r\n", " 20101203123456\r\n"})
        EXPECT_FALSE(parse_resume_record(bad, size, time)) << bad;
}

TEST(download_resume, when_a_download_continues)
{
    const char* t = "20101203123456";
    // {text, remote size and time, record?, its size and time, work file size, REST refused}
    const std::pair<resume_facts, std::uint64_t> rows[] = {
        {{false, 1000, t, true, 1000, t, 400, false}, 400},
        {{false, 1000, t, true, 1000, t, 1000, false}, 1000}, // the whole file is already there
        {{true, 1000, t, true, 1000, t, 400, false}, 0},      // text restarts
        {{false, 1000, t, true, 999, t, 400, false}, 0},      // size changed
        {{false, 1000, t, true, 1000, "20101203123457", 400, false}, 0},
        {{false, 1000, t, false, 0, "", 400, false}, 0},     // no record
        {{false, 1000, t, true, 1000, t, -1, false}, 0},     // no work file
        {{false, 1000, t, true, 1000, t, 1200, false}, 0},   // offset beyond the size
        {{false, 1000, t, true, 1000, t, 400, true}, 0},     // REST refused
        {{false, 1000, t, true, 1000, t, 1000, true}, 1000}, // ... but nothing is left to ask
        {{false, -1, t, true, 1000, t, 400, false}, 0},      // size unknown
        {{false, 1000, "", true, 1000, "", 400, false}, 0},  // time unknown
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(resume_offset(rows[i].first), rows[i].second) << "row " << i;
}

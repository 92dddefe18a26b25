// Continued downloads: the work file's names, its record, and when a download may continue.
#include "base/name_rules.h"
#include "ftp/download_resume.h"

#include <gtest/gtest.h>

namespace {

TEST(download_resume, work_file_names)
{
    EXPECT_EQ(resume_work_path("C:/d/a.bin"), "C:/d/a.bin.kvpart");
    EXPECT_EQ(resume_record_path("C:/d/a.bin"), "C:/d/a.bin.kvinfo");
    EXPECT_TRUE(local_file_name_rule("a.bin.kvpart") && local_file_name_rule("a.bin.kvinfo"));
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
    struct row {
        const char* name;
        std::int64_t remote_size;
        const char* remote_time;
        bool has_record;
        std::uint64_t record_size;
        const char* record_time;
        std::int64_t work_size;
        bool text;
        bool rest_refused;
        std::uint64_t offset;
    };
    const row rows[] = {
        {"continues", 1000, t, true, 1000, t, 400, false, false, 400},
        {"whole file already there", 1000, t, true, 1000, t, 1000, false, false, 1000},
        {"text restarts", 1000, t, true, 1000, t, 400, true, false, 0},
        {"size changed", 1000, t, true, 999, t, 400, false, false, 0},
        {"time changed", 1000, t, true, 1000, "20101203123457", 400, false, false, 0},
        {"no record", 1000, t, false, 0, "", 400, false, false, 0},
        {"no work file", 1000, t, true, 1000, t, -1, false, false, 0},
        {"empty work file", 1000, t, true, 1000, t, 0, false, false, 0},
        {"offset beyond the size", 1000, t, true, 1000, t, 1200, false, false, 0},
        {"REST refused", 1000, t, true, 1000, t, 400, false, true, 0},
        {"REST refused, nothing left to ask", 1000, t, true, 1000, t, 1000, false, true, 1000},
        {"size unknown", -1, t, true, 1000, t, 400, false, false, 0},
        {"time unknown", 1000, "", true, 1000, "", 400, false, false, 0},
    };
    for (const row& r : rows) {
        resume_facts f;
        f.remote_size = r.remote_size;
        f.remote_time = r.remote_time;
        f.has_record = r.has_record;
        f.record_size = r.record_size;
        f.record_time = r.record_time;
        f.work_size = r.work_size;
        f.text = r.text;
        f.rest_refused = r.rest_refused;
        EXPECT_EQ(resume_offset(f), r.offset) << r.name;
    }
}

} // namespace

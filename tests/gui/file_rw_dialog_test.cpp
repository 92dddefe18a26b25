// Copy, move and delete commands with their questions, the notice dialog and the error box, as
// the user meets them: message boxes answered through the harness, the disk checked afterwards.
#include "harness_win.h"

#include "../win/file_ops_support.h"
#include "fileops/file_primitives_win.h"
#include "pane/dnotify_win.h"
#include "platform/process_paths.h"
#include "resource.h"
#include "settings/settings.h"
#include "toolkit/module_win.h"

using namespace fops;

namespace {

// What the boxes and dialogs that opened showed, by caption.
struct seen_window {
    std::string caption;
    std::vector<std::string> texts;
};

// Answers every box the same way: questions with `answer`, the error box with OK; the notice
// dialog is sent Esc and the close command, which it must ignore. The notice may end before the
// harness sees it, so the answers look at what each window is rather than at their order.
class answering {
public:
    explicit answering(int answer)
        : answers_(
              std::vector<std::function<void(HWND)>>(6, [this, answer](HWND w) { on_window(w, answer); }))
    {
    }
    std::vector<seen_window> seen;
    bool notice_saw_suspended_watcher = true;

private:
    void on_window(HWND w, int answer)
    {
        seen.push_back({gui::text_of(w), gui::static_texts(w)});
        auto shows = [&](unsigned id) { return gui::contains_text(seen.back().texts, resource_string(id)); };
        if (shows(IDS_ASK_COPY) || shows(IDS_ASK_MOVE) || shows(IDS_ASK_DELETE)) {
            gui::click_button(w, answer);
        } else if (shows(IDS_FILE_RW_ERROR)) {
            gui::click_button(w, IDOK);
        } else {
            if (watcher_of(1) && watcher_of(1)->get_result() != 0)
                notice_saw_suspended_watcher = false;
            PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(w, WM_CLOSE, 0, 0);
        }
    }
    gui::modal_answers answers_;
};

// The first box that showed the text, or null.
const seen_window* box_with(const std::vector<seen_window>& seen, unsigned id)
{
    for (const auto& s : seen)
        if (gui::contains_text(s.texts, resource_string(id)))
            return &s;
    return nullptr;
}

class FileRwCommands : public file_ops_test {
protected:
    void SetUp() override
    {
        file_ops_test::SetUp();
        settings().use_trash = false;
    }
    void TearDown() override
    {
        stop_watcher(1);
        settings() = saved;
        file_ops_test::TearDown();
    }

    gui::host_window owner;
    app_settings saved = settings();
};

} // namespace

TEST_F(FileRwCommands, DeleteAlwaysAsksAndCancelKeepsEverything)
{
    ASSERT_TRUE(write_text_file(s("a.txt"), "a"));
    Pane active = open_pane(1, s());
    mark(active, {"a.txt"});
    {
        answering boxes(IDCANCEL);
        EXPECT_EQ(delete_marked(owner.handle(), active, nullptr), 0);
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_EQ(boxes.seen[0].caption, resource_string(IDS_CAPTION_QUESTION));
        EXPECT_TRUE(box_with(boxes.seen, IDS_ASK_DELETE));
    }
    EXPECT_TRUE(os::path_exists(s("a.txt")));
    {
        answering boxes(IDOK);
        EXPECT_EQ(delete_marked(owner.handle(), active, nullptr), 1);
        EXPECT_FALSE(box_with(boxes.seen, IDS_FILE_RW_ERROR));
    }
    EXPECT_FALSE(os::path_exists(s("a.txt")));
    EXPECT_EQ(row_of(active, "a.txt"), -1);
}

TEST_F(FileRwCommands, OneListOpenCopiesNothingHere)
{
    ASSERT_TRUE(write_text_file(s("a.txt"), "x"));
    Pane active = open_pane(1, s());
    answering boxes(IDOK);
    EXPECT_EQ(copy_marked(owner.handle(), active, nullptr), 0);
    EXPECT_EQ(move_marked(owner.handle(), active, nullptr), 0);
    EXPECT_TRUE(boxes.seen.empty());
}

TEST_F(FileRwCommands, AFailureIsReportedAndTheWatcherResumes)
{
    settings().confirm_copy = false;
    ASSERT_TRUE(make_tree(s(), {"1.txt=new 1", "2.txt=new 2", "3.txt=new 3"}));
    ASSERT_TRUE(write_text_file(t("2.txt"), "old 2"));
    Pane active = open_pane(1, s());
    Pane other = open_pane(2, t());
    start_watcher(active, owner.handle());
    ASSERT_NE(watcher_of(1), nullptr);
    mark(active, {"1.txt", "2.txt", "3.txt"});
    {
        held_file hold(t("2.txt"));
        ASSERT_TRUE(hold.ok());
        answering boxes(IDOK);
        EXPECT_EQ(copy_marked(owner.handle(), active, &other), 3);
        const seen_window* error = box_with(boxes.seen, IDS_FILE_RW_ERROR);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->caption, resource_string(IDS_CAPTION_ERROR));
        EXPECT_TRUE(boxes.notice_saw_suspended_watcher);
    }
    // What the disk holds after a copy that stopped: file_rw_test and file_primitives_test.
    EXPECT_EQ(watcher_of(1)->get_result(), 1);
}

TEST_F(FileRwCommands, ATransferListThatCannotBeWrittenIsReported)
{
    std::string saved_temp = dirs().temp_dir;
    dirs().temp_dir = dir.path() + "/missing/";
    ASSERT_TRUE(write_text_file(s("a.txt"), "x"));
    Pane active = open_pane(1, s());
    mark(active, {"a.txt"});
    std::string path;
    {
        answering boxes(IDOK);
        EXPECT_FALSE(write_marked_list(owner.handle(), active, path));
        EXPECT_TRUE(box_with(boxes.seen, IDS_FILE_RW_ERROR));
    }
    dirs().temp_dir = saved_temp;
}

// The file-system primitives under Wine: replacing, refusing, keeping what was there.
#include "file_ops_support.h"
#include "fileops/batch_list.h"
#include "fileops/file_primitives_win.h"

using namespace fops;

class Primitives : public ::testing::Test {
protected:
    temp_dir dir;
    std::string p(const std::string& name = "") const { return dir.file(name); }
};

TEST_F(Primitives, FailedCopiesLeaveTheTargetAsItWas)
{
    ASSERT_TRUE(make_tree(p(), {"a=new", "good=good", "held=held"}));
    // A file copied onto itself: refused, not emptied.
    EXPECT_FALSE(copy_file(p("a"), p("a")));
    EXPECT_FALSE(copy_file(p("a"), dir.path() + "/./A"));
    EXPECT_EQ(os::read_file(p("a")), "new");
    EXPECT_FALSE(copy_file(p("missing"), p("good")));
    EXPECT_EQ(os::read_file(p("good")), "good");
    {
        // A target held open without sharing cannot be replaced.
        held_file hold(p("held"));
        ASSERT_TRUE(hold.ok());
        EXPECT_FALSE(copy_file(p("a"), p("held")));
    }
    EXPECT_EQ(os::read_file(p("held")), "held");
    {
        // A source held without sharing fails before the target is touched, new or existing.
        held_file hold(p("a"));
        ASSERT_TRUE(hold.ok());
        EXPECT_FALSE(copy_file(p("a"), p("good")));
        EXPECT_FALSE(copy_file(p("a"), p("fresh")));
    }
    EXPECT_EQ(os::read_file(p("good")), "good");
    EXPECT_FALSE(path_exists(p("fresh")));
    // A directory standing at the target is neither replaced nor changed.
    ASSERT_TRUE(make_dir(p("sub")));
    EXPECT_FALSE(copy_file(p("a"), p("sub")));
    EXPECT_TRUE(dir_exists(p("sub")));
    for (const auto& n : names_in(dir.path())) // nothing of a copy in progress is left beside the target
        EXPECT_NE(n.rfind("kv$", 0), 0u) << n;
}

TEST_F(Primitives, CopyNeverOverwritesAFileNamedLikeItsWorkFile)
{
    ASSERT_TRUE(make_tree(p(), {"a=new", "kv$0.tmp=mine"}));
    EXPECT_TRUE(copy_file(p("a"), p("b")));
    EXPECT_EQ(os::read_file(p("kv$0.tmp")), "mine");
    EXPECT_EQ(os::read_file(p("b")), "new");
    // Replacing b: the copy is made beside it; a failure takes away only what it made.
    ASSERT_TRUE(write_text_file(p("c"), "newer"));
    EXPECT_TRUE(copy_file(p("c"), p("b")));
    EXPECT_EQ(os::read_file(p("b")), "newer");
    EXPECT_FALSE(copy_file(p("missing"), p("b")));
    EXPECT_EQ(os::read_file(p("kv$0.tmp")), "mine");
    EXPECT_EQ(os::read_file(p("b")), "newer");
}

TEST_F(Primitives, DeleteFileByAttributes)
{
    struct {
        const char* name;
        const char* attr;
        bool deleted;
    } cases[] = {
        {"plain", "----", true},      {"readonly", "--r-", true}, {"archive_ro", "--ra", true},
        {"hidden_ro", "-hr-", false}, // Wine, as Windows: a read-only file refuses deletion
        {"system_ro", "s-r-", false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(write_text_file(p(c.name), "x"));
        ASSERT_TRUE(set_attributes_from_text(p(c.name), c.attr));
        EXPECT_EQ(delete_file(p(c.name)), c.deleted) << c.name;
        EXPECT_EQ(os::path_exists(p(c.name)), !c.deleted) << c.name;
        if (!c.deleted) {
            std::string attr;
            attribute_text(p(c.name), attr);
            // Wine reports every regular file as archived: the first three places are compared.
            EXPECT_EQ(attr.substr(0, 3), std::string(c.attr).substr(0, 3)) << c.name;
            set_attributes_from_text(p(c.name), "----");
        }
    }
    EXPECT_FALSE(delete_file(p("never_there")));
}

TEST_F(Primitives, AHeldReadOnlyFileKeepsItsAttributes)
{
    ASSERT_TRUE(write_text_file(p("ro"), "x"));
    {
        held_file hold(p("ro"));
        ASSERT_TRUE(hold.ok());
        ASSERT_TRUE(set_attributes_from_text(p("ro"), "--r-"));
        EXPECT_FALSE(delete_file(p("ro")));
        std::string attr;
        attribute_text(p("ro"), attr);
        EXPECT_EQ(attr.substr(0, 3), "--r");
    }
    EXPECT_TRUE(delete_file(p("ro")));
}

TEST_F(Primitives, DirectoriesMadeRemovedRenamedWithTrailingSeparators)
{
    EXPECT_TRUE(make_dir(p("d") + "/"));
    EXPECT_TRUE(dir_exists(p("d")));
    EXPECT_TRUE(path_exists(p("d") + "/"));
    EXPECT_FALSE(make_dir(p("d") + "\\"));
    EXPECT_TRUE(rename_path(p("d") + "/", p("e") + "\\"));
    EXPECT_FALSE(dir_exists(p("d")));
    ASSERT_TRUE(set_attributes_from_text(p("e"), "--r-"));
    EXPECT_TRUE(remove_dir(p("e") + "/")); // read-only is cleared for the removal
    EXPECT_FALSE(path_exists(p("e")));
    EXPECT_FALSE(is_removable_drive(p("x")));
    EXPECT_FALSE(is_removable_drive("//server/share/"));
}

TEST_F(Primitives, CopyDirCarriesTheTreeAndReadOnlyDirectories)
{
    std::string s = p("s") + "/";
    ASSERT_TRUE(make_tree(p(), {"s/", "s/inner/", "s/inner/deep.txt=deep", "s/top.txt=top", "s/secret=h"}));
    ASSERT_TRUE(set_attributes_from_text(s + "secret", "-h--"));
    ASSERT_TRUE(set_attributes_from_text(s + "inner", "--r-"));
    ASSERT_TRUE(copy_dir(s, p("t") + "/"));
    EXPECT_EQ(os::read_file(p("t/inner/deep.txt")), "deep");
    EXPECT_EQ(os::read_file(p("t/top.txt")), "top");
    EXPECT_EQ(os::read_file(p("t/secret")), "h"); // hidden entries inside go like any other
    // Wine keeps no read-only flag on directories; where the source shows one, the copy has it.
    std::string source_attr, attr;
    attribute_text(s + "inner", source_attr);
    attribute_text(p("t/inner"), attr);
    EXPECT_EQ(attr[2], source_attr[2]);
    // A target that exists is not merged into.
    EXPECT_FALSE(copy_dir(s, p("t") + "/"));
    set_attributes_from_text(s + "inner", "----");
    set_attributes_from_text(p("t/inner"), "----");
}

TEST_F(Primitives, MoveDirIsOneRenameAndNeverMerges)
{
    std::string s = p("s") + "/";
    ASSERT_TRUE(make_tree(p(), {"s/", "s/f=f", "busy/", "busy/keep=keep"}));
    // Onto an existing directory: refused, both as they were.
    EXPECT_FALSE(move_dir(s, p("busy") + "/"));
    EXPECT_EQ(os::read_file(p("busy/keep")), "keep");
    EXPECT_EQ(names_in(p("busy")), std::set<std::string>{"keep"});
    EXPECT_EQ(os::read_file(s + "f"), "f");
    EXPECT_TRUE(move_dir(s, p("t") + "/"));
    EXPECT_EQ(os::read_file(p("t/f")), "f");
    EXPECT_FALSE(path_exists(p("s")));
}

// Onto a held file: file_rw_test.
TEST_F(Primitives, AMoveOntoItselfKeepsTheSource)
{
    ASSERT_TRUE(make_tree(p(), {"a=source", "b=target"}));
    EXPECT_FALSE(move_file(p("a"), p("a")));
    EXPECT_EQ(os::read_file(p("a")), "source");
    EXPECT_TRUE(move_file(p("a"), p("b")));
    EXPECT_FALSE(os::path_exists(p("a")));
    EXPECT_EQ(os::read_file(p("b")), "source");
}

TEST_F(Primitives, ShellOperationsReadListFiles)
{
    ASSERT_TRUE(make_tree(p(), {"s/", "t/", "s/sub/", "s/sub/in=in", "s/one=1", "s/two=2"}));
    std::string list = p("kv_rsp1.tmp");
    {
        batch_list_file f;
        ASSERT_TRUE(f.create(list));
        ASSERT_TRUE(f.add(p("s/one")));
        ASSERT_TRUE(f.add(p("s/sub/")));
        ASSERT_TRUE(f.finish());
    }
    EXPECT_TRUE(shell_copy("@" + list, p("t") + "/"));
    EXPECT_EQ(os::read_file(p("t/one")), "1");
    EXPECT_EQ(os::read_file(p("t/sub/in")), "in");
    EXPECT_FALSE(os::path_exists(p("t/two")));
    EXPECT_TRUE(shell_move(p("s/two"), p("t") + "/"));
    EXPECT_FALSE(os::path_exists(p("s/two")));
    EXPECT_EQ(os::read_file(p("t/two")), "2");
    EXPECT_TRUE(shell_delete("@" + list, false));
    EXPECT_FALSE(os::path_exists(p("s/one")));
    EXPECT_FALSE(os::path_exists(p("s/sub")));
    EXPECT_FALSE(shell_delete("@" + p("no_such_list"), false));
}

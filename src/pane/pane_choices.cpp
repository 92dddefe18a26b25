// The row a one-entry command takes, the newer-file marks and where a directory mark leads.
#include "pane/pane_choices.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "pane/entry_text.h"

int target_row(const Pane& pane)
{
    const listing& rows = pane.rows;
    int row = rows.cursor();
    if (rows.marked_count() == 1)
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows.marked(i))
                row = static_cast<int>(i);
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size() ||
        rows.row(static_cast<std::size_t>(row)).name == "..")
        return -1;
    return row;
}

void mark_newer(Pane& mine, const Pane& theirs)
{
    for (std::size_t k = 0; k < mine.rows.size(); ++k) {
        const FileEntry& row = mine.rows.row(k);
        bool newer = false;
        if (!is_dir_entry(row)) {
            int there = find_entry(theirs, false, join_entry_name(row));
            newer = there < 0 || is_newer_time(row.time_text(),
                                               theirs.rows.row(static_cast<std::size_t>(there)).time_text());
        }
        mine.rows.set_marked(k, newer);
    }
}

mark_jump follow_mark(const Pane& pane, std::string_view mark)
{
    if (pane.path == mark)
        return {pane.return_path, pane.return_path};
    return {std::string(mark), pane.path};
}

directory_step step_directory(std::string_view path, std::string_view argument)
{
    directory_step step;
    std::size_t root = root_length(path);
    step.path = std::string(path);
    if (argument == "/") {
        step.path.resize(root);
    } else if (argument == "..") {
        if (path.size() <= root)
            return step;
        step.path.pop_back();
        std::size_t separator = mbs_rfind(step.path, '/');
        step.left = step.path.substr(separator + 1);
        step.path.resize(separator + 1);
    } else {
        step.path += std::string(argument) + "/";
        if (step.path.size() >= path_size)
            return step;
    }
    step.ok = true;
    return step;
}

// The rows of a pane: FileEntry, the marked flags and cursor, the sort order and its comb sort.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One row of a listing. A row is a directory exactly when size_text begins with '<'.
struct FileEntry {
    std::string name;      // file name without its type (the whole name for directories)
    std::string type;      // text after the last '.', or empty
    std::string size_text; // "<dir>", a grouped number, or "?" (FTP without size)
    std::string time_text; // "2010. 1. 5  9:05.07", a fallback text, or empty for ".."
    std::string attr_text; // "sh-a", "????", or empty for ".."
    int icon = 0;          // index into the system's small-icon list
};

// Columns of a listing, in the order the list shows them.
constexpr int column_name = 0;
constexpr int column_type = 1;
constexpr int column_size = 2;
constexpr int column_time = 3;
constexpr int column_attributes = 4;
constexpr int column_count = 5;

// The one sort order of both panes.
struct SortState {
    int column = column_type;
    int ascending = 1; // 1 ascending, 0 descending
};

// Process-wide pane switches (main thread); the layout file reads and writes them.
SortState& sort_state();
// "mask systemfile": system and hidden entries are left out of local listings.
bool& hide_system_files();

// A new column sorts ascending; the current column reverses the direction; -1 keeps the order.
void update_sort_state(SortState& state, int column);

// The text of one column of a row.
const std::string& column_text(const FileEntry& row, int column);
// Negative, zero or positive: ".." first and directories before files in both directions, then the
// sort column, then the other columns in ascending order whatever the direction.
int compare_entries(const FileEntry& a, const FileEntry& b, const SortState& state);

// True when the row is a directory (its size text begins with '<').
inline bool is_dir_entry(const FileEntry& row)
{
    return !row.size_text.empty() && row.size_text[0] == '<';
}

// Rows, one marked flag per row and one cursor row (or none); knows nothing of windows.
class listing {
public:
    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    const FileEntry& row(std::size_t i) const { return rows_[i]; }
    FileEntry& row(std::size_t i) { return rows_[i]; }

    bool marked(std::size_t i) const { return marked_[i] != 0; }
    void set_marked(std::size_t i, bool on) { marked_[i] = on ? 1 : 0; }
    std::size_t marked_count() const;

    // The cursor row, or -1 when there is none.
    int cursor() const { return cursor_; }
    void set_cursor(int row)
    {
        cursor_ = (row >= 0 && static_cast<std::size_t>(row) < rows_.size()) ? row : -1;
    }

    // Removes every row; marks and cursor go with them.
    void clear();
    void reserve(std::size_t n);
    // Appends an unmarked row; the callers sort afterwards.
    void append(FileEntry entry);
    // Removes one row; the cursor keeps its line as far as the rows reach.
    void remove(std::size_t i);

    // Comb sort: marks travel with their rows, the cursor keeps its position. Returns the position
    // the cursor's row has moved to (-1 without a cursor), to be scrolled into view. The passes run
    // over compact keys and the rows are moved once at the end, into the order that swapping the
    // rows themselves pass by pass gives.
    int sort(const SortState& state);

    // The first row whose name and type equal the parts of file_name exactly, or -1.
    int find(bool is_dir, std::string_view file_name) const;

private:
    // What the sort compares first: the row's class and the leading bytes of its sort column and
    // of its first tie-breaking column, so that most comparisons never touch the rows.
    struct sort_key {
        std::uint64_t primary[2];
        std::uint64_t secondary[2];
        std::uint32_t row;
        unsigned char row_class; // 0 "..", 1 directory, 2 file
        unsigned char flags;
    };
    static sort_key make_key(const FileEntry& row, std::uint32_t index, int column);
    int compare_keys(const sort_key& a, const sort_key& b, const SortState& state) const;
    void apply_order();

    std::vector<FileEntry> rows_;
    std::vector<sort_key> keys_; // kept between sorts: no allocation once it has grown
    std::vector<unsigned char> marked_;
    int cursor_ = -1;
};

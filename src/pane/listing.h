// The rows of a pane: FileEntry, the marked flags and cursor, the sort order and its comb sort.
#pragma once

#include "pane/entry_text.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One row of a listing. Its size, time and attribute texts are kept as the facts they are made
// from (a number, local time fields, attribute bits) and made when asked, when a row is painted,
// sorted or taken by an action: a listing of many files holds no text but its names. Any other
// text set is kept as it is.
struct FileEntry {
    std::string name; // file name without its type (the whole name for directories)
    std::string type; // text after the last '.', or empty
    int icon = 0;     // index into the system's small-icon list

    FileEntry() = default;
    FileEntry(const FileEntry& other);
    FileEntry(FileEntry&&) noexcept = default;
    FileEntry& operator=(const FileEntry& other);
    FileEntry& operator=(FileEntry&&) noexcept = default;
    ~FileEntry() = default;

    std::string size_text() const; // "<dir>", a grouped number, or "?" (FTP without size)
    std::string time_text() const; // "2010. 1. 5  9:05.07", a fallback text, or empty for ".."
    std::string attr_text() const; // "sh-a", "????", or empty for ".."
    void set_size_text(std::string_view text);
    void set_time_text(std::string_view text);
    void set_attr_text(std::string_view text);

    // The facts a reader has, made into the texts above when asked.
    void set_dir() { size_kind_ = size_dir; }
    void set_size(std::uint64_t bytes)
    {
        size_kind_ = size_number;
        size_ = bytes;
    }
    void set_time(const time_fields& local);
    // System 0x4, hidden 0x2, read-only 0x1, archive 0x20; other bits are not shown.
    void set_attributes(std::uint32_t bits)
    {
        attr_kind_ = attr_bits;
        attributes_ = static_cast<std::uint8_t>(bits & 0x27);
    }

    // A row is a directory exactly when its size text begins with '<'.
    bool is_dir() const;
    // The size, time or attribute text written into `buffer` (at least text_buffer_size bytes);
    // the view may also point into the row. Nothing is allocated.
    static constexpr std::size_t text_buffer_size = 32;
    std::string_view fact_text(int column, char* buffer) const;
    // The value of a size text made from a number; false for any other size text.
    bool size_value(std::uint64_t& value) const
    {
        value = size_;
        return size_kind_ == size_number;
    }

private:
    // What a size, time or attribute text is: made from a fact, one of the fixed texts, or kept.
    enum : std::uint8_t { size_empty, size_dir, size_number, size_unknown, size_other };
    enum : std::uint8_t { time_empty, time_packed, time_unknown_local, time_unknown_ftp, time_other };
    enum : std::uint8_t { attr_empty, attr_bits, attr_unknown, attr_other };
    // Texts that no fact gives; rare, so kept out of the row.
    struct other_texts {
        std::string size, time, attr;
    };
    other_texts& others();

    // The small members first: they share the word of the icon.
    std::uint8_t attributes_ = 0;
    std::uint8_t size_kind_ = size_empty;
    std::uint8_t time_kind_ = time_empty;
    std::uint8_t attr_kind_ = attr_empty;
    std::uint64_t size_ = 0;
    std::uint64_t time_ = 0; // year, month, day, hour, minute, second: 16 + 5 x 8 bits
    std::unique_ptr<other_texts> others_;
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

// The text of one column of a row, made in place: a view of the name or the type, or the
// size, time or attribute text written into the object itself.
class column_chars {
public:
    column_chars(const FileEntry& row, int column);
    column_chars(const column_chars&) = delete;
    column_chars& operator=(const column_chars&) = delete;
    std::string_view view() const { return view_; }

private:
    char buffer_[FileEntry::text_buffer_size];
    std::string_view view_;
};

// Negative, zero or positive: ".." first and directories before files in both directions, then the
// sort column, then the other columns in ascending order whatever the direction.
int compare_entries(const FileEntry& a, const FileEntry& b, const SortState& state);

// True when the row is a directory (its size text begins with '<').
inline bool is_dir_entry(const FileEntry& row)
{
    return row.is_dir();
}

// Rows, one marked flag per row and one cursor row (or none); knows nothing of windows. The rows
// stay where they were read; sorting changes only the order they are shown in.
class listing {
public:
    std::size_t size() const { return order_.size(); }
    bool empty() const { return order_.empty(); }
    const FileEntry& row(std::size_t i) const { return rows_[order_[i]]; }
    FileEntry& row(std::size_t i) { return rows_[order_[i]]; }

    bool marked(std::size_t i) const { return marked_[i] != 0; }
    void set_marked(std::size_t i, bool on) { marked_[i] = on ? 1 : 0; }
    std::size_t marked_count() const;

    // The cursor row, or -1 when there is none.
    int cursor() const { return cursor_; }
    void set_cursor(int row)
    {
        cursor_ = (row >= 0 && static_cast<std::size_t>(row) < order_.size()) ? row : -1;
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
    // over compact keys, and the rows end in the order that swapping the rows themselves pass by
    // pass gives.
    int sort(const SortState& state);

    // The first row whose name and type equal the parts of file_name exactly, or -1.
    int find(bool is_dir, std::string_view file_name) const;

private:
    // What the sort compares first: the row's class and the leading bytes of its sort column and
    // of its first tie-breaking column, so that most comparisons never touch the rows.
    struct sort_key {
        std::uint64_t primary[2];
        std::uint64_t secondary[2];
        std::uint32_t row;       // where the row is stored
        unsigned char row_class; // 0 "..", 1 directory, 2 file
        unsigned char flags;
    };
    static sort_key make_key(const FileEntry& row, std::uint32_t index, int column);
    int compare_keys(const sort_key& a, const sort_key& b, const SortState& state) const;

    std::vector<FileEntry> rows_;       // in the order they were appended
    std::vector<std::uint32_t> order_;  // the stored row shown at each position
    std::vector<unsigned char> marked_; // by position
    int cursor_ = -1;
};

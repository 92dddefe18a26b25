// The rows of a pane: comparison with its fixed rules, the comb sort, marks, cursor and lookup.
#include "pane/listing.h"

#include "pane/entry_text.h"

#include <algorithm>

SortState& sort_state()
{
    static SortState state;
    return state;
}

bool& hide_system_files()
{
    static bool hide = true;
    return hide;
}

void update_sort_state(SortState& state, int column)
{
    if (column < 0 || column >= column_count)
        return;
    if (column == state.column) {
        state.ascending = state.ascending ? 0 : 1;
    } else {
        state.column = column;
        state.ascending = 1;
    }
}

const std::string& column_text(const FileEntry& row, int column)
{
    switch (column) {
    case column_name: return row.name;
    case column_type: return row.type;
    case column_size: return row.size_text;
    case column_time: return row.time_text;
    default: return row.attr_text;
    }
}

namespace {

int fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// Byte-wise, ignoring ASCII case, the shorter text first when one is the start of the other.
int compare_left_aligned(const std::string& a, const std::string& b)
{
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int d = fold(static_cast<unsigned char>(a[i])) - fold(static_cast<unsigned char>(b[i]));
        if (d != 0)
            return d;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// The same after the shorter text has been filled with blanks on the left: sizes compare by value
// ('  987' before '1,234') and "?" comes before every number. No copy is made.
int compare_right_aligned(const std::string& a, const std::string& b)
{
    std::size_t n = std::max(a.size(), b.size());
    std::size_t pad_a = n - a.size(), pad_b = n - b.size();
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char ca = i < pad_a ? ' ' : static_cast<unsigned char>(a[i - pad_a]);
        unsigned char cb = i < pad_b ? ' ' : static_cast<unsigned char>(b[i - pad_b]);
        int d = fold(ca) - fold(cb);
        if (d != 0)
            return d;
    }
    return 0;
}

int compare_column(const FileEntry& a, const FileEntry& b, int column)
{
    const std::string& x = column_text(a, column);
    const std::string& y = column_text(b, column);
    if (column != column_size)
        return compare_left_aligned(x, y);
    // An unknown size ("?") comes before every number; blank-filling alone would put it after the
    // one-digit sizes, '?' being greater than the digits.
    bool unknown_x = x == "?", unknown_y = y == "?";
    if (unknown_x != unknown_y)
        return unknown_x ? -1 : 1;
    return compare_right_aligned(x, y);
}

void swap_rows(FileEntry& a, FileEntry& b)
{
    a.name.swap(b.name);
    a.type.swap(b.type);
    a.size_text.swap(b.size_text);
    a.time_text.swap(b.time_text);
    a.attr_text.swap(b.attr_text);
    std::swap(a.icon, b.icon);
}

} // namespace

int compare_entries(const FileEntry& a, const FileEntry& b, const SortState& state)
{
    int d = state.ascending ? 1 : -1;
    if (a.name == "..")
        return -d;
    if (b.name == "..")
        return d;
    bool dir_a = is_dir_entry(a), dir_b = is_dir_entry(b);
    if (dir_a != dir_b)
        return dir_a ? -d : d;
    int column = (state.column >= 0 && state.column < column_count) ? state.column : column_name;
    if (int r = compare_column(a, b, column))
        return r;
    for (int c = 0; c < column_count; ++c)
        if (c != column)
            if (int r = compare_column(a, b, c))
                return r * d;
    return 0;
}

std::size_t listing::marked_count() const
{
    return static_cast<std::size_t>(std::count(marked_.begin(), marked_.end(), 1));
}

void listing::clear()
{
    rows_.clear();
    marked_.clear();
    cursor_ = -1;
}

void listing::reserve(std::size_t n)
{
    rows_.reserve(n);
    marked_.reserve(n);
}

void listing::append(FileEntry entry)
{
    rows_.push_back(std::move(entry));
    marked_.push_back(0);
}

void listing::remove(std::size_t i)
{
    if (i >= rows_.size())
        return;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(i));
    marked_.erase(marked_.begin() + static_cast<std::ptrdiff_t>(i));
    if (cursor_ > static_cast<int>(i) || cursor_ >= static_cast<int>(rows_.size()))
        --cursor_;
}

int listing::sort(const SortState& state)
{
    const std::size_t count = rows_.size();
    std::size_t followed = cursor_ >= 0 ? static_cast<std::size_t>(cursor_) : count;
    std::size_t gap = count;
    bool swapped = false;
    while (swapped || gap > 1) {
        gap = gap * 10 / 13;
        if (gap == 0)
            gap = 1;
        else if (gap == 9 || gap == 10)
            gap = 11;
        swapped = false;
        for (std::size_t i = 0; i + gap < count; ++i) {
            int r = compare_entries(rows_[i], rows_[i + gap], state);
            if (state.ascending ? r > 0 : r < 0) {
                swap_rows(rows_[i], rows_[i + gap]);
                std::swap(marked_[i], marked_[i + gap]);
                if (followed == i)
                    followed = i + gap;
                else if (followed == i + gap)
                    followed = i;
                swapped = true;
            }
        }
    }
    return followed < count ? static_cast<int>(followed) : -1;
}

int listing::find(bool is_dir, std::string_view file_name) const
{
    auto parts = split_entry_name(file_name, is_dir);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].name == parts.name && rows_[i].type == parts.type)
            return static_cast<int>(i);
    return -1;
}

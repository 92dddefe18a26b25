// The rows of a pane: comparison with its fixed rules, the comb sort, marks, cursor and lookup.
#include "pane/listing.h"

#include "base/comb_sort.h"
#include "base/cp932.h"
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

FileEntry::FileEntry(const FileEntry& other)
    : name(other.name), type(other.type), icon(other.icon), attributes_(other.attributes_),
      size_kind_(other.size_kind_), time_kind_(other.time_kind_), attr_kind_(other.attr_kind_),
      size_(other.size_), time_(other.time_),
      others_(other.others_ ? std::make_unique<other_texts>(*other.others_) : nullptr)
{
}

FileEntry& FileEntry::operator=(const FileEntry& other)
{
    if (this != &other)
        *this = FileEntry(other);
    return *this;
}

FileEntry::other_texts& FileEntry::others()
{
    if (!others_)
        others_ = std::make_unique<other_texts>();
    return *others_;
}

bool FileEntry::is_dir() const
{
    return size_kind_ == size_dir ||
           (size_kind_ == size_other && !others_->size.empty() && others_->size[0] == '<');
}

std::string_view FileEntry::fact_text(int column, char* buffer) const
{
    switch (column) {
    case column_size:
        switch (size_kind_) {
        case size_dir:
            return dir_size_text;
        case size_number:
            return {buffer, group_digits_into(buffer, size_)};
        case size_unknown:
            return "?";
        case size_other:
            return others_->size;
        default:
            return {};
        }
    case column_time:
        switch (time_kind_) {
        case time_packed: {
            time_fields t{static_cast<int>(time_ >> 40),          static_cast<int>((time_ >> 32) & 0xFF),
                          static_cast<int>((time_ >> 24) & 0xFF), static_cast<int>((time_ >> 16) & 0xFF),
                          static_cast<int>((time_ >> 8) & 0xFF),  static_cast<int>(time_ & 0xFF)};
            return {buffer, format_time_text_into(buffer, t)};
        }
        case time_unknown_local:
            return unknown_local_time;
        case time_unknown_ftp:
            return unknown_ftp_time;
        case time_other:
            return others_->time;
        default:
            return {};
        }
    case column_attributes:
        switch (attr_kind_) {
        case attr_bits:
            attr_text_into(buffer, attributes_);
            return {buffer, 4};
        case attr_unknown:
            return unknown_attributes;
        case attr_other:
            return others_->attr;
        default:
            return {};
        }
    default:
        return {};
    }
}

std::string FileEntry::size_text() const
{
    char buffer[text_buffer_size];
    return std::string(fact_text(column_size, buffer));
}

std::string FileEntry::time_text() const
{
    char buffer[text_buffer_size];
    return std::string(fact_text(column_time, buffer));
}

std::string FileEntry::attr_text() const
{
    char buffer[text_buffer_size];
    return std::string(fact_text(column_attributes, buffer));
}

void FileEntry::set_time(const time_fields& t)
{
    bool fits = t.year >= 0 && t.year <= 0xFFFF;
    for (int v : {t.month, t.day, t.hour, t.minute, t.second})
        fits = fits && v >= 0 && v <= 0xFF;
    if (!fits) {
        others().time = format_time_text(t);
        time_kind_ = time_other;
        return;
    }
    time_kind_ = time_packed;
    time_ = static_cast<std::uint64_t>(t.year) << 40 | static_cast<std::uint64_t>(t.month) << 32 |
            static_cast<std::uint64_t>(t.day) << 24 | static_cast<std::uint64_t>(t.hour) << 16 |
            static_cast<std::uint64_t>(t.minute) << 8 | static_cast<std::uint64_t>(t.second);
}

namespace {

// The value of a size text as group_digits writes it; false for any other text.
bool canonical_size(std::string_view s, std::uint64_t& value)
{
    std::size_t n = s.size();
    if (n == 0 || n > 26 || (s[0] == '0' && n > 1))
        return false;
    value = 0;
    for (std::size_t i = 0; i < n; ++i) {
        bool comma_place = (n - 1 - i) % 4 == 3;
        char c = s[i];
        if (comma_place) {
            if (c != ',')
                return false;
            continue;
        }
        if (c < '0' || c > '9')
            return false;
        std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    return true;
}

} // namespace

// Each setter keeps a text as the fact it was made from where the fact gives it back exactly.
void FileEntry::set_size_text(std::string_view text)
{
    std::uint64_t value = 0;
    if (text.empty())
        size_kind_ = size_empty;
    else if (text == dir_size_text)
        set_dir();
    else if (text == "?")
        size_kind_ = size_unknown;
    else if (canonical_size(text, value))
        set_size(value);
    else {
        others().size = text;
        size_kind_ = size_other;
    }
}

void FileEntry::set_time_text(std::string_view text)
{
    if (text.empty()) {
        time_kind_ = time_empty;
        return;
    }
    if (text == unknown_local_time) {
        time_kind_ = time_unknown_local;
        return;
    }
    if (text == unknown_ftp_time) {
        time_kind_ = time_unknown_ftp;
        return;
    }
    if (auto t = parse_time_text(text); t && text.size() < text_buffer_size) {
        char buffer[80];
        if (std::string_view(buffer, format_time_text_into(buffer, *t)) == text) {
            set_time(*t);
            return;
        }
    }
    others().time = text;
    time_kind_ = time_other;
}

void FileEntry::set_attr_text(std::string_view text)
{
    if (text.empty()) {
        attr_kind_ = attr_empty;
        return;
    }
    if (text == unknown_attributes) {
        attr_kind_ = attr_unknown;
        return;
    }
    std::uint32_t bits = attr_bits_from_text(text);
    char made[4];
    attr_text_into(made, bits);
    if (text == std::string_view(made, 4)) {
        set_attributes(bits);
        return;
    }
    others().attr = text;
    attr_kind_ = attr_other;
}

column_chars::column_chars(const FileEntry& row, int column)
{
    if (column == column_name)
        view_ = row.name;
    else if (column == column_type)
        view_ = row.type;
    else
        view_ = row.fact_text(column, buffer_);
}

namespace {

int fold(unsigned char c)
{
    return static_cast<unsigned char>(ascii_lower(static_cast<char>(c)));
}

// Byte-wise, ignoring ASCII case, the shorter text first when one is the start of the other.
int compare_left_aligned(std::string_view a, std::string_view b)
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
int compare_right_aligned(std::string_view a, std::string_view b)
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
    column_chars text_a(a, column), text_b(b, column);
    std::string_view x = text_a.view(), y = text_b.view();
    if (column != column_size)
        return compare_left_aligned(x, y);
    // An unknown size ("?") comes before every number; blank-filling alone would put it after the
    // one-digit sizes, '?' being greater than the digits.
    bool unknown_x = x == "?", unknown_y = y == "?";
    if (unknown_x != unknown_y)
        return unknown_x ? -1 : 1;
    return compare_right_aligned(x, y);
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
    order_.clear();
    marked_.clear();
    cursor_ = -1;
}

void listing::reserve(std::size_t n)
{
    rows_.reserve(n);
    order_.reserve(n);
    marked_.reserve(n);
}

void listing::append(FileEntry entry)
{
    order_.push_back(static_cast<std::uint32_t>(rows_.size()));
    rows_.push_back(std::move(entry));
    marked_.push_back(0);
}

void listing::remove(std::size_t i)
{
    if (i >= order_.size())
        return;
    std::uint32_t stored = order_[i];
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(stored));
    order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(i));
    for (std::uint32_t& at : order_)
        if (at > stored)
            --at;
    marked_.erase(marked_.begin() + static_cast<std::ptrdiff_t>(i));
    if (cursor_ > static_cast<int>(i) || cursor_ >= static_cast<int>(order_.size()))
        --cursor_;
}

namespace {

constexpr unsigned char key_ordered = 1; // the keys' order is the texts' order where they differ
constexpr unsigned char key_exact = 2;   // equal keys mean equal texts

// Eight bytes of a text from `from`, folded to lower case, first byte highest; 0 past the end.
std::uint64_t pack(std::string_view s, std::size_t from)
{
    std::uint64_t v = 0;
    for (std::size_t i = from; i < from + 8; ++i)
        v = (v << 8) | static_cast<std::uint64_t>(i < s.size() ? fold(static_cast<unsigned char>(s[i])) : 0);
    return v;
}

} // namespace

listing::sort_key listing::make_key(const FileEntry& row, std::uint32_t index, int column)
{
    sort_key k{};
    k.row = index;
    k.row_class = row.name == ".." ? 0 : is_dir_entry(row) ? 1 : 2;
    column_chars chars(row, column);
    std::string_view text = chars.view();
    if (column == column_size) {
        // Blank-filled sizes order as their values, with "?" before every number.
        std::uint64_t value = 0;
        if (text == "?") {
            k.flags = key_ordered | key_exact;
        } else if (row.size_value(value) || canonical_size(text, value)) {
            k.primary[0] = 1;
            k.primary[1] = value;
            k.flags = key_ordered | key_exact;
        }
    } else {
        k.primary[0] = pack(text, 0);
        k.primary[1] = pack(text, 8);
        k.flags = key_ordered | (text.size() <= 16 ? key_exact : 0);
    }
    const std::string& tie = column == column_name ? row.type : row.name;
    k.secondary[0] = pack(tie, 0);
    k.secondary[1] = pack(tie, 8);
    return k;
}

int listing::compare_keys(const sort_key& a, const sort_key& b, const SortState& state) const
{
    int d = state.ascending ? 1 : -1;
    if (a.row_class == 0)
        return -d;
    if (b.row_class == 0)
        return d;
    if (a.row_class != b.row_class)
        return a.row_class < b.row_class ? -d : d;
    if (a.flags & b.flags & key_ordered) {
        for (int i = 0; i < 2; ++i)
            if (a.primary[i] != b.primary[i])
                return a.primary[i] < b.primary[i] ? -1 : 1;
        if (a.flags & b.flags & key_exact)
            for (int i = 0; i < 2; ++i)
                if (a.secondary[i] != b.secondary[i])
                    return a.secondary[i] < b.secondary[i] ? -d : d;
    }
    return compare_entries(rows_[a.row], rows_[b.row], state);
}

int listing::sort(const SortState& state)
{
    const std::size_t count = order_.size();
    int column = (state.column >= 0 && state.column < column_count) ? state.column : column_name;
    // The keys stand at the rows' positions; the rows are read in the order they are stored, which
    // is the order their names were allocated in. The keys go when the sort is done.
    std::vector<sort_key> keys(count);
    std::vector<std::uint32_t> position(count);
    for (std::size_t k = 0; k < count; ++k)
        position[order_[k]] = static_cast<std::uint32_t>(k);
    auto make_keys = [&] {
        for (std::size_t s = 0; s < count; ++s)
            keys[position[s]] = make_key(rows_[s], static_cast<std::uint32_t>(s), column);
    };
    make_keys();

    // Where no two rows compare equal the sorted order is unique: a merge sort reaches the comb
    // sort's order in a fraction of its comparisons. Rows that tie (the same texts but for ASCII
    // case, or a second "..") end where the comb sort's passes put them, so they take the comb sort.
    std::size_t dot_dots = 0;
    for (const sort_key& k : keys)
        dot_dots += k.row_class == 0 ? 1 : 0;
    bool unique = dot_dots < 2;
    if (unique) {
        std::stable_sort(keys.begin(), keys.end(), [&](const sort_key& a, const sort_key& b) {
            int c = compare_keys(a, b, state);
            return state.ascending ? c < 0 : c > 0;
        });
        for (std::size_t k = 1; k < count && unique; ++k)
            unique = compare_keys(keys[k - 1], keys[k], state) != 0;
        if (!unique)
            make_keys(); // the comb sort starts from the order the rows were in
    }
    if (!unique)
        comb_sort(
            count, state.ascending,
            [&](std::size_t a, std::size_t b) { return compare_keys(keys[a], keys[b], state); },
            [&](std::size_t a, std::size_t b) { std::swap(keys[a], keys[b]); }, -1);

    // Marks travel with their rows: held by stored row while the order changes.
    std::vector<unsigned char> mark_of(count);
    for (std::size_t k = 0; k < count; ++k)
        mark_of[order_[k]] = marked_[k];
    std::int64_t cursor_row = cursor_ >= 0 ? order_[static_cast<std::size_t>(cursor_)] : -1;
    int followed = -1;
    for (std::size_t k = 0; k < count; ++k) {
        order_[k] = keys[k].row;
        marked_[k] = mark_of[keys[k].row];
        if (keys[k].row == cursor_row)
            followed = static_cast<int>(k);
    }
    return followed;
}

int listing::find(bool is_dir, std::string_view file_name) const
{
    auto parts = split_entry_name(file_name, is_dir);
    for (std::size_t i = 0; i < order_.size(); ++i)
        if (row(i).name == parts.name && row(i).type == parts.type)
            return static_cast<int>(i);
    return -1;
}

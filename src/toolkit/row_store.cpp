// The list view's row store and its comb sort.
#include "toolkit/row_store.h"

#include "base/cp932.h"

int compare_text_right_aligned(std::string_view a, std::string_view b)
{
    if (a.size() == b.size())
        return compare_text_nocase(a, b);
    std::string padded;
    if (a.size() < b.size()) {
        padded.assign(b.size() - a.size(), ' ');
        padded += a;
        return compare_text_nocase(padded, b);
    }
    padded.assign(a.size() - b.size(), ' ');
    padded += b;
    return compare_text_nocase(a, padded);
}

void row_store::add(std::vector<std::string> texts, int image)
{
    auto row = std::make_unique<list_row>();
    row->image = image;
    row->texts = std::move(texts);
    rows_.push_back(std::move(row));
}

void row_store::remove(std::size_t index)
{
    if (index < rows_.size())
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string_view row_store::text(std::size_t index, std::size_t column) const
{
    if (index >= rows_.size() || !rows_[index] || column >= rows_[index]->texts.size())
        return {};
    return rows_[index]->texts[column];
}

int row_store::image(std::size_t index) const
{
    if (index >= rows_.size() || !rows_[index])
        return -1;
    return rows_[index]->image;
}

bool row_store::set_text(std::size_t index, std::size_t column, std::string_view text)
{
    if (index >= rows_.size() || !rows_[index])
        return false;
    auto& texts = rows_[index]->texts;
    if (column >= texts.size())
        texts.resize(column + 1);
    texts[column].assign(text);
    return true;
}

bool row_store::set_image(std::size_t index, int image)
{
    if (index >= rows_.size() || !rows_[index])
        return false;
    rows_[index]->image = image;
    return true;
}

int row_store::find(int after, std::string_view text) const
{
    for (std::size_t i = after < 0 ? 0 : static_cast<std::size_t>(after) + 1; i < rows_.size(); ++i)
        if (this->text(i, 0) == text)
            return static_cast<int>(i);
    return -1;
}

int row_store::find_prefix(int after, char character) const
{
    char wanted = ascii_lower(character);
    for (std::size_t i = after < 0 ? 0 : static_cast<std::size_t>(after) + 1; i < rows_.size(); ++i) {
        std::string_view t = text(i, 0);
        if (!t.empty() && ascii_lower(t[0]) == wanted)
            return static_cast<int>(i);
    }
    return -1;
}

int compare_pin_group(const row_store& rows, std::size_t a, std::size_t b, const sort_keys& keys)
{
    int d = keys.ascending ? 1 : -1;
    if (keys.pin_column >= 0) {
        auto column = static_cast<std::size_t>(keys.pin_column);
        if (rows.text(a, column) == keys.pin_text)
            return -d;
        if (rows.text(b, column) == keys.pin_text)
            return d;
    }
    if (keys.group_column >= 0) {
        auto column = static_cast<std::size_t>(keys.group_column);
        std::string_view ta = rows.text(a, column);
        std::string_view tb = rows.text(b, column);
        bool ga = !ta.empty() && ta[0] == keys.group_character;
        bool gb = !tb.empty() && tb[0] == keys.group_character;
        if (ga && !gb)
            return -d;
        if (gb && !ga)
            return d;
    }
    return 0;
}

int compare_rows_plain(const row_store& rows, std::size_t a, std::size_t b, const sort_keys& keys)
{
    if (int r = compare_pin_group(rows, a, b, keys))
        return r;
    auto column = static_cast<std::size_t>(keys.column < 0 ? 0 : keys.column);
    return compare_text_nocase(rows.text(a, column), rows.text(b, column));
}

int compare_rows_report(const row_store& rows, std::size_t a, std::size_t b, const sort_keys& keys,
                        const std::vector<bool>& right_aligned)
{
    if (int r = compare_pin_group(rows, a, b, keys))
        return r;
    auto compare_column = [&](std::size_t column) {
        bool right = column < right_aligned.size() && right_aligned[column];
        return right ? compare_text_right_aligned(rows.text(a, column), rows.text(b, column))
                     : compare_text_nocase(rows.text(a, column), rows.text(b, column));
    };
    auto sort_column = static_cast<std::size_t>(keys.column < 0 ? 0 : keys.column);
    if (int r = compare_column(sort_column))
        return r;
    int d = keys.ascending ? 1 : -1;
    for (std::size_t column = 0; column < right_aligned.size(); ++column) {
        if (column == sort_column)
            continue;
        if (int r = compare_column(column))
            return r * d;
    }
    return 0;
}

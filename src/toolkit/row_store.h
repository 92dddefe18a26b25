// The list view's row store and its comb sort: rows of texts with an image, pin and group rules.
#pragma once

#include "base/comb_sort.h"
#include "base/cp932.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One list-view row: an image index (or user value) and one text per column.
struct list_row {
    int image = -1;
    std::vector<std::string> texts;
};

// What one sort orders by: the sort column and direction, the pinned rows (whose pin-column
// text is exactly the pin text, "..") and the grouped rows (whose group-column text begins
// with the group character, "<" for directories); both come first in either direction.
struct sort_keys {
    int column = 0;
    bool ascending = true;
    int pin_column = -1;
    std::string pin_text;
    int group_column = -1;
    char group_character = 0;
};

// compare_text_nocase (base/cp932.h) after filling the shorter text with blanks on the left (right-aligned
// columns, so '  987' comes before '1,234').
int compare_text_right_aligned(std::string_view a, std::string_view b);

// The growable array of rows behind a virtual list view.
class row_store {
public:
    std::size_t size() const { return rows_.size(); }
    void add(std::vector<std::string> texts, int image);
    void remove(std::size_t index);
    void clear() { rows_.clear(); }
    void swap(std::size_t a, std::size_t b) { rows_[a].swap(rows_[b]); }
    // A position without a record reads as an empty text and image -1.
    std::string_view text(std::size_t index, std::size_t column) const;
    int image(std::size_t index) const;
    bool set_text(std::size_t index, std::size_t column, std::string_view text);
    bool set_image(std::size_t index, int image);
    // First row after `after` (-1: from the start) whose column-0 text is exactly `text`, or -1.
    int find(int after, std::string_view text) const;
    // First row after `after` whose column-0 text begins with `character` ignoring ASCII case.
    int find_prefix(int after, char character) const;

private:
    std::vector<std::unique_ptr<list_row>> rows_;
};

// The pin and group rules shared by every comparison: -d when only a is pinned or grouped,
// +d when only b is, 0 when neither rule decides (d = +1 ascending, -1 descending).
int compare_pin_group(const row_store& rows, std::size_t a, std::size_t b, const sort_keys& keys);
// Plain list views: the sort column's texts ignoring ASCII case.
int compare_rows_plain(const row_store& rows, std::size_t a, std::size_t b, const sort_keys& keys);
// Report list views: right-aligned columns compare blank-filled, ties are broken by the other
// columns in ascending column order and always ascending.
int compare_rows_report(const row_store& rows, std::size_t a, std::size_t b, const sort_keys& keys,
                        const std::vector<bool>& right_aligned);

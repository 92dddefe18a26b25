// The comb sort both the pane rows and the list view rows are ordered by.
#pragma once

#include <cstddef>

// Comb sort over `count` positions (gap x 10 / 13, 0 -> 1, 9 or 10 -> 11). A pair is out of
// order when compare > 0 ascending or < 0 descending; `swap` exchanges two positions. Returns
// where the position `tracked` ended up (-1 stays -1). A template, so a sort of 100,000 rows
// calls its comparison directly.
template <class compare_fn, class swap_fn>
int comb_sort(std::size_t count, bool ascending, compare_fn&& compare, swap_fn&& swap, int tracked)
{
    std::size_t gap = count;
    bool swapped = false;
    do {
        gap = gap * 10 / 13;
        if (gap == 0)
            gap = 1;
        else if (gap == 9 || gap == 10)
            gap = 11;
        swapped = false;
        for (std::size_t i = 0; i + gap < count; ++i) {
            int c = compare(i, i + gap);
            if (ascending ? c > 0 : c < 0) {
                swap(i, i + gap);
                swapped = true;
                if (tracked == static_cast<int>(i))
                    tracked = static_cast<int>(i + gap);
                else if (tracked == static_cast<int>(i + gap))
                    tracked = static_cast<int>(i);
            }
        }
    } while (swapped || gap > 1);
    return tracked;
}

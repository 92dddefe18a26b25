// The virtual list view with its row store and sort, and the report view with string-row columns.
#pragma once

#include "toolkit/controls_win.h"
#include "toolkit/row_store.h"

#include <string>
#include <vector>

class listview : public commoncontrol {
public:
    ~listview() override;
    bool on_erase_background(HDC dc) override;
    HBRUSH on_ctl_color(HDC dc) override;
    HFONT get_font() override;
    void set_font(HFONT font) override;

    virtual void on_got_focus();
    virtual void on_click();
    virtual void on_right_click();
    virtual void on_double_click();
    // Sets the item's text and background colour (default: the list view's colours).
    virtual void on_item_prepaint(NMLVCUSTOMDRAW* draw);
    // True: the column may not be resized.
    virtual bool on_header_begin_track(int column);
    virtual void on_header_end_track(int column);
    virtual bool on_header_divider_double_click(int column);
    virtual void on_char_typed(int character);
    virtual bool on_key_down(int key);
    virtual bool on_set_cursor();
    virtual void on_mouse_move();
    virtual void on_nc_calc_size();
    virtual int compare_rows(int a, int b);
    virtual void on_begin_drag(int item);
    virtual void on_item_changed(int item);

    // "SysListView32" with the sunken client edge, subclassed.
    bool create(int x, int y, int width, int height, DWORD style, DWORD ex_style, HWND parent, int id);
    void set_colours(COLORREF text, COLORREF background);
    // The display-text provider of LVN_GETDISPINFOA; a list that shows another row model
    // answers from it instead of the row store.
    virtual void get_display_info(NMLVDISPINFOA* info) const;

    void add_row(const std::vector<std::string>& texts, int image);
    void remove_row(int index);
    void clear_rows();
    int row_count() const { return static_cast<int>(rows_.size()); }
    std::string row_text(int index, int column) const;
    int row_image(int index) const { return rows_.image(static_cast<std::size_t>(index)); }
    void set_row_text(int index, int column, const char* text);
    void set_row_image(int index, int image);
    int find_row(int after, const char* text) const { return rows_.find(after, text); }
    int find_row_prefix(int after, char character) const { return rows_.find_prefix(after, character); }

    int cursor() const;
    int next_marked(int after) const;
    int marked_count() const;
    bool is_marked(int index) const;
    void mark(int index);
    void unmark(int index);
    void set_cursor(int index);
    void unmark_all();
    void ensure_visible(int index);
    void scroll(int dx);
    int rows_per_page() const;
    int column_width(int index) const;
    void set_column_width(int index, int width);

    void sort(int column, bool ascending, int pin_column, const char* pin_text, int group_column,
              char group_character);

    static LRESULT CALLBACK procedure(HWND, UINT, WPARAM, LPARAM);

protected:
    COLORREF text_colour_ = 0;
    COLORREF background_colour_ = 0;
    int column_count_ = 0;
    row_store rows_;
    sort_keys keys_;
};

class listview_report : public listview {
public:
    int compare_rows(int a, int b) override;
    virtual void on_column_click(int column);

    // Report view with owner data; columns from string rows starting at `first_string`.
    bool create(int x, int y, int width, int height, DWORD extra_style, HWND parent, int id,
                HIMAGELIST small_images, unsigned first_string);
    int columns() const { return columns_; }
    bool right_aligned(int column) const;

private:
    void make_columns(unsigned first_string, bool has_images);

    int columns_ = 0;
    std::vector<bool> right_aligned_;
};

// The main window: creation and shutdown in their fixed order, the two-pane mode, the geometry of
// the controls, the command table and the rules that enable the commands.
#include "app/main_window_win.h"

#include "app/command_rules.h"
#include "app/ftp_file_ops_win.h"
#include "app/option_dialog_win.h"
#include "app/window_geometry.h"
#include "base/paths.h"
#include "dialogs.h"
#include "fileops/file_dialogs_win.h"
#include "fileops/file_rw_win.h"
#include "ftp/ftp_panes_win.h"
#include "ftp/server_dialogs_win.h"
#include "pane/entry_text.h"
#include "pane/local_listing_win.h"
#include "pane/pane_view_win.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "programs/program_dialogs_win.h"
#include "programs/program_menus_win.h"
#include "programs/program_run_win.h"
#include "programs/shell_run_win.h"
#include "resource.h"
#include "settings/layout.h"
#include "settings/layout_win.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "toolkit/module_win.h"

#include <commctrl.h>

#include <utility>

namespace {

constexpr int max_definitions = 99;

int edge()
{
    return GetSystemMetrics(SM_CXEDGE);
}

// The toolbar's 21 entries: image, command and kind.
TBBUTTON toolbar_entry(int image, int command, BYTE style)
{
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = command;
    b.fsState = style == BTNS_SEP ? 0 : TBSTATE_ENABLED;
    b.fsStyle = style;
    return b;
}

void enable_item(HMENU menu, int id, bool on)
{
    if (menu)
        EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

void check_item(HMENU menu, int id, bool on)
{
    if (menu)
        CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

// Where each command of the rules shows: its toolbar button and the menus with its item.
enum : unsigned { in_file = 1, in_edit = 2, in_view = 4, in_pane = 8, in_row = 16, in_bar = 32 };
struct command_place {
    command_rule rule;
    int id;       // also the toolbar button's command
    bool checked; // a check button and check marks rather than enabled and grayed
    unsigned menus;
};
constexpr command_place command_places[] = {
    {rule_copy, IDM_COPY, false, in_file | in_row},
    {rule_move, IDM_MOVE, false, in_file | in_row},
    {rule_delete, IDM_DELETE, false, in_file | in_row},
    {rule_rename, IDM_RENAME, false, in_file | in_row},
    {rule_attribute, IDM_ATTRIBUTE, false, in_file | in_row},
    {rule_timestamp, IDM_TIMESTAMP, false, in_file | in_row},
    {rule_make_file, IDM_MAKE_FILE, false, in_file | in_pane},
    {rule_select_newer, IDM_SELECT_NEWER, false, in_edit | in_pane},
    {rule_root_directory, IDM_ROOT_DIRECTORY, false, in_view | in_pane},
    {rule_parent_directory, IDM_PARENT_DIRECTORY, false, in_view | in_pane},
    {rule_dual_window, IDM_DUAL_WINDOW, true, in_view | in_pane},
    {rule_hide_system_files, IDM_HIDE_SYSTEM_FILES, true, in_view | in_pane},
    {rule_programs, 0, false, in_bar}, // no button; the program menu of the bar, by position
};

// The help window a definition dialog opened last; it outlives the dialog.
std::unique_ptr<dialog_help>& help_window()
{
    static std::unique_ptr<dialog_help> help;
    return help;
}

// The Help button of a definition dialog: the help window over it on one section of the text.
void open_definition_help(HWND owner, int first_line, int line_count)
{
    help_window().reset();
    help_window() = open_help(owner, first_line, line_count);
}

void destroy_pane_controls(pane_view& v)
{
    v.list.destroy_window();
    v.info.destroy_window();
    v.wildcard.destroy_window();
    v.box.destroy_window();
}

} // namespace

// What the panes ask of the main window: the command states, opening a file through the
// programs, and the FTP servers as places a pane can be.
class main_pane_host : public pane_host {
public:
    explicit main_pane_host(window_& w) : window_(w) {}
    void command_states_changed() override { window_.update_command_states(); }
    bool open_file(const std::string& name) override { return ::open_file(name); }
    int add_server_entries(combo& box, HMENU server_menu) override
    {
        return server_list_build(box, server_menu);
    }
    bool open_server(int pane, int entry) override { return pane_open_server(window_.handle(), pane, entry); }
    void leave_server(int pane, int entry) override { pane_leave_server(pane, entry); }
    bool read_ftp_listing(Pane& pane, bool make_current) override
    {
        return ::read_ftp_listing(pane, make_current);
    }

private:
    window_& window_;
};

window_::window_() : host_(std::make_unique<main_pane_host>(*this)) {}

window_::~window_() = default;

bool window_::create(int x, int y, int width, int height, int show_command)
{
    std::string name = resource_string(IDS_PRODUCT, 128);
    create_args args;
    args.x = x;
    args.y = y;
    args.width = width;
    args.height = height;
    args.extra_style = WS_MINIMIZEBOX; // no maximize box
    args.class_name = name.c_str();
    args.icon_name = MAKEINTRESOURCEA(ICON_MAIN);
    args.menu_name = MAKEINTRESOURCEA(MENU_MAIN);
    args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    args.show_command = show_command;
    args.sizable = true;
    args.first_command_id = IDM_COPY;
    args.first_tooltip_string = IDS_TOOLTIP_FIRST;
    return window::create(args);
}

int window_::on_create()
{
    pane_area& a = panes();
    a.main = hwnd_;
    a.active = 1;
    a.dual = false;
    a.host = host_.get();
    set_fileops_host(&ftp_file_operations());
    const layout_state& l = layout();
    for (int i = 1; i <= 2; ++i) {
        Pane& p = a.panes[static_cast<std::size_t>(i)];
        p.index = i;
        p.path = l.pane_dirs[static_cast<std::size_t>(i)];
        p.return_path = l.return_paths[static_cast<std::size_t>(i)];
    }
    sort_state().column = l.sort_column;
    sort_state().ascending = l.sort_ascending ? 1 : 0;
    hide_system_files() = l.hide_system_files;

    // 1. The listing cache lives beside the executable.
    std::string cache = dirs().program_file("ftp_dir");
    if (!os::is_directory(cache))
        os::make_directory(cache);

    // 2. The display font.
    font_ = create_display_font();
    a.font = font_;

    // 3. Toolbar images; pixels of the mask colour are transparent.
    COLORREF mask = RGB(TOOLBAR_MASK_COLOR_R, TOOLBAR_MASK_COLOR_G, TOOLBAR_MASK_COLOR_B);
    toolbar_bitmap_ = LoadBitmapA(module_instance(), MAKEINTRESOURCEA(BITMAP_TOOLBAR));
    toolbar_images_ = ImageList_LoadImageA(module_instance(), MAKEINTRESOURCEA(BITMAP_TOOLBAR),
                                           TOOLBAR_IMAGE_SIZE, 0, mask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    hot_images_ = ImageList_LoadImageA(module_instance(), MAKEINTRESOURCEA(BITMAP_TOOLBAR_HOT),
                                       TOOLBAR_IMAGE_SIZE, 0, mask, IMAGE_BITMAP, LR_CREATEDIBSECTION);

    // 4. The two background brushes.
    source_brush_ = CreateSolidBrush(settings().colors[color_back_source]);
    target_brush_ = CreateSolidBrush(settings().colors[color_back_target]);

    // 5. Menus: the bar's submenus, the sort radio mark, the mark texts, the pop-up menus.
    menu_ = GetMenu(hwnd_);
    a.main_menu = menu_;
    file_menu_ = GetSubMenu(menu_, MENU_POS_FILE);
    edit_menu_ = GetSubMenu(menu_, MENU_POS_EDIT);
    view_menu_ = GetSubMenu(menu_, MENU_POS_VIEW);
    sort_menu_ = GetSubMenu(view_menu_, MENU_POS_VIEW_SORT);
    set_mark_menu_ = GetSubMenu(view_menu_, MENU_POS_VIEW_SET_MARK);
    go_to_mark_menu_ = GetSubMenu(view_menu_, MENU_POS_VIEW_GO_TO_MARK);
    program_menu_ = GetSubMenu(menu_, MENU_POS_PROGRAMS);
    HMENU settings_menu = GetSubMenu(menu_, MENU_POS_SETTINGS);
    extension_menu_ = GetSubMenu(settings_menu, MENU_POS_SETTINGS_EXTENSION_PROGRAMS);
    manual_menu_ = GetSubMenu(settings_menu, MENU_POS_SETTINGS_MANUAL_PROGRAMS);
    server_menu_ = GetSubMenu(settings_menu, MENU_POS_SETTINGS_FTP_SERVERS);
    CheckMenuRadioItem(sort_menu_, IDM_SORT_FIRST, IDM_SORT_LAST, IDM_SORT_FIRST + sort_state().column,
                       MF_BYCOMMAND);
    for (int k = static_cast<int>(mark_count) - 1; k >= 0; --k)
        update_mark_menu_text(menu_, static_cast<std::size_t>(k), l.marks[static_cast<std::size_t>(k)]);
    // The run menu's placeholder goes with the rebuild.
    rebuild_program_menus(program_file::manual, manual_menu_, program_menu_);
    rebuild_program_menus(program_file::extension, extension_menu_);
    pane_menu_ =
        make_popup(IDS_PANE_MENU_ROWS, IDM_MAKE_DIRECTORY, {sort_menu_, set_mark_menu_, go_to_mark_menu_});
    row_menu_ = make_popup(IDS_ROW_MENU_ROWS, IDM_COPY, {});
    a.pane_menu = pane_menu_;
    a.row_menu = row_menu_;

    // 6. The toolbar.
    constexpr BYTE button = BTNS_BUTTON, check = BTNS_CHECK, separator = BTNS_SEP;
    const TBBUTTON entries[] = {
        toolbar_entry(0, IDM_COPY, button),
        toolbar_entry(1, IDM_MOVE, button),
        toolbar_entry(2, IDM_DELETE, button),
        toolbar_entry(0, 0, separator),
        toolbar_entry(3, IDM_RENAME, button),
        toolbar_entry(4, IDM_ATTRIBUTE, button),
        toolbar_entry(5, IDM_TIMESTAMP, button),
        toolbar_entry(0, 0, separator),
        toolbar_entry(6, IDM_MAKE_DIRECTORY, button),
        toolbar_entry(7, IDM_MAKE_FILE, button),
        toolbar_entry(0, 0, separator),
        toolbar_entry(8, IDM_SELECT_ALL, button),
        toolbar_entry(9, IDM_SELECT_NEWER, button),
        toolbar_entry(0, 0, separator),
        toolbar_entry(10, IDM_DUAL_WINDOW, check),
        toolbar_entry(11, IDM_HIDE_SYSTEM_FILES, check),
        toolbar_entry(0, 0, separator),
        toolbar_entry(12, IDM_RELOAD_DRIVES, button),
        toolbar_entry(0, 0, separator),
        toolbar_entry(13, IDM_ROOT_DIRECTORY, button),
        toolbar_entry(14, IDM_PARENT_DIRECTORY, button),
    };
    toolbar_args targs;
    targs.style = TBSTYLE_WRAPABLE;
    targs.id = toolbar_id;
    targs.bitmap = toolbar_bitmap_;
    targs.buttons = entries;
    targs.button_count = static_cast<int>(std::size(entries));
    targs.bitmap_count = TOOLBAR_IMAGE_COUNT;
    targs.hot_images = hot_images_;
    toolbar_.create(hwnd_, targs);
    if (toolbar_images_)
        SendMessageA(toolbar_.handle(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbar_images_));
    toolbar_.auto_size();

    // 7. The left pane's controls, then the status bar.
    a.views[1] = std::make_unique<pane_view>(1);
    a.views[1]->create(hwnd_, font_, l.column_widths.data());
    a.views[1]->apply_colours(true);
    status_.create(hwnd_, status_bar_id);
    status_.set_font(font_);
    a.status_bar = &status_;
    set_status_parts();
    layout_controls();

    // 9. The boxes and the panes' directories.
    SendMessageA(hwnd_, WM_COMMAND, IDM_RELOAD_DRIVES, 0);

    // 10. The second pane opens once the message loop runs.
    if (l.dual_window)
        PostMessageA(hwnd_, WM_COMMAND, IDM_DUAL_WINDOW, 0);
    return 0;
}

void window_::on_destroy()
{
    pane_area& a = panes();
    // The layout first, while the left list whose column widths it records still exists.
    layout_state& l = layout();
    l.pane_dirs[1] = a.panes[1].path;
    l.pane_dirs[2] = a.panes[2].path;
    l.sort_column = sort_state().column;
    l.sort_ascending = sort_state().ascending != 0;
    l.hide_system_files = hide_system_files();
    layout_live live;
    live.column_widths = l.column_widths;
    if (a.views[1])
        for (int c = 0; c < column_count && c < a.views[1]->list.columns(); ++c)
            live.column_widths[static_cast<std::size_t>(c)] = a.views[1]->list.column_width(c);
    live.dual_window = a.dual;
    write_layout(layout_file_path(), live);
    registry_exit_cleanup();
    release_started_program();
    help_window().reset();

    if (a.dual && a.views[2]) {
        stop_watcher(2);
        destroy_pane_controls(*a.views[2]);
        a.views[2].reset();
    }
    stop_watcher(1);
    a.status_bar = nullptr;
    status_.destroy_window();
    if (a.views[1]) {
        destroy_pane_controls(*a.views[1]);
        a.views[1].reset();
    }
    toolbar_.destroy_window();
    // The pane menu shares its three submenus with the menu bar: they go with the bar.
    if (pane_menu_) {
        for (int i = GetMenuItemCount(pane_menu_) - 1; i >= 0; --i)
            if (GetSubMenu(pane_menu_, i))
                RemoveMenu(pane_menu_, static_cast<UINT>(i), MF_BYPOSITION);
        DestroyMenu(pane_menu_);
    }
    if (row_menu_)
        DestroyMenu(row_menu_);
    pane_menu_ = row_menu_ = nullptr;
    a.pane_menu = a.row_menu = nullptr;
    a.main_menu = nullptr;
    if (source_brush_)
        DeleteObject(source_brush_);
    if (target_brush_)
        DeleteObject(target_brush_);
    if (hot_images_)
        ImageList_Destroy(hot_images_);
    if (toolbar_images_)
        ImageList_Destroy(toolbar_images_);
    if (toolbar_bitmap_)
        DeleteObject(toolbar_bitmap_);
    if (font_)
        DeleteObject(font_);
    source_brush_ = target_brush_ = nullptr;
    hot_images_ = toolbar_images_ = nullptr;
    toolbar_bitmap_ = nullptr;
    font_ = nullptr;
    a.font = nullptr;
    a.host = nullptr;
    a.dual = false;
    a.active = 1;
    a.main = nullptr;
}

void window_::on_close()
{
    DestroyWindow(hwnd_);
}

// The layout keeps the position of a window shown normally only: a move while hidden,
// minimised or maximised is not where the user left it.
void window_::on_move()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(hwnd_, &placement) || !keeps_window_position(static_cast<int>(placement.showCmd)))
        return;
    RECT r;
    GetWindowRect(hwnd_, &r);
    layout().window_x = r.left;
    layout().window_y = r.top;
}

void window_::on_size(int kind)
{
    if (kind != SIZE_RESTORED)
        return;
    // The toolbar wraps its buttons to the new width first, so that its height is the new one.
    SendMessageA(toolbar_.handle(), WM_SIZE, 0, 0);
    toolbar_.auto_size();
    layout_controls();
    RECT outer, client;
    GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    layout().window_height = outer.bottom - outer.top;
    layout().window_width =
        single_pane_width(outer.right - outer.left, client.right - client.left, edge(), panes().dual);
}

void window_::on_min_max_info(MINMAXINFO* info)
{
    info->ptMaxTrackSize.x = max_track_width(GetSystemMetrics(SM_CXSCREEN), edge(), panes().dual);
}

// The list keeps the keyboard focus whenever the window becomes active again: at the start and
// after every dialog or message box it owns.
bool window_::on_activate(bool active, bool minimized)
{
    if (!active || minimized)
        return false;
    focus_list();
    HWND focus = GetFocus();
    return focus && IsChild(hwnd_, focus);
}

void window_::on_enable()
{
    focus_list();
}

bool window_::on_query_end_session()
{
    return true;
}

// Posted after a column of one list was resized by dragging: the other list takes its widths.
void window_::on_app_message()
{
    if (panes().dual && panes().resized_list)
        copy_column_widths(panes().resized_list);
}

void window_::set_status_parts()
{
    RECT client;
    GetClientRect(hwnd_, &client);
    pane_area& a = panes();
    if (a.dual) {
        int edges[2] = {client.right / 2, -1};
        status_.set_parts(2, edges);
    } else {
        int edges[1] = {-1};
        status_.set_parts(1, edges);
    }
    for (int i = 1; i <= (a.dual ? 2 : 1); ++i)
        status_.set_text(i - 1, a.panes[static_cast<std::size_t>(i)].status_text.c_str());
}

void window_::layout_controls()
{
    pane_area& a = panes();
    RECT client;
    GetClientRect(hwnd_, &client);
    int w = client.right, h = client.bottom;
    int t = 0;
    if (toolbar_.handle()) {
        RECT r;
        GetWindowRect(toolbar_.handle(), &r);
        t = r.bottom - r.top;
    }
    for (int i = 1; i <= (a.dual ? 2 : 1); ++i) {
        pane_view* v = a.views[static_cast<std::size_t>(i)].get();
        if (!v)
            continue;
        pane_rects r = pane_control_rects(i, w, h, t, edge(), a.dual);
        auto place = [](control& c, const control_rect& at) { c.place(at.x, at.y, at.width, at.height); };
        place(v->box, r.box);
        place(v->wildcard, r.wildcard);
        place(v->info, r.info);
        place(v->list, r.list);
    }
    if (status_.handle()) {
        SendMessageA(status_.handle(), WM_SIZE, 0, 0);
        set_status_parts();
    }
}

void window_::set_dual_mode()
{
    pane_area& a = panes();
    int e = edge();
    if (!a.dual) {
        a.dual = true;
        RECT client;
        GetClientRect(hwnd_, &client);
        SetWindowPos(hwnd_, nullptr, 0, 0, dual_pane_width(layout().window_width, client.right, e),
                     layout().window_height, SWP_NOMOVE | SWP_NOZORDER);
        open_right_pane();
    } else {
        a.dual = false;
        close_right_pane();
    }
    update_command_states();
}

void window_::open_right_pane()
{
    pane_area& a = panes();
    int widths[column_count];
    for (int c = 0; c < column_count; ++c)
        widths[c] = a.views[1] ? a.views[1]->list.column_width(c)
                               : layout().column_widths[static_cast<std::size_t>(c)];
    a.views[2] = std::make_unique<pane_view>(2);
    a.views[2]->create(hwnd_, font_, widths);
    a.views[2]->apply_colours(false);
    set_status_parts();
    layout_controls();
    load_pane(2);
    activate_pane(true);
    if (is_local_path(a.panes[2].path))
        start_watcher(2);
}

void window_::close_right_pane()
{
    pane_area& a = panes();
    stop_watcher(2);
    if (!is_local_path(a.panes[2].path) && a.views[2])
        host().leave_server(2, a.views[2]->box.selection());
    SetWindowPos(hwnd_, nullptr, 0, 0, layout().window_width, layout().window_height,
                 SWP_NOMOVE | SWP_NOZORDER);
    set_status_parts();
    if (a.views[2]) {
        destroy_pane_controls(*a.views[2]);
        a.views[2].reset();
    }
    layout_controls();
    if (a.active == 2) {
        a.active = 1;
        if (a.views[1])
            a.views[1]->apply_colours(true);
        focus_list();
        if (is_local_path(a.panes[1].path))
            SetCurrentDirectoryA(a.panes[1].path.c_str());
    }
}

void window_::popup_at_cursor(HMENU menu)
{
    POINT at = cursor_point();
    show_popup(menu, hwnd_, at.x, at.y);
}

int window_::definition_count(HMENU submenu)
{
    int items = submenu ? GetMenuItemCount(submenu) : 0;
    return items <= 1 ? 0 : items - 2;
}

void window_::update_command_states()
{
    pane_area& a = panes();
    if (!toolbar_.handle())
        return;
    const Pane& s = active_pane();
    const Pane* t = other_pane();
    pane_facts f;
    f.dual = a.dual && t;
    f.source_local = is_local_path(s.path);
    f.target_local = f.dual && is_local_path(t->path);
    f.paths_differ = f.dual && s.path != t->path;
    f.source_below_root = s.path.size() > root_length(s.path);
    f.marked = s.rows.marked_count();
    f.hide_system_files = hide_system_files();
    f.manual_programs = program_menu_ ? GetMenuItemCount(program_menu_) : 0;
    int row = f.marked >= 2 ? -1 : target_row();
    if (row >= 0) {
        const FileEntry& r = s.rows.row(static_cast<std::size_t>(row));
        f.has_row = true;
        f.row_attributes = r.attr_text();
        f.row_is_dir = is_dir_entry(r);
        f.row_holds_target = f.dual && f.row_is_dir && target_inside(s.path, join_entry_name(r), t->path);
    }
    command_states states = command_states_for(f);

    // Each command's button holds its state; the menu items it appears in copy it.
    const std::pair<unsigned, HMENU> menus[] = {{in_file, file_menu_},
                                                {in_edit, edit_menu_},
                                                {in_view, view_menu_},
                                                {in_pane, pane_menu_},
                                                {in_row, row_menu_}};
    for (const command_place& c : command_places) {
        bool on = states[c.rule];
        if (c.menus & in_bar) {
            EnableMenuItem(menu_, MENU_POS_PROGRAMS, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
            continue;
        }
        if (c.checked)
            toolbar_.check_button(c.id, on);
        else
            toolbar_.enable_button(c.id, on);
        on = c.checked ? toolbar_.is_checked(c.id) : toolbar_.is_enabled(c.id);
        for (auto [bit, menu] : menus) {
            if (!(c.menus & bit))
                continue;
            if (c.checked)
                check_item(menu, c.id, on);
            else
                enable_item(menu, c.id, on);
        }
    }
    DrawMenuBar(hwnd_);
}

void window_::sort_by(int column)
{
    CheckMenuRadioItem(sort_menu_, IDM_SORT_FIRST, IDM_SORT_LAST, IDM_SORT_FIRST + column, MF_BYCOMMAND);
    sort_panes(column);
}

void window_::reload_drives()
{
    pane_area& a = panes();
    if (a.dual && a.active == 2)
        activate_pane(true);
    auto leave = [&](int index) {
        pane_view* v = a.views[static_cast<std::size_t>(index)].get();
        if (v && !is_local_path(a.panes[static_cast<std::size_t>(index)].path))
            host().leave_server(index, v->box.selection());
    };
    leave(1);
    load_pane(1);
    if (a.dual) {
        leave(2);
        load_pane(2);
    }
}

void window_::edit_ftp_server(std::optional<std::size_t> index)
{
    dialog_drive_ftp editor(index, open_definition_help);
    if (editor.show(TEMPLATE_DRIVE_FTP, hwnd_) == 1)
        PostMessageA(hwnd_, WM_COMMAND, IDM_RELOAD_DRIVES, 0);
}

void window_::edit_program(bool manual, std::optional<std::size_t> index)
{
    program_file which = manual ? program_file::manual : program_file::extension;
    if (edit_program_entry(which, index, hwnd_, open_definition_help) != 1)
        return;
    if (manual)
        rebuild_program_menus(which, manual_menu_, program_menu_);
    else
        rebuild_program_menus(which, extension_menu_);
    update_command_states(); // the program menu of the bar needs an entry
}

// Confirmed options take effect at once: the font and the brushes are made again from the
// settings just read, the old font going once the panes have the new one.
void window_::edit_options()
{
    if (run_option_dialog(hwnd_) != 1)
        return;
    HFONT font = create_display_font();
    apply_display_settings(font);
    if (font_)
        DeleteObject(font_);
    font_ = font;
    if (source_brush_)
        DeleteObject(source_brush_);
    if (target_brush_)
        DeleteObject(target_brush_);
    source_brush_ = CreateSolidBrush(settings().colors[color_back_source]);
    target_brush_ = CreateSolidBrush(settings().colors[color_back_target]);
}

void window_::on_command(int id, HWND control_window)
{
    auto parameter = reinterpret_cast<LPARAM>(control_window);
    pane_area& a = panes();
    if (id >= IDM_SET_MARK_FIRST && id <= IDM_SET_MARK_LAST) {
        set_mark(id - IDM_SET_MARK_FIRST);
        return;
    }
    if (id >= IDM_GO_TO_MARK_FIRST && id <= IDM_GO_TO_MARK_LAST) {
        if (!is_local_path(active_pane().path) && a.views[static_cast<std::size_t>(a.active)])
            host().leave_server(a.active, a.views[static_cast<std::size_t>(a.active)]->box.selection());
        go_to_mark(id - IDM_GO_TO_MARK_FIRST);
        return;
    }
    if (id >= IDM_SORT_FIRST && id <= IDM_SORT_LAST) {
        sort_by(id - IDM_SORT_FIRST);
        return;
    }
    auto in = [id](int first, int last) { return id >= first && id <= last; };
    if (in(IDM_EDIT_FTP_SERVER_FIRST, IDM_EDIT_FTP_SERVER_LAST)) {
        edit_ftp_server(static_cast<std::size_t>(id - IDM_EDIT_FTP_SERVER_FIRST));
        return;
    }
    if (in(IDM_RUN_PROGRAM_FIRST, IDM_RUN_PROGRAM_LAST)) {
        run_manual_program(static_cast<std::size_t>(id - IDM_RUN_PROGRAM_FIRST));
        update_command_states();
        return;
    }
    if (in(IDM_EDIT_EXTENSION_PROGRAM_FIRST, IDM_EDIT_EXTENSION_PROGRAM_LAST) ||
        in(IDM_EDIT_MANUAL_PROGRAM_FIRST, IDM_EDIT_MANUAL_PROGRAM_LAST)) {
        bool manual = id >= IDM_EDIT_MANUAL_PROGRAM_FIRST;
        int first = manual ? IDM_EDIT_MANUAL_PROGRAM_FIRST : IDM_EDIT_EXTENSION_PROGRAM_FIRST;
        edit_program(manual, static_cast<std::size_t>(id - first));
        return;
    }
    if (id == IDM_OPTION) {
        edit_options();
        return;
    }
    switch (id) {
    case IDM_CLOSE:
        PostMessageA(hwnd_, WM_CLOSE, 0, 0);
        break;
    case IDM_CHOOSE_ENTRY:
        choose_entry(static_cast<int>(parameter));
        break;
    case IDM_COPY:
        if (allowed(id)) {
            if (a.dual)
                copy_marked(hwnd_);
            else
                run_backup(hwnd_);
        }
        break;
    case IDM_MOVE:
        if (allowed(id))
            move_marked(hwnd_);
        break;
    case IDM_DELETE:
        if (allowed(id))
            delete_marked(hwnd_);
        break;
    case IDM_RENAME:
        if (allowed(id))
            run_rename(hwnd_);
        break;
    case IDM_ATTRIBUTE:
        if (allowed(id))
            run_attribute(hwnd_);
        break;
    case IDM_TIMESTAMP:
        if (allowed(id))
            run_timestamp(hwnd_);
        break;
    case IDM_OPEN:
        open_entries();
        break;
    case IDM_MAKE_DIRECTORY:
        run_make(hwnd_, true);
        break;
    case IDM_MAKE_FILE:
        if (allowed(id))
            run_make(hwnd_, false);
        break;
    case IDM_SELECT_ALL:
        invert_file_marks();
        break;
    case IDM_SELECT_NEWER:
        if (allowed(id))
            select_newer();
        break;
    case IDM_DUAL_WINDOW:
        set_dual_mode();
        break;
    case IDM_HIDE_SYSTEM_FILES:
        hide_system_files() = !hide_system_files();
        read_listing(a.panes[1], false);
        if (a.dual)
            read_listing(a.panes[2], false);
        update_command_states();
        break;
    case IDM_RELOAD_DRIVES:
        reload_drives();
        break;
    case IDM_ROOT_DIRECTORY:
        if (allowed(id))
            change_directory("/");
        break;
    case IDM_PARENT_DIRECTORY:
        if (allowed(id))
            change_directory("..");
        break;
    case IDM_MANUAL_HTML: {
        char path[path_size];
        std::snprintf(path, sizeof path, "%skelvasto.htm", dirs().program_dir.c_str());
        shell_run(path); // a missing manual is not reported
        break;
    }
    case IDM_VERSION:
        about(resource_string(IDS_CAPTION_VERSION, 128).c_str(),
              resource_string(IDS_VERSION_TEXT, 256).c_str(), MAKEINTRESOURCEA(ICON_MAIN));
        break;
    case IDM_ROW_MENU:
        popup_at_cursor(row_menu_);
        break;
    case IDM_SORT_MENU:
        popup_at_cursor(sort_menu_);
        break;
    case IDM_DIRECTORY_CHANGED:
        refresh_pane(static_cast<int>(parameter));
        update_command_states();
        break;
    case IDM_PROGRAM_MENU:
        if (GetMenuItemCount(program_menu_) > 0)
            popup_at_cursor(program_menu_);
        break;
    case IDM_NEW_EXTENSION_PROGRAM:
    case IDM_NEW_MANUAL_PROGRAM:
    case IDM_NEW_FTP_SERVER: {
        HMENU submenu = id == IDM_NEW_EXTENSION_PROGRAM ? extension_menu_
                        : id == IDM_NEW_MANUAL_PROGRAM  ? manual_menu_
                                                        : server_menu_;
        if (definition_count(submenu) >= max_definitions)
            inform(IDS_CAPTION_INFORMATION, IDS_TOO_MANY_ITEMS);
        else if (id == IDM_NEW_FTP_SERVER)
            edit_ftp_server(std::nullopt);
        else
            edit_program(id == IDM_NEW_MANUAL_PROGRAM, std::nullopt);
        break;
    }
    default:
        break; // 243, 246 and every id not listed
    }
}

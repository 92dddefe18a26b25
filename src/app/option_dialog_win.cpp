// The options dialog: the working copy of the settings, the platform's file, font and folder
// choosers, the colour editor with its sample, the two lists and the write on OK.
#include "app/option_dialog_win.h"

#include "app/option_rules.h"
#include "base/paths.h"
#include "dialogs.h"
#include "pane/pane.h"
#include "programs/program_dialogs_win.h"
#include "resource.h"
#include "toolkit/module_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include <string_view>
#include <vector>

namespace {

constexpr int help_first = 206;
constexpr int help_count = 72;

// The browser's OK follows the highlighted folder: only entries directly inside the
// network-places folder (whose path `data` holds) can be chosen.
int CALLBACK browse_callback(HWND window, UINT message, LPARAM parameter, LPARAM data)
{
    if (message != BFFM_SELCHANGED)
        return 0;
    char path[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(parameter), path) != 0;
    to_slashes(path);
    ok = ok && directly_inside(path, *reinterpret_cast<const std::string*>(data));
    SendMessageA(window, BFFM_ENABLEOK, 0, ok ? TRUE : FALSE);
    return 0;
}

std::optional<std::string> browse_network_folder(HWND owner)
{
    // The folder browser needs COM in this thread.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string nethood = special_folder(owner, CSIDL_NETHOOD);
    to_slashes(nethood);
    std::string title = resource_string(IDS_TITLE_CHOOSE_NETDRIVE, name_size);
    char display[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = browse_callback;
    info.lParam = reinterpret_cast<LPARAM>(&nethood);
    std::optional<std::string> folder;
    if (LPITEMIDLIST pidl = SHBrowseForFolderA(&info)) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(pidl, path))
            folder = network_folder_of(path);
        CoTaskMemFree(pidl);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return folder;
}

std::vector<std::string> rows_of(const listbox& list)
{
    std::vector<std::string> rows;
    for (int i = 0; i < list.count(); ++i)
        rows.push_back(list.item_text(i));
    return rows;
}

// A list with no rows cannot be used, nor its remove button; otherwise its first row is chosen.
void fill_list(HWND dialog, listbox& list, int remove_button, const std::vector<std::string>& rows)
{
    for (const std::string& r : rows)
        list.add(r.c_str());
    if (list.count() > 0) {
        list.select(0);
        return;
    }
    list.disable();
    EnableWindow(GetDlgItem(dialog, remove_button), FALSE);
}

color_value low_byte(const edit& e)
{
    return static_cast<color_value>(e.get_number()) & 0xFF;
}

} // namespace

std::optional<std::string> network_folder_of(const std::string& folder)
{
    if (auto entry = network_folder_entry(folder))
        return entry;
    std::string link = folder + "/target.lnk";
    to_backslashes(link);
    std::wstring wide(link.size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide.data(), static_cast<int>(wide.size()))));
    IShellLinkA* shell_link = nullptr;
    if (wide.empty() || FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IShellLinkA, reinterpret_cast<void**>(&shell_link))))
        return std::nullopt;
    std::optional<std::string> entry;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        char target[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
            shell_link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK)
            entry = network_folder_entry(target);
        file->Release();
    }
    shell_link->Release();
    return entry;
}

void dialog_option::on_init()
{
    center_on_parent();
    filling_ = true;
    path_ = settings_file_path();
    const app_settings& s = settings();
    const struct {
        check& box;
        int id;
        bool on;
    } switches[] = {{confirm_copy_, ID_OPT_CONFIRM_COPY, s.confirm_copy},
                    {confirm_move_, ID_OPT_CONFIRM_MOVE, s.confirm_move},
                    {use_trash_, ID_OPT_USE_TRASH, s.use_trash}};
    for (const auto& w : switches) {
        w.box.bind(hwnd_, w.id);
        if (w.on)
            w.box.set_check();
    }
    network_folders_.bind(hwnd_, ID_OPT_NETDRIVES);
    fill_list(hwnd_, network_folders_, ID_OPT_NETDRIVE_REMOVE, netdrive_folders(read_netdrive_list(path_)));
    viewer_.bind(hwnd_, ID_OPT_VIEWER);
    viewer_.set_limit(path_size); // what the 256-byte read takes back whole
    viewer_.set_text(s.text_viewer.c_str());

    font_name_ = s.font_name;
    font_style_ = s.font_style;
    font_size_ = s.font_size;
    font_point_ = s.font_point;
    font_weight_ = s.font_weight;
    font_italic_ = s.font_italic;
    font_.bind(hwnd_, ID_OPT_FONT);
    font_.make_read_only();
    font_.set_limit(name_size);
    show_font();

    colours_ = s.colors;
    colour_.bind(hwnd_, ID_OPT_COLOR);
    colour_.changed = [this] { colour_chosen(); };
    struct part {
        edit_notify& field;
        int id;
        updown& arrows;
        int arrows_id;
    };
    const part parts[] = {{red_, ID_OPT_RED, red_updown_, ID_OPT_RED_UPDOWN},
                          {green_, ID_OPT_GREEN, green_updown_, ID_OPT_GREEN_UPDOWN},
                          {blue_, ID_OPT_BLUE, blue_updown_, ID_OPT_BLUE_UPDOWN}};
    for (const part& p : parts) {
        p.field.bind(hwnd_, p.id);
        p.arrows.create(hwnd_, p.arrows_id, p.field.handle(), 255, 0, 0);
        p.field.changed = [this] { colour_typed(); };
    }
    sample_.bind(hwnd_, ID_OPT_SAMPLE);
    colour_chosen();

    letters_.bind(hwnd_, ID_OPT_LETTERS);
    letters_.set_limit(static_cast<int>(key_letter_count) + 2); // twelve, so that one too many shows
    letters_.set_text(std::string(s.key_letters.data(), key_letter_count).c_str());
    extensions_.bind(hwnd_, ID_OPT_EXTENSIONS);
    fill_list(hwnd_, extensions_, ID_DELETE, text_extension_entries(read_text_extension_list(path_)));
    filling_ = false;
    timer_.start(hwnd_, 10);
}

void dialog_option::on_destroy()
{
    timer_.stop();
    help_.reset();
    for (edit_notify* e : {&red_, &green_, &blue_})
        e->changed = nullptr;
    colour_.changed = nullptr;
}

// The help window closed by the user goes with the next tick. Its own window is looked at, not
// the process-wide closed marker, which a help window of another dialog may have set.
void dialog_option::on_timer(UINT_PTR id)
{
    if (id == timer_.id() && help_ && !help_->handle())
        help_.reset();
}

void dialog_option::on_command(int id, HWND)
{
    switch (id) {
    case IDOK:
        accept();
        break;
    case IDCANCEL:
        end(2);
        break;
    case ID_OPT_NETDRIVE_ADD:
        add_network_folder();
        break;
    case ID_OPT_NETDRIVE_REMOVE:
        remove_row(network_folders_, ID_OPT_NETDRIVE_REMOVE);
        break;
    case ID_BROWSE:
        choose_viewer();
        break;
    case ID_OPT_FONT_BROWSE:
        choose_font();
        break;
    case ID_OPT_COLOR_DEFAULT:
        for (std::size_t i = 0; i < color_count; ++i)
            colours_[i] = parse_color(color_defaults[i]);
        colour_.select(0);
        colour_chosen();
        break;
    case ID_OPT_LETTERS_DEFAULT:
        letters_.set_text(default_key_letters);
        break;
    case ID_ADD_EXTENSION:
        add_extension();
        break;
    case ID_DELETE:
        remove_row(extensions_, ID_DELETE);
        break;
    case ID_HELP_BUTTON:
        if (!help_)
            help_ = open_help(hwnd_, help_first, help_count);
        break;
    default:
        break;
    }
}

void dialog_option::accept()
{
    confirm_copy_.set_focus();
    std::string letters = letters_.get_text(name_size);
    if (!key_letters_valid(letters)) {
        inform(IDS_CAPTION_INFORMATION, IDS_KEY_LETTERS_INVALID);
        return;
    }
    settings_values v;
    v.confirm_copy = confirm_copy_.get_check();
    v.confirm_move = confirm_move_.get_check();
    v.use_trash = use_trash_.get_check();
    v.netdrive = join_netdrive(rows_of(network_folders_));
    v.text_viewer = viewer_.get_text(path_size);
    v.text_extension = join_text_extensions(rows_of(extensions_));
    v.font_name = font_name_;
    v.font_size = font_size_;
    v.font_point = font_point_;
    v.font_weight = font_weight_;
    v.font_italic = font_italic_;
    v.font_style = font_style_;
    for (std::size_t i = 0; i < color_count; ++i)
        v.colors[i] = format_color(colours_[i]);
    for (std::size_t i = 0; i < key_letter_count; ++i)
        v.key_letters[i] = letters[i];
    if (!save_settings(path_, v)) {
        inform(IDS_CAPTION_INFORMATION, IDS_FILE_RW_ERROR);
        return;
    }
    load_settings(path_, resource_string(IDS_DEFAULT_FONT_NAME, name_size),
                  resource_string(IDS_DEFAULT_FONT_STYLE, name_size));
    end(1);
}

void dialog_option::add_row(listbox& list, int remove_button, const std::string& text)
{
    if (list.find(text.c_str()) >= 0) {
        inform(IDS_CAPTION_INFORMATION, IDS_NAME_EXISTS);
        return;
    }
    list.select(list.add(text.c_str()));
    if (list.count() == 1) {
        list.enable();
        EnableWindow(GetDlgItem(hwnd_, remove_button), TRUE);
    }
}

void dialog_option::remove_row(listbox& list, int remove_button)
{
    int row = list.selection();
    if (row < 0)
        return;
    list.remove(row);
    int rows = list.count();
    if (rows > 0) {
        list.select(row < rows ? row : rows - 1);
        return;
    }
    // The focus may sit on the button about to be disabled: it goes to the next control.
    if (GetFocus() == GetDlgItem(hwnd_, remove_button))
        SendMessageA(hwnd_, WM_NEXTDLGCTL, 0, FALSE);
    list.disable();
    EnableWindow(GetDlgItem(hwnd_, remove_button), FALSE);
}

void dialog_option::add_network_folder()
{
    if (std::optional<std::string> folder = browse_network_folder(hwnd_))
        add_row(network_folders_, ID_OPT_NETDRIVE_REMOVE, *folder);
}

void dialog_option::add_extension()
{
    dialog_extension input;
    if (input.show(TEMPLATE_EXTENSION, hwnd_) == 1)
        add_row(extensions_, ID_DELETE, extension_text());
}

void dialog_option::choose_viewer()
{
    if (std::optional<std::string> file = choose_program_file(hwnd_))
        viewer_.set_text(file->c_str());
}

void dialog_option::choose_font()
{
    LOGFONTA font{};
    font.lfHeight = font_size_;
    font.lfWeight = font_weight_;
    font.lfItalic = font_italic_ ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    copy_bounded(font.lfFaceName, sizeof font.lfFaceName, font_name_);
    char style[name_size] = {};
    copy_bounded(style, sizeof style, font_style_);
    CHOOSEFONTA chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = hwnd_;
    chooser.lpLogFont = &font;
    chooser.lpszStyle = style;
    chooser.Flags =
        CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_USESTYLE | CF_ANSIONLY | CF_NOSCRIPTSEL | CF_NOVERTFONTS;
    if (!ChooseFontA(&chooser))
        return;
    font_name_ = bounded(font.lfFaceName, sizeof font.lfFaceName);
    font_size_ = font.lfHeight;
    font_weight_ = font.lfWeight;
    font_italic_ = font.lfItalic != 0;
    font_style_ = bounded(style, sizeof style);
    font_point_ = chooser.iPointSize / 10; // the chooser counts tenths of a point
    show_font();
}

void dialog_option::show_font()
{
    std::string text = font_name_ + "/" + std::to_string(font_point_) + "/" + font_style_;
    font_.set_text(text.c_str());
}

void dialog_option::colour_chosen()
{
    int row = colour_.selection();
    if (row < 0 || row >= static_cast<int>(color_count))
        return;
    color_value c = colours_[static_cast<std::size_t>(row)];
    bool was_filling = filling_;
    filling_ = true;
    red_updown_.set_position(static_cast<int>(c & 0xFF));
    green_updown_.set_position(static_cast<int>(c >> 8 & 0xFF));
    blue_updown_.set_position(static_cast<int>(c >> 16 & 0xFF));
    red_.set_number(static_cast<int>(c & 0xFF));
    green_.set_number(static_cast<int>(c >> 8 & 0xFF));
    blue_.set_number(static_cast<int>(c >> 16 & 0xFF));
    filling_ = was_filling;
    show_sample();
}

void dialog_option::colour_typed()
{
    int row = colour_.selection();
    if (filling_ || row < 0 || row >= static_cast<int>(color_count))
        return;
    colours_[static_cast<std::size_t>(row)] = low_byte(red_) | low_byte(green_) << 8 | low_byte(blue_) << 16;
    show_sample();
}

// Row 0 and 1 show the normal text on their background; every text colour shows on the source
// background.
void dialog_option::show_sample()
{
    auto row = static_cast<std::size_t>(colour_.selection());
    if (row >= color_count)
        return;
    bool background = row == color_back_source || row == color_back_target;
    sample_.set_colours(colours_[background ? color_text_normal : row],
                        colours_[background ? row : color_back_source]);
}

int run_option_dialog(HWND owner)
{
    dialog_option options;
    return options.show(TEMPLATE_OPTION, owner);
}

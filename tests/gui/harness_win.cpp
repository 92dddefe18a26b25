// In-process GUI test harness.
#include "harness_win.h"

#include "pane/pane_view_win.h"
#include "platform/process_paths.h"
#include "resource.h"
#include "settings/layout.h"
#include "settings/settings.h"
#include "toolkit/module_win.h"
#include "toolkit/shell_icons_win.h"

#include <algorithm>
#include <cstdio>

namespace gui {

void pump(int settle_ms)
{
    DWORD until = GetTickCount() + static_cast<DWORD>(settle_ms);
    for (;;) {
        MSG message;
        bool any = false;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            if (message.message == WM_QUIT) {
                // Leave the quit for the loop that owns it.
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!any) {
            if (static_cast<int>(until - GetTickCount()) <= 0)
                return;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
}

bool pump_until(const std::function<bool()>& done)
{
    for (DWORD until = GetTickCount() + 10000; !done();) {
        if (static_cast<int>(until - GetTickCount()) <= 0)
            return false;
        pump(5);
    }
    return true;
}

namespace {

std::string class_of(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

modal_answers* current_answers = nullptr;

BOOL CALLBACK collect_dialog(HWND window, LPARAM data)
{
    if (class_of(window) == "#32770" && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::vector<HWND> open_dialogs()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), collect_dialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

modal_answers::modal_answers(std::vector<std::function<void(HWND)>> answers)
    : answers_(std::move(answers)), known_(open_dialogs())
{
    current_answers = this;
    timer_ = SetTimer(nullptr, 0, 20, tick);
}

modal_answers::~modal_answers()
{
    if (timer_)
        KillTimer(nullptr, timer_);
    if (current_answers == this)
        current_answers = nullptr;
}

void CALLBACK modal_answers::tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (current_answers)
        current_answers->poll();
}

void modal_answers::poll()
{
    if (used_ >= answers_.size())
        return;
    for (HWND window : open_dialogs()) {
        if (std::find(known_.begin(), known_.end(), window) != known_.end())
            continue;
        known_.push_back(window);
        auto answer = answers_[used_++];
        answer(window);
        return;
    }
}

host_window::host_window(int x, int y, int width, int height)
{
    create({.x = x, .y = y, .width = width, .height = height, .class_name = "kv_test_host", .popup = true});
}

host_window::~host_window()
{
    if (handle()) {
        DestroyWindow(handle());
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
}

std::string text_of(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string item_text(HWND dialog, int id)
{
    return text_of(GetDlgItem(dialog, id));
}

namespace {

BOOL CALLBACK collect_static(HWND window, LPARAM data)
{
    if (lstrcmpiA(class_of(window).c_str(), "Static") == 0)
        reinterpret_cast<std::vector<std::string>*>(data)->push_back(text_of(window));
    return TRUE;
}

// The key's press (`down`: WM_KEYDOWN or WM_SYSKEYDOWN) and release, with its scan code.
void post_key(HWND window, UINT down, UINT key)
{
    LPARAM l = 1 | (static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16);
    PostMessageA(window, down, key, l);
    PostMessageA(window, down + 1, key, l | (1LL << 30) | (1LL << 31));
}

} // namespace

std::vector<std::string> static_texts(HWND dialog)
{
    std::vector<std::string> texts;
    EnumChildWindows(dialog, collect_static, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool contains_text(const std::vector<std::string>& texts, const std::string& wanted)
{
    return std::find(texts.begin(), texts.end(), wanted) != texts.end();
}

void press_key(HWND window, UINT key)
{
    post_key(window, WM_KEYDOWN, key);
    pump();
}

void press_system_key(HWND window, UINT key)
{
    post_key(window, WM_SYSKEYDOWN, key);
    pump();
}

void type_text(HWND window, const std::string& text)
{
    for (unsigned char c : text)
        PostMessageA(window, WM_CHAR, c, 1);
    pump();
}

void click(HWND window, int x, int y)
{
    LPARAM at = MAKELPARAM(x, y);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    pump();
}

void click_button(HWND dialog, int id)
{
    // The button control itself clicks even while disabled; a user cannot.
    HWND button = GetDlgItem(dialog, id);
    if (button && IsWindowEnabled(button) && IsWindowVisible(button))
        PostMessageA(button, BM_CLICK, 0, 0);
}

void type_into(HWND dialog, int id, const std::string& text)
{
    HWND edit = GetDlgItem(dialog, id);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    post_key(edit, WM_KEYDOWN, VK_DELETE);
    for (unsigned char c : text)
        PostMessageA(edit, WM_CHAR, c, 1);
}

std::function<void(HWND)> type_and_ok(int id, const std::string& text)
{
    return [id, text](HWND dialog) {
        type_into(dialog, id, text);
        pump(0);
        click_button(dialog, IDOK);
    };
}

std::function<void(HWND)> ok_box(std::vector<std::string>& texts, std::function<void()> then)
{
    return [&texts, then](HWND box) {
        texts = static_texts(box);
        click_button(box, IDOK);
        pump(0);
        if (then)
            then();
    };
}

std::string acp(const char* utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), n);
    int m = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(m), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(), m, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(m > 0 ? m - 1 : 0));
    return text;
}

bool use_program_directory(const std::string& dir)
{
    static shell_icons* icons = new shell_icons(); // shared by every test of the program
    set_module_instance(GetModuleHandleA(nullptr));
    set_system_icons(icons);
    dirs().program_dir = dir;
    std::string font_name = resource_string(IDS_DEFAULT_FONT_NAME, 128);
    std::string font_style = resource_string(IDS_DEFAULT_FONT_STYLE, 128);
    if (!ensure_layout_file(layout_file_path()) ||
        !ensure_settings_file(settings_file_path(), font_name, font_style))
        return false;
    read_layout(layout_file_path());
    load_settings(settings_file_path(), font_name, font_style);
    panes().panes[1] = Pane{};
    panes().panes[2] = Pane{};
    return true;
}

bool save_screenshot(HWND window, const std::string& name)
{
    pump();
    RECT r;
    GetWindowRect(window, &r);
    // Only what is on the screen can be copied (Wine copies nothing of a rectangle reaching
    // beyond it): a dialog centred on a window at the screen's edge is moved in for the picture.
    RECT placed = r;
    if (r.left < 0 || r.top < 0) {
        SetWindowPos(window, nullptr, r.left < 0 ? 0 : r.left, r.top < 0 ? 0 : r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        pump();
        GetWindowRect(window, &r);
    }
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
    DWORD image = row * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof header + image), 0, 0,
                          sizeof(BITMAPFILEHEADER) + sizeof header};
    std::string path = std::string(KV_SOURCE_DIR) + "/build/artifacts/" + name + ".bmp";
    CreateDirectoryA((std::string(KV_SOURCE_DIR) + "/build/artifacts").c_str(), nullptr);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    bool ok = out && std::fwrite(&file, sizeof file, 1, out) == 1 &&
              std::fwrite(&header, sizeof header, 1, out) == 1 && std::fwrite(bits, 1, image, out) == image;
    if (out)
        ok = std::fclose(out) == 0 && ok;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (placed.left != r.left || placed.top != r.top)
        SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return ok;
}

} // namespace gui

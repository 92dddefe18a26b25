// In-process GUI test harness.
#include "harness_win.h"

#include "platform/process_paths.h"
#include "toolkit/module_win.h"
#include "toolkit/shell_icons_win.h"
#include "toolkit/shell_icons_win.h"
#include "toolkit/module_win.h"
#include "pane/pane_view_win.h"
#include "resource.h"
#include "settings/layout.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

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

namespace {

modal_answers* current_answers = nullptr;

struct thread_dialogs {
    std::vector<HWND> found;
};

BOOL CALLBACK collect_dialog(HWND window, LPARAM data)
{
    if (class_of(window) == "#32770" && IsWindowVisible(window))
        reinterpret_cast<thread_dialogs*>(data)->found.push_back(window);
    return TRUE;
}

std::vector<HWND> open_dialogs()
{
    thread_dialogs dialogs;
    EnumThreadWindows(GetCurrentThreadId(), collect_dialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs.found;
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
    create_args args;
    args.x = x;
    args.y = y;
    args.width = width;
    args.height = height;
    args.class_name = "kv_test_host";
    args.popup = true;
    create(args);
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
    char text[4096] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string class_of(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
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

LPARAM key_lparam(UINT key, bool up)
{
    UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    LPARAM l = 1 | (static_cast<LPARAM>(scan) << 16);
    if (up)
        l |= (1LL << 30) | (1LL << 31);
    return l;
}

} // namespace

std::vector<std::string> static_texts(HWND dialog)
{
    std::vector<std::string> texts;
    EnumChildWindows(dialog, collect_static, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

int text_width(HWND window, const std::string& text)
{
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return extent.cx;
}

bool contains_text(const std::vector<std::string>& texts, const std::string& wanted)
{
    return std::find(texts.begin(), texts.end(), wanted) != texts.end();
}

void press_key(HWND window, UINT key)
{
    PostMessageA(window, WM_KEYDOWN, key, key_lparam(key, false));
    PostMessageA(window, WM_KEYUP, key, key_lparam(key, true));
    pump();
}

void press_system_key(HWND window, UINT key)
{
    PostMessageA(window, WM_SYSKEYDOWN, key, key_lparam(key, false));
    PostMessageA(window, WM_SYSKEYUP, key, key_lparam(key, true));
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

void command(HWND window, int id)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
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
    PostMessageA(edit, WM_KEYDOWN, VK_DELETE, key_lparam(VK_DELETE, false));
    PostMessageA(edit, WM_KEYUP, VK_DELETE, key_lparam(VK_DELETE, true));
    for (unsigned char c : text)
        PostMessageA(edit, WM_CHAR, c, 1);
}

std::string artifact_path(const std::string& name)
{
    std::string dir = std::string(KV_SOURCE_DIR) + "/build";
    CreateDirectoryA(dir.c_str(), nullptr);
    dir += "/artifacts";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "/" + name;
}

bool capture(HWND window, std::vector<unsigned>& pixels, int& width, int& height)
{
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return false;
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = bitmap != nullptr;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        pump(50);
        // The screen holds exactly what the user sees, children and frame included.
        ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
        GdiFlush();
        if (ok) {
            auto* p = static_cast<const unsigned*>(bits);
            pixels.assign(p, p + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
            for (auto& px : pixels)
                px &= 0x00FFFFFFu;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool save_png(HWND window, const std::string& path)
{
    std::vector<unsigned> pixels;
    int width = 0, height = 0;
    return capture(window, pixels, width, height) && write_png(path, pixels, width, height);
}

namespace {

unsigned crc32(const unsigned char* data, std::size_t size)
{
    static const auto table = [] {
        std::array<unsigned, 256> t{};
        for (unsigned n = 0; n < 256; ++n) {
            unsigned c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    unsigned crc = ~0u;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void put32(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

void chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    put32(out, static_cast<unsigned>(data.size()));
    std::vector<unsigned char> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    put32(out, crc32(body.data(), body.size()));
}

} // namespace

bool write_png(const std::string& path, const std::vector<unsigned>& pixels, int width, int height)
{
    // Raw scan lines: filter byte 0, then RGB.
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<std::size_t>(height) * (static_cast<std::size_t>(width) * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            unsigned p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                static_cast<std::size_t>(x)];
            raw.push_back(static_cast<unsigned char>(p >> 16));
            raw.push_back(static_cast<unsigned char>(p >> 8));
            raw.push_back(static_cast<unsigned char>(p));
        }
    }
    // zlib stream of stored deflate blocks.
    std::vector<unsigned char> z{0x78, 0x01};
    std::size_t pos = 0;
    do {
        std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<unsigned char>(n));
        z.push_back(static_cast<unsigned char>(n >> 8));
        z.push_back(static_cast<unsigned char>(~n));
        z.push_back(static_cast<unsigned char>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                 raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    unsigned a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);

    std::vector<unsigned char> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    put32(header, static_cast<unsigned>(width));
    put32(header, static_cast<unsigned>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok;
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

} // namespace gui

namespace {

// Without a window manager on Xvfb, Wine waits two seconds for every managed window to be
// withdrawn, and no frame is drawn. Wine then draws its own frames and hides at once; the
// setting is read when a program starts, so it takes effect from the next run of this program.
class unmanaged_windows : public ::testing::Environment {
public:
    void SetUp() override
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\gui_tests.exe\\X11 Driver", 0,
                            nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
            RegCloseKey(key);
        }
    }
};

const auto* const unmanaged = ::testing::AddGlobalTestEnvironment(new unmanaged_windows);

} // namespace

// In-process GUI test harness: real windows under Wine, the message pump, user input as the
// system delivers it, answering dialogs and message boxes.
#pragma once

#include <windows.h>

#include "toolkit/control_win.h"

#include <functional>
#include <string>
#include <vector>

namespace gui {

// Dispatches everything this thread has queued (sent, posted, paint, due timers) until the
// queue stays empty; then keeps pumping for `settle_ms` so that late X11 events arrive too.
void pump(int settle_ms = 30);
// Pumps (inside the product's modal loop too) until the condition holds; false after 10 s.
bool pump_until(const std::function<bool()>& done);

// Answers the dialogs and message boxes that open on this thread while it waits in a modal
// loop: each new top-level dialog window ("#32770", which message boxes are too) is handed to
// the next answer in order. A thread timer drives it, so any modal loop of the product serves
// it; answers should post their clicks (click_button does) so the loop can go on.
class modal_answers {
public:
    explicit modal_answers(std::vector<std::function<void(HWND)>> answers);
    ~modal_answers();
    modal_answers(const modal_answers&) = delete;
    modal_answers& operator=(const modal_answers&) = delete;
    std::size_t used() const { return used_; }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    void poll();

    std::vector<std::function<void(HWND)>> answers_;
    std::vector<HWND> known_;
    std::size_t used_ = 0;
    UINT_PTR timer_ = 0;
};

// A main-window-like host for controls: a program `window` whose procedure routes commands,
// notifications, colours and owner drawing; destroying it swallows its quit message.
class host_window : public window {
public:
    host_window(int x = 20, int y = 20, int width = 600, int height = 400);
    ~host_window() override;
};

// Points the program at a program directory of the test's own (`dir` ends in '/'): this test
// program's resources, the system icons, the default configuration files made and read into the
// settings and layout, and two empty panes. False when a configuration file could not be made.
bool use_program_directory(const std::string& dir);

// Test texts are written in UTF-8; the program sees them in the ANSI code page (932).
std::string acp(const char* utf8);

// The whole text of a window, however long.
std::string text_of(HWND window);
std::string item_text(HWND dialog, int id);
// The texts of all static children (a message box's message is one of them).
std::vector<std::string> static_texts(HWND dialog);
bool contains_text(const std::vector<std::string>& texts, const std::string& wanted);

// Input as the system delivers it: posted to the window's queue, then pumped.
void press_key(HWND window, UINT key);
void press_system_key(HWND window, UINT key);
void type_text(HWND window, const std::string& text);
void click(HWND window, int x, int y);
// A button press as the user makes it (posted; does nothing while the button is disabled).
void click_button(HWND dialog, int id);
// Types into an edit of a dialog: focus, replace the text with WM_SETTEXT-free typing.
void type_into(HWND dialog, int id, const std::string& text);
// Answers: the text typed into the edit `id` and OK pressed; a box's static texts kept in
// `texts`, OK pressed and then `then` run (to go on with the dialog below).
std::function<void(HWND)> type_and_ok(int id, const std::string& text);
std::function<void(HWND)> ok_box(std::vector<std::string>& texts, std::function<void()> then = {});

// What the screen shows of a window, as a 24-bit BMP file named `name` + ".bmp" in the build's
// artifacts folder (scripts/test turns it into a PNG).
bool save_screenshot(HWND window, const std::string& name);

} // namespace gui

// Routing shared by the dialog and window procedures: control commands, notifications,
// colours and owner-drawn items, each to the object of the control that sent it.
#include "toolkit/control_win.h"

#include "toolkit/controls_win.h"
#include "toolkit/listview_win.h"
#include "toolkit/module_win.h"

#include <cstring>
#include <vector>

namespace {

std::string class_name_of(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool same_class(const std::string& name, const char* wanted)
{
    return lstrcmpiA(name.c_str(), wanted) == 0;
}

} // namespace

command_route route_control_command(WPARAM wparam, LPARAM lparam)
{
    HWND sender = reinterpret_cast<HWND>(lparam);
    if (!sender)
        return command_route::owner; // menus and accelerators
    unsigned code = HIWORD(wparam);
    // The codes the classes below handle (the numbers of different classes overlap: LBN_SELCHANGE
    // and CBN_SELCHANGE are both 1); every other notification goes to the owner.
    switch (code) {
    case STN_DBLCLK:
    case LBN_DBLCLK:
    case CBN_SETFOCUS:
    case CBN_KILLFOCUS:
    case CBN_DROPDOWN:
    case CBN_CLOSEUP:
    case EN_SETFOCUS:
    case EN_KILLFOCUS:
    case EN_CHANGE:
        break;
    default:
        return command_route::owner;
    }
    control* object = control::from_handle(sender);
    if (!object)
        return command_route::unhandled;
    std::string name = class_name_of(sender);
    if (same_class(name, "STATIC")) {
        if (auto* s = dynamic_cast<static_*>(object); s && code == STN_DBLCLK) {
            s->on_double_click();
            return command_route::control;
        }
    } else if (same_class(name, "LISTBOX")) {
        if (auto* l = dynamic_cast<listbox*>(object)) {
            if (code == LBN_SELCHANGE) {
                l->on_selection_changed();
                return command_route::control;
            }
            if (code == LBN_DBLCLK) {
                l->on_double_click();
                return command_route::control;
            }
        }
    } else if (same_class(name, "COMBOBOX")) {
        if (auto* c = dynamic_cast<combo*>(object)) {
            switch (code) {
            case CBN_SELCHANGE:
                c->on_selection_changed();
                return command_route::control;
            case CBN_SETFOCUS:
                c->on_got_focus();
                return command_route::control;
            case CBN_KILLFOCUS:
                c->on_lost_focus();
                return command_route::control;
            case CBN_DROPDOWN:
                c->on_drop_down();
                return command_route::control;
            case CBN_CLOSEUP:
                c->on_close_up();
                return command_route::control;
            default:
                break;
            }
        }
    } else if (same_class(name, "EDIT")) {
        if (auto* e = dynamic_cast<edit*>(object)) {
            switch (code) {
            case EN_SETFOCUS:
                e->on_got_focus();
                return command_route::control;
            case EN_KILLFOCUS:
                e->on_lost_focus();
                return command_route::control;
            case EN_CHANGE:
                e->on_text_changed();
                return command_route::control;
            default:
                break;
            }
        }
    }
    return command_route::unhandled;
}

bool route_notify(NMHDR* header, LRESULT& result)
{
    control* object = control::from_handle(header->hwndFrom);
    if (!object)
        return false;
    auto* list = dynamic_cast<listview*>(object);
    if (!list)
        return false;
    switch (header->code) {
    case NM_CLICK:
        list->on_click();
        return true;
    case NM_DBLCLK:
        list->on_double_click();
        return true;
    case NM_RCLICK:
        list->on_right_click();
        return true;
    case NM_SETFOCUS:
        list->on_got_focus();
        return true;
    case NM_CUSTOMDRAW: {
        if (!same_class(class_name_of(header->hwndFrom), "SysListView32"))
            return false;
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
        } else {
            if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
                list->on_item_prepaint(draw);
            result = CDRF_DODEFAULT;
        }
        return true;
    }
    case LVN_ITEMCHANGED:
        list->on_item_changed(reinterpret_cast<NMLISTVIEW*>(header)->iItem);
        return true;
    case LVN_COLUMNCLICK:
        if (auto* report = dynamic_cast<listview_report*>(list)) {
            report->on_column_click(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
            return true;
        }
        return false;
    case LVN_BEGINDRAG:
        list->on_begin_drag(reinterpret_cast<NMLISTVIEW*>(header)->iItem);
        return true;
    case LVN_GETDISPINFOA:
        list->get_display_info(reinterpret_cast<NMLVDISPINFOA*>(header));
        return true;
    default:
        return false;
    }
}

HBRUSH route_ctl_color(HWND control_window, HDC dc)
{
    auto* object = dynamic_cast<child*>(control::from_handle(control_window));
    return object ? object->on_ctl_color(dc) : nullptr;
}

bool route_draw_item(DRAWITEMSTRUCT* data)
{
    if (data->CtlType == ODT_MENU)
        return false;
    auto* object = dynamic_cast<child*>(control::from_handle(data->hwndItem));
    return object ? object->on_draw_item(data) : false;
}

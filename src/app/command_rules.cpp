// The enabling rules of the commands over the facts of the panes.
#include "app/command_rules.h"

command_states command_states_for(const pane_facts& f)
{
    command_states s{};
    bool dual = f.dual;
    bool differ = dual && f.paths_differ;
    bool either_local = f.source_local || (dual && f.target_local);
    s[rule_dual_window] = dual;
    s[rule_hide_system_files] = f.hide_system_files;
    s[rule_root_directory] = f.source_below_root;
    s[rule_parent_directory] = f.source_below_root;
    s[rule_select_newer] = differ;
    s[rule_make_file] = f.source_local;
    s[rule_programs] = f.manual_programs > 0 && f.source_local && (!dual || f.target_local);

    if (f.marked >= 2) {
        bool across = differ && either_local;
        s[rule_copy] = across;
        s[rule_move] = across;
        s[rule_delete] = true;
        s[rule_rename] = false;
        s[rule_attribute] = f.source_local;
        s[rule_timestamp] = f.source_local;
        return s;
    }
    if (!f.has_row)
        return s;
    std::string_view a = f.row_attributes;
    bool system = a.size() > 0 && a[0] == 's';
    bool hidden = a.size() > 1 && a[1] == 'h';
    bool read_only = a.size() > 2 && a[2] == 'r';
    bool inside = dual && f.row_is_dir && f.row_holds_target;
    bool plain = !system && !hidden;
    // With one pane, copy is the copy under a new name beside the original.
    bool across = differ && !inside && either_local;
    s[rule_copy] = plain && (dual ? across : f.source_local);
    s[rule_move] = plain && dual && across;
    s[rule_delete] = plain;
    s[rule_rename] = plain;
    s[rule_attribute] = f.source_local;
    s[rule_timestamp] = f.source_local && !f.row_is_dir && plain && !read_only;
    return s;
}

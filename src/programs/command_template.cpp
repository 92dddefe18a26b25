// Expansion of a program's parameter template against the two panes.
#include "programs/command_template.h"

#include "base/cp932.h"

#include <string_view>

namespace {

bool is_ftp(const std::string& path)
{
    return path.compare(0, 4, "ftp:") == 0;
}

std::string full_name(const template_entry& e)
{
    return e.ext.empty() ? e.name : e.name + "." + e.ext;
}

enum class file_form { full_path, name, bare_name };

class expansion {
public:
    explicit expansion(const template_inputs& in) : in_(in) {}

    template_result run()
    {
        const std::string& t = in_.text;
        std::size_t i = 0;
        while (i < t.size() && result_.status == template_status::expanded) {
            if (t[i] != '?') {
                result_.text += t[i++];
            } else {
                i += macro(std::string_view(t).substr(i));
            }
            if (result_.text.size() > max_command_text)
                result_.status = template_status::too_long;
        }
        if (result_.status != template_status::expanded)
            result_ = template_result{result_.status, {}, {}, {}};
        return result_;
    }

private:
    // Expands the macro at the start of `m` (which begins with "?"); returns the bytes it took.
    // A macro cut short by the end of the text stays as it is.
    std::size_t macro(std::string_view m)
    {
        std::string& out = result_.text;
        const bool target_gone = in_.two_panes && is_ftp(in_.target.path);
        const char kind = m.size() > 1 ? m[1] : '\0';
        if (kind == '\\') {
            // Removed after a space or a backslash (not the trail byte of a double-byte letter).
            bool after_separator = !out.empty() && (out.back() == ' ' || out.back() == '\\') &&
                                   !is_trail_byte_at(out, out.size() - 1);
            if (!after_separator)
                out += '\\';
            return 2;
        }
        if (m.size() < 3 || (kind != 'D' && kind != 'F' && kind != 'f' && kind != 'n')) {
            out += '?';
            return 1;
        }
        const char which = m[2];
        if (kind == 'D') {
            if (which == '1' || !in_.two_panes)
                out += directory_form(in_.source.path);
            else if (!target_gone)
                out += directory_form(in_.target.path);
        } else if (kind == 'F') {
            if (which == '1')
                file(in_.source, file_form::full_path, true);
            else if (!in_.two_panes)
                typed_path();
            else if (!target_gone)
                file(in_.target, file_form::full_path, false);
        } else if (kind == 'f' && which == '0') {
            typed_name();
        } else if (kind == 'f' && which == '1') {
            file(in_.source, file_form::name, true);
        } else if (kind == 'f' && which == '2') {
            if (!in_.two_panes)
                typed_name();
            else if (!target_gone)
                file(in_.target, file_form::name, false);
        } else if (kind == 'n' && which == '1') {
            file(in_.source, file_form::bare_name, true);
        } else {
            out += '?';
            return 1;
        }
        return 3;
    }

    // The next name the user typed; without one, the expansion stops to ask for it.
    const std::string* next_name()
    {
        if (names_used_ < in_.names.size())
            return &in_.names[names_used_++];
        result_.status = template_status::ask_name;
        return nullptr;
    }

    void typed_name()
    {
        if (const std::string* n = next_name())
            result_.text += *n;
    }

    void typed_path()
    {
        std::string dir = directory_form(in_.source.path);
        if (dir.empty() || dir.back() != '\\' || is_trail_byte_at(dir, dir.size() - 1))
            dir += '\\';
        if (const std::string* n = next_name())
            result_.text += dir + *n;
    }

    void file(const template_pane& pane, file_form form, bool source)
    {
        const template_entry* e = nullptr;
        if (source && in_.opened) {
            e = &*in_.opened;
        } else if (pane.marked.size() >= 2) {
            std::string& list = source ? result_.list1 : result_.list2;
            // The first macro that refers to the list decides its lines; later ones reuse it.
            if (list.empty())
                for (const auto& m : pane.marked)
                    list += "\"" + (form == file_form::full_path ? pane.path : "") + full_name(m) + "\"\r\n";
            result_.text += "@" + in_.temp_dir + (source ? "kv_rsp1.tmp" : "kv_rsp2.tmp");
            return;
        } else if (pane.marked.size() == 1) {
            e = &pane.marked[0];
        } else if (pane.cursor) {
            e = &*pane.cursor;
        }
        if (!e)
            return; // an empty pane: the macro goes
        std::string prefix = form == file_form::full_path ? pane.path : "";
        if (full_name(*e) == "..") {
            if (const std::string* n = next_name())
                result_.text += prefix + *n;
            return;
        }
        result_.text += prefix + (form == file_form::bare_name ? e->name : full_name(*e));
    }

    const template_inputs& in_;
    template_result result_;
    std::size_t names_used_ = 0;
};

} // namespace

std::string directory_form(const std::string& path)
{
    auto sep = [&](std::size_t k) { return k < path.size() && (path[k] == '/' || path[k] == '\\'); };
    if (path.size() == 3 && path[1] == ':' && sep(2))
        return path;
    if (sep(0) && sep(1)) {
        // A share root is //server/share/ and nothing after it.
        std::size_t server_end = mbs_find(path, '/', 2);
        std::size_t share_end =
            server_end == std::string::npos ? server_end : mbs_find(path, '/', server_end + 1);
        if (share_end != std::string::npos && share_end + 1 == path.size())
            return path;
    }
    std::string dir = path;
    if (!dir.empty() && (dir.back() == '/' || dir.back() == '\\') && !is_trail_byte_at(dir, dir.size() - 1))
        dir.pop_back();
    return dir;
}

template_result expand_template(const template_inputs& in)
{
    return expansion(in).run();
}

std::optional<library_call> split_library_call(const std::string& program)
{
    constexpr std::string_view marker = ".dll/";
    for (std::size_t i = 0; i + marker.size() <= program.size(); ++i)
        if (equal_text_nocase(std::string_view(program).substr(i, marker.size()), marker))
            return library_call{program.substr(0, i + 4), program.substr(i + marker.size())};
    return std::nullopt;
}

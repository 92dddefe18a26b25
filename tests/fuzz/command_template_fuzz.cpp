// Parameter templates: whatever the bytes and pane facts, a run ends, never exceeds 255 bytes,
// and a list file is named in the text whenever it has lines to hold.
#include "programs/command_template.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const unsigned flags = data[0];
    template_inputs in;
    in.text.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    in.two_panes = flags & 1;
    in.source = {flags & 2 ? "C:/" : "//s/sh/d/", {}, template_entry{"a", "txt"}};
    in.target = {flags & 4 ? "ftp://h/" : "D:/t/", {}, template_entry{"..", ""}};
    for (unsigned i = 0; i < ((flags >> 3) & 3); ++i) {
        in.source.marked.push_back({"m" + std::to_string(i), "c"});
        in.target.marked.push_back({"n" + std::to_string(i), ""});
    }
    if (flags & 32)
        in.opened = template_entry{"o", "zip"};
    in.temp_dir = "T/";
    template_result r = expand_template(in);
    // Each asking macro takes one name: the asks end within the template's length.
    while (r.status == template_status::ask_name) {
        if (in.names.size() > in.text.size())
            std::abort();
        in.names.push_back(flags & 64 ? "" : "name");
        r = expand_template(in);
    }
    if (r.text.size() > max_command_text || (r.status == template_status::too_long && !r.text.empty()))
        std::abort();
    if ((!r.list1.empty() && r.text.find("kv_rsp1.tmp") == std::string::npos) ||
        (!r.list2.empty() && r.text.find("kv_rsp2.tmp") == std::string::npos))
        std::abort();
    return 0;
}

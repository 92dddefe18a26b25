// The macros of a program's parameter template (?D1 ?D2 ?F1 ?F2 ?f0 ?f1 ?f2 ?n1 ?\) expanded
// against the two panes: a pure function, the caller asks for names and writes the list files.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The command line a library or the shell receives holds at most this many bytes.
constexpr std::size_t max_command_text = 255;

// One row as the template sees it: its name and extension columns.
struct template_entry {
    std::string name;
    std::string ext;
};

struct template_pane {
    std::string path;                   // forward slashes, ending in "/"; an FTP location begins with "ftp:"
    std::vector<template_entry> marked; // in list order
    std::optional<template_entry> cursor; // none when the pane is empty
};

struct template_inputs {
    std::string text; // the parameter after environment expansion
    template_pane source;
    template_pane target;
    bool two_panes = false;
    // Set for an extension program: the file being opened stands for every source-pane macro.
    std::optional<template_entry> opened;
    std::string temp_dir; // the temporary directory, ending in a slash
    // Names the user has typed so far, in the order the expansion asked for them.
    std::vector<std::string> names;
};

enum class template_status {
    expanded, // run it
    ask_name, // ask for one more name, append it to `names` and expand again
    too_long, // does not fit in max_command_text: nothing runs (message 30)
};

struct template_result {
    template_status status = template_status::expanded;
    std::string text;
    // What kv_rsp1.tmp (source) and kv_rsp2.tmp (target) must hold before the program runs,
    // lines ended by CR LF; empty when the expansion did not refer to that file.
    std::string list1;
    std::string list2;
};

template_result expand_template(const template_inputs& in);

// The directory form of a pane path: its trailing separator goes, except at a drive root
// ("C:/") or a share root ("//server/share/"), which keep theirs.
std::string directory_form(const std::string& path);

// An archiver library call written as "<library>.dll/<function>" (the first ".dll/", any case).
struct library_call {
    std::string library; // up to and including ".dll"
    std::string function;
};
std::optional<library_call> split_library_call(const std::string& program);

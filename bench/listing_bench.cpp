// Times reading a large directory: a bare FindFirstFileA / FindNextFileA walk against read_listing
// (scan, filter, rows, sort, information line), the memory per row, and sorting by each column.
#include "bench_clock.h"
#include "pane/local_listing_win.h"
#include "platform/process_paths.h"
#include "toolkit/module_win.h"
#include "toolkit/shell_icons_win.h"

#include <psapi.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// Processor time of this thread: unlike the clock, it does not grow while other programs run.
double cpu_ms()
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
               1e4;
    };
    return ms(kernel) + ms(user);
}

double least(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

std::size_t used_bytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.WorkingSetSize;
}

struct timing {
    double wall, cpu;
};

// The bare walk: every entry visited and its facts touched, nothing kept.
std::size_t bare_walk(const std::string& dir, std::uint64_t& checksum)
{
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((dir + "*.*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    std::size_t count = 0;
    do {
        ++count;
        checksum += data.nFileSizeLow + data.ftLastWriteTime.dwLowDateTime + data.dwFileAttributes +
                    static_cast<unsigned char>(data.cFileName[0]);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: listing_bench DIRECTORY/ [ROUNDS]\n");
        return 2;
    }
    std::string dir = argv[1];
    for (char& c : dir)
        if (c == '\\')
            c = '/';
    if (dir.back() != '/')
        dir += '/';
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    std::unique_ptr<shell_icons> icons(new shell_icons());
    set_system_icons(icons.get());
    hide_system_files() = true;

    std::uint64_t checksum = 0;
    std::size_t entries = bare_walk(dir, checksum); // brings the directory into the caches
    if (entries == 0) {
        std::fprintf(stderr, "listing_bench: nothing found in %s\n", dir.c_str());
        return 1;
    }

    // Memory of one listing, measured on the first read into a fresh pane.
    std::size_t before = used_bytes();
    auto first = std::make_unique<Pane>();
    first->path = dir;
    read_listing(*first, false);
    std::size_t after = used_bytes();
    std::size_t rows = first->rows.size();
    std::size_t text_bytes = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        const FileEntry& e = first->rows.row(i);
        // Per row: the row, its place in the order and its mark. Size, time and attributes are facts
        // inside the row: a local listing keeps no text of them.
        for (const std::string* s : {&e.name, &e.type})
            if (s->capacity() > 15)
                text_bytes += s->capacity() + 1;
    }
    first.reset();

    std::vector<double> walk_ms, read_ms, walk_cpu, read_cpu;
    Pane pane;
    pane.path = dir;
    for (int r = 0; r < rounds; ++r) {
        double t0 = now_ms(), c0 = cpu_ms();
        bare_walk(dir, checksum);
        double t1 = now_ms(), c1 = cpu_ms();
        read_listing(pane, false);
        double t2 = now_ms(), c2 = cpu_ms();
        walk_ms.push_back(t1 - t0);
        read_ms.push_back(t2 - t1);
        walk_cpu.push_back(c1 - c0);
        read_cpu.push_back(c2 - c1);
    }
    timing walk{least(walk_ms), least(walk_cpu)}, read{least(read_ms), least(read_cpu)};

    std::printf("directory            %s\n", dir.c_str());
    std::printf("entries              %zu (rows %zu)\n", entries, rows);
    std::printf("                     clock ms   processor ms   (least of %d rounds)\n", rounds);
    std::printf("bare walk            %8.1f   %12.1f\n", walk.wall, walk.cpu);
    std::printf("read_listing         %8.1f   %12.1f   (scan, filter, rows, sort, information line)\n",
                read.wall, read.cpu);
    std::printf("ratio                %8.2f   %12.2f   (goal <= 1.50)\n", read.wall / walk.wall,
                walk.cpu > 0 ? read.cpu / walk.cpu : 0.0);
    std::printf(
        "memory per row       %.0f bytes of rows and texts (%zu fixed + %.0f of texts longer than 15 "
        "bytes); working set grew by %.0f bytes per row\n",
        rows ? static_cast<double>(rows * (sizeof(FileEntry) + 5) + text_bytes) / static_cast<double>(rows)
             : 0.0,
        sizeof(FileEntry) + 5, rows ? static_cast<double>(text_bytes) / static_cast<double>(rows) : 0.0,
        rows && after > before ? static_cast<double>(after - before) / static_cast<double>(rows) : 0.0);

    static const char* column_names[] = {"name", "type", "size", "time", "attributes"};
    for (int column : {0, 2, 3, 4, 1}) {
        double t0 = now_ms(), c0 = cpu_ms();
        sort_listing(pane, column);
        double t1 = now_ms(), c1 = cpu_ms();
        sort_listing(pane, column); // the same column again: the other direction
        double t2 = now_ms(), c2 = cpu_ms();
        std::printf(
            "sort by %-12s %6.1f ms ascending (%.1f processor), %6.1f ms descending (%.1f processor)\n",
            column_names[column], t1 - t0, c1 - c0, t2 - t1, c2 - c1);
    }
    std::printf("(checksum %llu)\n", static_cast<unsigned long long>(checksum));
    set_system_icons(nullptr);
    return 0;
}

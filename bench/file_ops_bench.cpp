// Times copying one large file and many small ones: the file operation worker (direct mode, all
// rows marked, panes updated) against a bare CopyFileA loop over the same entries.
#include "bench_clock.h"
#include "fileops/file_primitives_win.h"
#include "fileops/file_rw_win.h"
#include "pane/local_listing_win.h"
#include "platform/os.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The worker as the notice dialog runs it, changes applied; -1 when it did not finish with 0.
double worker_copy(const std::string& source, const std::string& target, bool large_only)
{
    Pane active, other;
    active.index = 1;
    active.path = source;
    other.index = 2;
    other.path = target;
    read_listing(active, false);
    read_listing(other, false);
    for (std::size_t i = 0; i < active.rows.size(); ++i) {
        bool large = active.rows.row(i).name == "large";
        if (active.rows.row(i).name != ".." && large == large_only)
            active.rows.set_marked(i, true);
    }
    file_rw_job job = make_file_rw_job(copy_mode, active, &other);
    job.use_trash = false;
    double start = now_ms();
    thread_file_rw worker(job);
    if (!worker.begin())
        return -1;
    worker.join();
    int code = worker.release();
    apply_pane_changes(worker.changes(), active, &other);
    double took = now_ms() - start;
    return code == 0 ? took : -1;
}

// CopyFileA over the same entries, in the order a scan gives them.
double bare_copy(const std::string& source, const std::string& target, bool large_only)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((source + "*").c_str(), &data);
    double start = now_ms();
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = data.cFileName;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (n == "large.bin") == large_only)
                names.push_back(n);
        } while (FindNextFileA(h, &data));
        FindClose(h);
    }
    for (const auto& n : names)
        if (!CopyFileA((source + n).c_str(), (target + n).c_str(), FALSE))
            return -1;
    return now_ms() - start;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: file_ops_bench SOURCE_DIR/ WORK_DIR/\n");
        return 2;
    }
    std::string source = argv[1], work = argv[2];
    std::printf("%-34s %12s %12s\n", "", "bare (ms)", "worker (ms)");
    for (bool large : {true, false}) {
        std::string bare_dir = work + "bare/", worker_dir = work + "worker/";
        for (const auto& d : {bare_dir, worker_dir}) {
            if (dir_exists(d))
                delete_dir(d);
            make_dir(d);
        }
        // Both orders, the best of each: both read a source the page cache holds, and neither
        // always comes after the other's writes.
        double bare = 1e300, worker = 1e300;
        for (bool worker_first : {true, false}) {
            for (bool run_worker : {worker_first, !worker_first}) {
                const std::string& d = run_worker ? worker_dir : bare_dir;
                double took = run_worker ? worker_copy(source, d, large) : bare_copy(source, d, large);
                double& best = run_worker ? worker : bare;
                if (took >= 0 && took < best)
                    best = took;
                delete_dir(d);
                make_dir(d);
            }
        }
        std::printf("%-34s %12.0f %12.0f   throughput ratio %.2f\n",
                    large ? "one 1 GiB file" : "the small files", bare, worker,
                    worker > 0 ? bare / worker : 0.0);
        delete_dir(bare_dir);
        delete_dir(worker_dir);
    }
    return 0;
}

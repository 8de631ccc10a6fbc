// Reads every PE file of a folder the way `tarnwick-cli pe` does (one
// mapping per file for the tables, the resource types and the closure's first
// node) and prints files and megabytes per second, with the time of each phase.
//   pe-bench FOLDER [ROUNDS]
#include "image/ClModuleIX.h"
#include "image/ImportClosure.h"
#include "image/MappedImageFile.h"
#include "image/ResourceTypeList.h"

#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

enum Phase { Map, Tables, Resources, Closure, PhaseCount };
const char* const kPhaseNames[PhaseCount] = {"open+map", "imports+exports", "resource types", "closure"};

struct Round {
    double phase[PhaseCount] = {};
    double total = 0;
    unsigned files = 0, imports = 0, exports = 0, types = 0, nodes = 0;
    unsigned long long bytes = 0;
};

// One pass over the files; `resources` and `closure` switch those readers on.
Round Pass(const std::vector<std::string>& paths, bool resources, bool closure)
{
    Round r;
    const double start = Now();
    for (const std::string& path : paths) {
        double t = Now();
        MappedImageFile file;
        file.open(path.c_str());
        r.phase[Map] += Now() - t;
        if (!file.IsPE()) continue;
        r.bytes += file.FileSize();

        t = Now();
        ClModuleIX tables;
        tables.Load(file.View());
        for (const ImportedModule& module : tables.Imports()) r.imports += module.functions.size();
        r.exports += tables.Exports().size();
        r.phase[Tables] += Now() - t;

        if (resources) {
            t = Now();
            ResourceTypeList list;
            list.load(file.View());
            r.types += list.Entries().size();
            r.phase[Resources] += Now() - t;
        }
        if (closure) {
            t = Now();
            ImportClosure walk;
            walk.walk(path.c_str(), file.View());
            r.nodes += walk.Count();
            r.phase[Closure] += Now() - t;
        }
        t = Now();
        file.close();
        r.phase[Map] += Now() - t;
        ++r.files;
    }
    r.total = Now() - start;
    return r;
}

void Report(const char* label, const std::vector<std::string>& paths, bool resources, bool closure, int rounds)
{
    Round best;
    best.total = 1e30;
    for (int i = 0; i < rounds; ++i) {
        Round r = Pass(paths, resources, closure);
        if (r.total < best.total) best = r;
    }
    std::printf("%s: %u PE files, %.1f MB, %u imports, %u exports, %u resource types, %u closure nodes;"
                " best of %d: %.3f s, %.0f files/s, %.1f MB/s\n",
                label, best.files, best.bytes / 1048576.0, best.imports, best.exports, best.types, best.nodes,
                rounds, best.total, best.files / best.total, best.bytes / 1048576.0 / best.total);
    std::printf("  phases:");
    for (int p = 0; p < PhaseCount; ++p)
        if (best.phase[p] > 0) std::printf(" %s %.3f s;", kPhaseNames[p], best.phase[p]);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: pe-bench FOLDER [ROUNDS]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;

    std::vector<std::string> paths;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "pe-bench: cannot list %s\n", folder.c_str());
        return 1;
    }
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) paths.push_back(folder + "\\" + data.cFileName);
    } while (FindNextFileA(search, &data));
    FindClose(search);

    // Warm the file cache and the shared bindings before timing.
    Pass(paths, true, false);
    Report("tables", paths, false, false, rounds);
    Report("tables+resources", paths, true, false, rounds);
    Report("closure", paths, false, true, rounds);
    return 0;
}

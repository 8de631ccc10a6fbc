// Reads every PE file of a folder (imports, exports, resource types) and
// prints files and megabytes per second.
//   pe-bench FOLDER [ROUNDS]
#include "image/ClModuleIX.h"
#include "image/MappedImageFile.h"
#include "image/ResourceTypeList.h"

#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

    for (int withResources = 0; withResources < 2; ++withResources) {
        double bestSeconds = 1e30;
        unsigned long long bytes = 0;
        unsigned files = 0, imports = 0, exports = 0;
        for (int round = 0; round < rounds; ++round) {
            LARGE_INTEGER frequency, start, stop;
            QueryPerformanceFrequency(&frequency);
            QueryPerformanceCounter(&start);
            bytes = 0;
            files = imports = exports = 0;
            for (const std::string& path : paths) {
                MappedImageFile file;
                file.open(path.c_str());
                if (!file.IsPE()) continue;
                bytes += file.FileSize();
                file.close();
                ClModuleIX tables;
                tables.Load(path.c_str());
                for (const ImportedModule& module : tables.Imports()) imports += module.functions.size();
                exports += tables.Exports().size();
                if (withResources) {
                    ResourceTypeList resources;
                    resources.load(path.c_str());
                }
                ++files;
            }
            QueryPerformanceCounter(&stop);
            double seconds = double(stop.QuadPart - start.QuadPart) / double(frequency.QuadPart);
            if (seconds < bestSeconds) bestSeconds = seconds;
        }
        std::printf("%s: %u PE files, %.1f MB, %u imports, %u exports; best of %d: %.3f s, %.0f files/s, %.1f MB/s\n",
                    withResources ? "tables+resources" : "tables", files, bytes / 1048576.0, imports, exports,
                    rounds, bestSeconds, files / bestSeconds, bytes / 1048576.0 / bestSeconds);
    }
    return 0;
}

// Writes the seed inputs of the fuzz targets that do not take whole files:
// version resources cut out of real PE files, small built PE32 and PE32+
// images, process-list blocks of both shapes, settings records (and a live
// settings file), wildcard pairs and report values.
//   fuzz-seeds PE-FOLDER OUTPUT-FOLDER
#include "image/PeImageView.h"
#include "image/PeResourceWalker.h"
#include "tests/PeBuilder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Write(const std::string& path, const void* data, size_t size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

void Write(const std::string& path, const std::string& text)
{
    Write(path, text.data(), text.size());
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A process-list block of 0x100-byte entries at 0x10000000, names inside it.
std::vector<uint8_t> ProcessBlock(const std::vector<const char*>& names)
{
    std::vector<uint8_t> block(names.size() * 0x100, 0);
    for (size_t i = 0; i < names.size(); ++i) {
        const size_t e = i * 0x100;
        Put32(block, e, i + 1 < names.size() ? 0x100 : 0);
        Put32(block, e + 4, 3);
        Put32(block, e + 0x40, 8);
        Put32(block, e + 0x44, static_cast<uint32_t>(4 * i));
        if (!names[i]) continue;
        const size_t length = std::strlen(names[i]);
        for (size_t k = 0; k < length; ++k) block[e + 0xB8 + 2 * k] = static_cast<uint8_t>(names[i][k]);
        block[e + 0x38] = static_cast<uint8_t>(length * 2);
        block[e + 0x3A] = static_cast<uint8_t>(length * 2 + 2);
        Put32(block, e + 0x3C, static_cast<uint32_t>(0x10000000 + e + 0xB8));
    }
    return block;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz-seeds PE-FOLDER OUTPUT-FOLDER\n");
        return 2;
    }
    const std::string in = argv[1], out = argv[2];
    for (const char* sub : {"", "/pe", "/version", "/processlist", "/settings", "/live", "/wildcard", "/reporttext"})
        mkdir((out + sub).c_str(), 0755);

    std::vector<std::string> names;
    if (DIR* folder = opendir(in.c_str())) {
        while (dirent* entry = readdir(folder))
            if (entry->d_name[0] != '.') names.push_back(entry->d_name);
        closedir(folder);
    }
    int versions = 0;
    for (const std::string& name : names) {
        const int fd = open((in + "/" + name).c_str(), O_RDONLY);
        if (fd < 0) continue;
        struct stat st;
        if (fstat(fd, &st) == 0 && st.st_size > 0) {
            void* map = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (map != MAP_FAILED) {
                PeImageView view(static_cast<const uint8_t*>(map), static_cast<size_t>(st.st_size));
                const uint8_t* data = nullptr;
                size_t size = 0;
                if (PeResourceWalker(view).FirstData(16, data, size) && size) {
                    Write(out + "/version/" + name, data, size);
                    ++versions;
                }
                if (names.size() < 20 || name.find("kernel32") == 0 || name.find("msvcp") == 0) {
                    std::string text;
                    for (const ExportedFunction& function : view.ReadExports()) text += function.strName + "\n";
                    Write(out + "/reporttext/" + name + ".txt", text);
                }
                munmap(map, static_cast<size_t>(st.st_size));
            }
        }
        close(fd);
    }

    // Both kinds of PE image with every table, the wide one based above 4 GB.
    PeBuilder pe;
    pe.imports.push_back({"KERNEL32.dll", {{false, 0x1F4, "GetProcAddress"}, {true, 17, ""}}});
    pe.imports.push_back({"user32.dll", {{true, 0x1234, ""}}, false});
    pe.bHasExports = true;
    pe.exports.functions = {"f", "", "->OTHER.RealName", "f"};
    pe.exports.names = {{"First", 0}, {"Fwd", 2}, {"Last", 3}};
    pe.resourceSection = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 16, 0, 0, 0, 0, 0, 0, 0};
    for (bool wide : {false, true}) {
        pe.bPe32Plus = wide;
        pe.qwImageBase = wide ? 0x180000000ull : 0x10000000u;
        const std::vector<uint8_t> image = pe.Build();
        Write(out + (wide ? "/pe/pe32plus" : "/pe/pe32"), image.data(), image.size());
    }

    const std::vector<uint8_t> windows = ProcessBlock({nullptr, "System", "smss.exe", "csrss.exe"});
    Write(out + "/processlist/windows", windows.data(), windows.size());
    const std::vector<uint8_t> wine = ProcessBlock({"services.exe", "winedevice.exe", "explorer.exe"});
    Write(out + "/processlist/wine", wine.data(), wine.size());

    std::vector<uint8_t> record(778, 0);
    Put32(record, 0, 778);
    Put32(record, 4, 0x00020006);
    Put32(record, 8, 3);
    Write(out + "/settings/record", record.data(), record.size());
    Write(out + "/settings/header", record.data(), 12);
    Write(out + "/live/changed", std::string("update\t5\nhighlight\t0\ncolor_new\t0x00123456\n"
                                             "color_ended\t0x000000FF\ncolumn\t12\t1\t45\ncolumn\t13\t1\t70\n"
                                             "column\t14\t0\t85\ncolumn\t15\t1\t85\norder\t0\t12\t1\t2\t15\t13\n"
                                             "sort\t15\t0\ncopy\t0x00000009\n"));

    const char* const pairs[][2] = {
        {"*.dll", "kernel32.dll"}, {"[a-c]*.dll", "comctl32.dll"}, {"[!a-c]*", "gdi32.dll"},
        {"user3?.dll", "user32.dll"}, {"a\\*b", "a*b"}, {"*/x", "a/x"}, {"[]]x", "]x"},
        {"*a*a*a*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"},
    };
    int n = 0;
    for (const auto& pair : pairs) {
        std::string input = std::string(pair[0]) + '\0' + pair[1];
        Write(out + "/wildcard/" + std::to_string(n++), input);
    }
    Write(out + "/reporttext/values", std::string("\"C:\\a b\\x.exe\" --x=<1> & 'y'\r\nName: forged\x01\x1b[31m -- a--b- %#?\xe9\xff"));
    std::printf("fuzz-seeds: %d version resources from %zu files\n", versions, names.size());
    return 0;
}

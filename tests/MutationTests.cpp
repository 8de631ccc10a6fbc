#include <doctest/doctest.h>

#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "image/PeImageView.h"

#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

// Mutations of real DLLs through the console tool: truncated at header
// boundaries and in the middle, header bytes flipped, section and directory
// fields set to huge values, resource directories made hostile. Generated
// here, the same every run.
namespace {

const char kWineFolder[] = "Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\";

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
    }
    std::fclose(file);
    return bytes;
}

void Put(std::vector<uint8_t>& image, size_t offset, uint32_t value, int width)
{
    for (int i = 0; i < width && offset + i < image.size(); ++i)
        image[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t Get32(const std::vector<uint8_t>& image, size_t offset)
{
    uint32_t value = 0;
    for (int i = 0; i < 4 && offset + i < image.size(); ++i) value |= uint32_t(image[offset + i]) << (8 * i);
    return value;
}

// The mutations of one well-formed PE file.
std::vector<std::vector<uint8_t>> Mutations(const std::vector<uint8_t>& good, uint32_t seed)
{
    std::vector<std::vector<uint8_t>> out;
    PeImageView view(good.data(), good.size());
    if (!view.IsPE()) return out;
    const size_t nt = static_cast<size_t>(view.HeaderOffset());
    const size_t sections = nt + 24 + view.SizeOfOptionalHeader();
    const size_t tableEnd = sections + 40 * size_t(view.NumberOfSections());
    auto truncated = [&](size_t length) {
        out.emplace_back(good.begin(), good.begin() + std::min(length, good.size()));
    };
    auto patched = [&](size_t offset, uint32_t value, int width) {
        out.push_back(good);
        Put(out.back(), offset, value, width);
    };

    for (size_t cut : {size_t(64), nt + 4, nt + 24 + 40, sections, tableEnd, tableEnd + 3, good.size() / 2,
                       good.size() - 1})
        truncated(cut);
    patched(nt + 20, 0xFFFF, 2);  // SizeOfOptionalHeader
    patched(nt + 6, 0xFFFF, 2);   // NumberOfSections
    patched(0x3C, static_cast<uint32_t>(good.size() - 2), 4);  // e_lfanew at the very end
    for (size_t field : {size_t(8), size_t(16), size_t(20), size_t(12)})  // sizes, raw pointer, address
        patched(sections + field, 0xFFFFFFF0u, 4);
    for (unsigned directory : {0u, 1u, 2u}) {
        patched(nt + 0x78 + 8 * directory, 0xFFFFFFF0u, 4);  // RVA far away
        patched(nt + 0x78 + 8 * directory + 4, 0xFFFFFFFFu, 4);  // size huge
        patched(nt + 0x78 + 8 * directory, 0x40, 4);  // the headers
    }
    // Flipped header bytes, at positions the seed picks.
    uint32_t state = seed * 2654435761u + 1;
    for (int i = 0; i < 6; ++i) {
        state = state * 1103515245u + 12345u;
        const size_t at = (state >> 8) % std::min<size_t>(good.size(), tableEnd + 64);
        out.push_back(good);
        out.back()[at] ^= static_cast<uint8_t>(1u << ((state >> 4) & 7));
    }
    // Hostile resource directories.
    if (const uint8_t* root = view.DirectoryPointer(2)) {
        const size_t at = static_cast<size_t>(root - good.data());
        truncated(at + 20);
        patched(at + 12, 0xFFFFFFFFu, 4);                       // counts beyond the section
        patched(at + 20, 0x80000000u, 4);                       // first type refers to the root
        patched(at + 16, 0xFFFFFFF0u, 4);                       // first name far away
        const uint32_t first = Get32(good, at + 20) & 0x7FFFFFFF;
        patched(at + first + 12, 0xFFFFFFFFu, 4);               // names beyond the section
    }
    // Import descriptors with names and thunks out of reach.
    if (const uint8_t* imports = view.DirectoryPointer(1)) {
        const size_t at = static_cast<size_t>(imports - good.data());
        patched(at + 12, 0x7FFFFFF0u, 4);
        patched(at + 0, Get32(good, nt + 0x80), 4);  // thunks that are the descriptors
        patched(at + 16, 0xFFFFFFFFu, 4);
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text, const std::string& prefix)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (text.compare(start, prefix.size(), prefix) == 0) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace

TEST_SUITE("image files")
{
    TEST_CASE("mutated Wine libraries never make the console tool fault")
    {
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA((std::string(kWineFolder) + "*.dll").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) {
            MESSAGE("Wine's library folder is not visible; skipped");
            return;
        }
        // Small libraries, every seventh by name: the same choice every run.
        std::vector<std::string> names;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && data.nFileSizeLow < 160 * 1024)
                names.push_back(data.cFileName);
        } while (FindNextFileA(search, &data));
        FindClose(search);
        std::sort(names.begin(), names.end());

        const std::string folder = TestPaths::MakeScratchFolder("mut");
        std::vector<std::string> files;
        for (size_t i = 0; i < names.size() && files.size() < 400; i += 7) {
            const std::vector<uint8_t> good = ReadFileBytes(kWineFolder + names[i]);
            uint32_t n = 0;
            for (const std::vector<uint8_t>& mutation : Mutations(good, static_cast<uint32_t>(i))) {
                char name[32];
                snprintf(name, sizeof(name), "\\m%03u-%02u.dll", static_cast<unsigned>(i), n++);
                REQUIRE(TestPaths::WriteFile(folder + name, mutation.data(), mutation.size()));
                files.push_back(folder + name);
            }
        }
        REQUIRE(files.size() > 200);

        const std::string cli = ConsoleTool();
        size_t listed = 0;
        for (size_t start = 0; start < files.size(); start += 100) {
            std::string command = cli + " pe --closure";
            const size_t end = std::min(files.size(), start + 100);
            for (size_t i = start; i < end; ++i) command += " \"" + files[i] + "\"";
            std::string out;
            DWORD exitCode = 99;
            REQUIRE(RunAndCapture(command, out, exitCode));
            CAPTURE(files[start]);
            CHECK((exitCode == 0 || exitCode == 1));
            const std::vector<std::string> fileLines = Lines(out, "file\t");
            CHECK(fileLines.size() == end - start);
            CHECK(Lines(out, "closure\t").size() == end - start);
            listed += fileLines.size();
        }
        CHECK(listed == files.size());
        TestPaths::RemoveTree(folder);
    }
}

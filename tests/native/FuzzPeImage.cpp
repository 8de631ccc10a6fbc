// libFuzzer entry: every table of an arbitrary file is read without a fault.
#include "image/PeImageView.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so that any read past the end is caught.
    std::vector<uint8_t> copy(data, data + size);
    PeImageView view(copy.data(), copy.size());
    view.ReadImports([](const std::string& name, size_t) { return name; });
    view.ReadExports();
    view.ImportedDllNames();
    PeSection section;
    view.SectionByName(".edata", section);
    uint32_t base;
    view.ImageBase(base);
    return 0;
}

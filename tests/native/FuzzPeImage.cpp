// libFuzzer entry: every table of an arbitrary file is read without a fault:
// imports, exports, the closure's DLL names and the resource directory.
#include "image/PeImageView.h"
#include "image/PeResourceWalker.h"

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
    PeResourceWalker resources(view);
    for (const PeResourceType& type : resources.Types())
        if (type.bNumeric && type.nCount == 0xFFFFFFFFu) __builtin_trap();  // counts come from 16-bit fields
    const uint8_t* bytes = nullptr;
    size_t length = 0;
    if (resources.FirstData(16, bytes, length) && (bytes < copy.data() || bytes + length > copy.data() + copy.size()))
        __builtin_trap();
    return 0;
}

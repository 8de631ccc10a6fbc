// libFuzzer entry: the icon decoder on arbitrary bytes as every icon type;
// the decoder's own memory cap stays in force.
#include "launchers/IconDecoder.h"
#include "launchers/SearchEngine.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so that any read past the end is caught.
    std::vector<uint8_t> copy(data, data + size);
    for (uint32_t type : {SearchEngine::IconPng, SearchEngine::IconIco, SearchEngine::IconGif}) {
        IconImage icon;
        IconDecoder::Decode(copy.data(), copy.size(), type, icon);
        if (IconDecoder::LastLibraryPeak() > IconDecoder::kMaxLibraryMemory) std::abort();
        if (!icon.Empty() && icon.pixels.size() != 16 * 16) std::abort();
    }
    return 0;
}

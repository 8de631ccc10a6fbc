#pragma once

#include "image/PeImageView.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One resource type of an image: its number or name, and how many resources
// (entries of its name directory) it holds.
struct PeResourceType {
    bool bNumeric;
    uint16_t wId;           // numeric types
    std::u16string name;    // named types
    uint32_t nCount;
};

// Walks the resource directory of a PE image in the order it is stored, the
// way the system's resource enumeration does. Every offset and count is
// checked against the file; the walk only ever goes two levels deep, so a
// directory that refers to itself cannot make it loop. Bad entries end the
// walk with what was read so far. No OS calls.
class PeResourceWalker {
public:
    explicit PeResourceWalker(const PeImageView& view);

    // Types in directory order (named entries first in a well-formed file).
    std::vector<PeResourceType> Types() const;

    // Bytes of the first resource of a numeric type (first name, first
    // language); false when there is none or it lies outside the file.
    bool FirstData(uint16_t typeId, const uint8_t*& data, size_t& size) const;

private:
    bool U16(size_t offset, uint16_t& value) const;
    bool U32(size_t offset, uint32_t& value) const;
    // Number of entries of the directory at `offset` that lie inside the file.
    uint32_t EntryCount(size_t offset) const;

    const PeImageView& view;
    const uint8_t* root;  // the directory's first byte in the file, or null
    size_t limit;         // bytes from root to the end of the file
};

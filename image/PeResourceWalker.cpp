#include "image/PeResourceWalker.h"

namespace {
const unsigned kResourceDirectory = 2;
const size_t kDirectoryHeader = 16;
const size_t kEntrySize = 8;
const uint32_t kHighBit = 0x80000000u;
} // namespace

PeResourceWalker::PeResourceWalker(const PeImageView& view) : view(view), root(nullptr), limit(0)
{
    if (!view.IsPE()) return;
    // Offsets inside the directory count from its first byte, wherever the
    // section ends: the loader reads them that way too.
    root = view.DirectoryPointer(kResourceDirectory);
    limit = view.Available(root);
    if (limit < kDirectoryHeader) {
        root = nullptr;
        limit = 0;
    }
}

bool PeResourceWalker::U16(size_t offset, uint16_t& value) const
{
    if (!root || offset > limit || limit - offset < 2) return false;
    value = static_cast<uint16_t>(root[offset] | (root[offset + 1] << 8));
    return true;
}

bool PeResourceWalker::U32(size_t offset, uint32_t& value) const
{
    if (!root || offset > limit || limit - offset < 4) return false;
    value = uint32_t(root[offset]) | (uint32_t(root[offset + 1]) << 8) | (uint32_t(root[offset + 2]) << 16)
          | (uint32_t(root[offset + 3]) << 24);
    return true;
}

uint32_t PeResourceWalker::EntryCount(size_t offset) const
{
    uint16_t named = 0, ids = 0;
    if (!U16(offset + 12, named) || !U16(offset + 14, ids)) return 0;
    const size_t stated = size_t(named) + ids;
    const size_t room = (limit - offset - kDirectoryHeader) / kEntrySize;
    return static_cast<uint32_t>(stated < room ? stated : room);
}

std::vector<PeResourceType> PeResourceWalker::Types() const
{
    std::vector<PeResourceType> types;
    const uint32_t count = EntryCount(0);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = kDirectoryHeader + size_t(i) * kEntrySize;
        uint32_t nameField = 0, dataField = 0;
        if (!U32(entry, nameField) || !U32(entry + 4, dataField)) break;

        PeResourceType type;
        type.bNumeric = !(nameField & kHighBit);
        type.wId = 0;
        if (type.bNumeric) {
            type.wId = static_cast<uint16_t>(nameField);
        } else {
            const size_t at = nameField & ~kHighBit;
            uint16_t length = 0;
            if (!U16(at, length) || (limit - at - 2) / 2 < length) break;  // the name runs off the end
            type.name.reserve(length);
            for (uint16_t k = 0; k < length; ++k)
                type.name.push_back(static_cast<char16_t>(root[at + 2 + 2 * k] | (root[at + 3 + 2 * k] << 8)));
        }
        // The names of the type: its subdirectory's entries. The loader takes
        // the offset as a directory whatever its top bit says.
        const size_t names = dataField & ~kHighBit;
        type.nCount = names <= limit && limit - names >= kDirectoryHeader ? EntryCount(names) : 0;
        types.push_back(type);
    }
    return types;
}

bool PeResourceWalker::FirstData(uint16_t typeId, const uint8_t*& data, size_t& size) const
{
    data = nullptr;
    size = 0;
    const uint32_t count = EntryCount(0);
    size_t directory = 0;
    bool found = false;
    for (uint32_t i = 0; i < count && !found; ++i) {
        const size_t entry = kDirectoryHeader + size_t(i) * kEntrySize;
        uint32_t nameField = 0, dataField = 0;
        if (!U32(entry, nameField) || !U32(entry + 4, dataField)) return false;
        if ((nameField & kHighBit) || static_cast<uint16_t>(nameField) != typeId) continue;
        if (!(dataField & kHighBit)) return false;
        directory = dataField & ~kHighBit;
        found = true;
    }
    if (!found) return false;
    // Name level, then language level: the first entry of each.
    for (int level = 0; level < 2; ++level) {
        if (directory > limit || limit - directory < kDirectoryHeader || EntryCount(directory) == 0) return false;
        uint32_t dataField = 0;
        if (!U32(directory + kDirectoryHeader + 4, dataField)) return false;
        const bool isDirectory = (dataField & kHighBit) != 0;
        if (isDirectory != (level == 0)) return false;
        directory = dataField & ~kHighBit;
    }
    uint32_t rva = 0, length = 0;
    if (!U32(directory, rva) || !U32(directory + 4, length)) return false;
    const uint8_t* bytes = view.PointerFromRva(rva);
    const size_t available = view.Available(bytes);
    if (!bytes || available == 0) return false;
    data = bytes;
    size = length < available ? length : available;
    return true;
}

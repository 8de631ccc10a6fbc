#include "image/ResourceTypeList.h"

#include "image/MappedImageFile.h"
#include "image/PeResourceWalker.h"
#include "sysinfo/AnsiText.h"
#include "sysinfo/GuardedCall.h"

#include <cstdio>

std::string ResourceTypeList::TypeName(uint32_t id)
{
    static const char* const kNames[] = {
        nullptr,          "RT_CURSOR",      "RT_BITMAP",        "RT_ICON",     "RT_MENU",
        "RT_DIALOG",      "RT_STRING",      "RT_FONTDIR",       "RT_FONT",     "RT_ACCELERATOR",
        "RT_RCDATA",      "RT_MESSAGETABLE", "RT_GROUP_CURSOR", nullptr,       "RT_GROUP_ICON",
        nullptr,          "RT_VERSION",     "RT_DLGINCLUDE",    nullptr,       "RT_PLUGPLAY",
        "RT_VXD",         "RT_ANICURSOR",   "RT_ANIICON",       "RT_HTML",     "RT_MANIFEST",
    };
    if (id < sizeof(kNames) / sizeof(kNames[0]) && kNames[id]) return kNames[id];
    char text[40];
    snprintf(text, sizeof(text), "RT_UNKNOWN(ID: %d)", static_cast<int>(id));
    return text;
}

bool ResourceTypeList::load(const char* path)
{
    if (!path || !*path) return false;
    MappedImageFile file;
    file.open(path);
    if (!file.IsPE()) return false;
    return load(file.View());
}

bool ResourceTypeList::load(const PeImageView& image)
{
    entries.clear();
    std::vector<PeResourceType> types;
    // A file cut short under the mapping faults on reading; it then has no types.
    if (!GuardedCall::Invoke([&] { types = PeResourceWalker(image).Types(); })) types.clear();
    entries.reserve(types.size());
    for (const PeResourceType& type : types) {
        ResourceTypeEntry entry;
        entry.bIsNumeric = type.bNumeric ? 1 : 0;
        entry.dwId = type.bNumeric ? type.wId : 0;
        entry.strName = type.bNumeric ? TypeName(type.wId) : AnsiText::FromUtf16(type.name);
        entry.nCount = type.nCount;
        entries.push_back(entry);
    }
    return !entries.empty();
}

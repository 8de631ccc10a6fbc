// libFuzzer entry: the settings file's acceptance check on arbitrary bytes.
#include "app/settings/SettingsRecordCheck.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> copy(data, data + size);
    uint8_t record[SettingsRecordCheck::kSize];
    std::memset(record, 0, sizeof(record));
    const uint32_t header[3] = {SettingsRecordCheck::kSize, SettingsRecordCheck::kVersion, SettingsRecordCheck::kRevision};
    std::memcpy(record, header, sizeof(header));
    uint8_t before[sizeof(record)];
    std::memcpy(before, record, sizeof(record));
    const bool accepted = SettingsRecordCheck::Apply(copy.data(), copy.size(), record);
    uint32_t words[3];
    std::memcpy(words, record, sizeof(words));
    if (accepted && (words[1] != SettingsRecordCheck::kVersion || words[2] > SettingsRecordCheck::kRevision
                     || words[0] > SettingsRecordCheck::kSize))
        __builtin_trap();
    if (!accepted && std::memcmp(before, record, sizeof(record)) != 0) __builtin_trap();
    return 0;
}

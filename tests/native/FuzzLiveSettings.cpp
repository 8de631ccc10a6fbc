// libFuzzer entry: the live settings file on arbitrary bytes. Whatever is
// read stays in range, and what is written reads back the same.
#include "app/settings/LiveSettingsFormat.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> copy(data, data + size);
    LiveSettings settings;
    LiveSettingsFormat::SetDefaults(settings);
    LiveSettingsFormat::Parse(copy.data(), copy.size(), settings);
    if (!LiveSettingsFormat::IsUpdateSpeed(settings.nUpdateSeconds) || settings.bHighlightChanges > 1
        || settings.crNewProcesses > 0xFFFFFF || settings.crEndedProcesses > 0xFFFFFF || settings.dwCopyColumns > 0xF
        || settings.nColumnOrderCount > LiveSettings::kAllColumns)
        __builtin_trap();
    bool seen[LiveSettings::kAllColumns] = {};
    for (uint32_t i = 0; i < settings.nColumnOrderCount; ++i) {
        const uint32_t id = settings.anColumnOrder[i];
        if (id >= LiveSettings::kAllColumns || seen[id]) __builtin_trap();
        seen[id] = true;
    }
    for (const LiveColumn& column : settings.aColumns)
        if (column.bVisible > 1 || column.nWidth > LiveSettingsFormat::kMaxWidth) __builtin_trap();
    if (settings.nSortColumn != LiveSettings::kNoSortColumn && !LiveSettings::IsLiveColumn(settings.nSortColumn))
        __builtin_trap();

    const std::string written = LiveSettingsFormat::Write(settings);
    LiveSettings again;
    LiveSettingsFormat::SetDefaults(again);
    LiveSettingsFormat::Parse(written.data(), written.size(), again);
    if (LiveSettingsFormat::Write(again) != written) __builtin_trap();
    return 0;
}

// libFuzzer entry: plug-in records and names from arbitrary bytes are judged
// quietly; the menu numbering stays within its ids.
#include "app/pluginhost/PluginMenuFilter.h"
#include "app/pluginhost/PluginRecordCheck.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> copy(data, data + size);
    PluginRecordFields fields;
    if (!PluginRecordCheck::Decode(copy.data(), copy.size(), fields)) return 0;
    // The rest of the input: names, NUL-separated, as a plug-in might give them.
    std::vector<std::string> names;
    std::string current;
    for (size_t i = 17; i < copy.size() && names.size() < 64; ++i) {
        if (copy[i] == 0) {
            names.push_back(current);
            current.clear();
        } else if (current.size() < PluginRecordCheck::kMaxNameLength) {
            current += static_cast<char>(copy[i]);
        }
    }
    fields.strName = current;
    const PluginVerdict verdict = PluginRecordCheck::Judge(fields, names);
    if (!PluginRecordCheck::Name(verdict)) __builtin_trap();

    std::vector<PluginMenuFilter::Candidate> candidates;
    for (size_t i = 0; i < copy.size() && i < 1500; ++i)
        candidates.push_back(PluginMenuFilter::Candidate{static_cast<uint8_t>(copy[i] & 3), (copy[i] & 4) != 0});
    for (bool modules : {false, true})
        for (const PluginMenuFilter::Item& item : PluginMenuFilter::Items(candidates, modules)) {
            if (item.nCommand < PluginMenuFilter::kFirstCommand || item.nCommand > PluginMenuFilter::kLastCommand)
                __builtin_trap();
            if (PluginMenuFilter::IndexForCommand(candidates, modules, item.nCommand) != static_cast<int>(item.nIndex))
                __builtin_trap();
        }
    return 0;
}

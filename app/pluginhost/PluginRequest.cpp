#include "app/pluginhost/PluginRequest.h"

namespace {
bool HasFile(const PluginRequest::Item& item)
{
    return !item.bIdleOrSystem && !item.strPath.empty() && item.strPath != "...";
}
} // namespace

bool PluginRequest::Build(Source source, uint8_t kind, const std::vector<Item>& selection)
{
    pids.clear();
    paths.clear();
    if (kind != 1 && kind != 2) return false;
    if (source == ModuleList && kind != 2) return false;
    const size_t count = source == ProcessTree ? (selection.empty() ? 0 : 1) : selection.size();
    for (size_t i = 0; i < count; ++i) {
        const Item& item = selection[i];
        if (kind == 1) pids.push_back(item.dwProcessId);
        else if (source == ModuleList ? !item.strPath.empty() : HasFile(item)) paths.push_back(item.strPath);
    }
    return !pids.empty() || !paths.empty();
}

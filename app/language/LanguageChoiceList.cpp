#include "app/language/LanguageChoiceList.h"

std::vector<LanguageChoiceList::Item> LanguageChoiceList::Build(const std::vector<Module>& modules,
                                                                  uintptr_t program, uintptr_t current,
                                                                  int* selected)
{
    std::vector<Item> items;
    items.push_back(Item{-1, 0, kProgramLanguage, program});
    int chosen = 0;
    for (size_t i = 0; i < modules.size(); ++i) {
        const Module& module = modules[i];
        if (!module.bInfoOk || !module.bInstalled) continue;
        if (module.hModule && module.hModule == current) chosen = static_cast<int>(items.size());
        items.push_back(Item{static_cast<int>(i), ImageOf(i), module.wLanguageId, module.hModule});
    }
    if (selected) *selected = chosen;
    return items;
}

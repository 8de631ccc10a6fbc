#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The entries of the choose-language list; no OS calls. Entry 0 is the
// program's own English; then each module whose language is installed.
class LanguageChoiceList {
public:
    struct Module {
        bool bInfoOk = false;   // language id and module handle were given
        uint16_t wLanguageId = 0;
        bool bInstalled = false;
        uintptr_t hModule = 0;
    };
    struct Item {
        int nModule;            // -1: the program's own language
        int nImage;
        uint16_t wLanguageId;
        uintptr_t data;         // the module handle, or the program's instance
    };

    static constexpr uint16_t kProgramLanguage = 1033;

    // Image 0 is the program's icon; module i always owns image i + 1 (a
    // placeholder when it gave no icon), so later flags never shift.
    static int ImageOf(size_t moduleIndex) { return static_cast<int>(moduleIndex) + 1; }

    // The items in order; *selected receives the item of the current
    // resource module (0 when none matches).
    static std::vector<Item> Build(const std::vector<Module>& modules, uintptr_t program, uintptr_t current,
                                   int* selected);
};

#pragma once

#include "launchers/IconImage.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One search engine: the query that a search-plugin file describes and the
// icon found beside it. The parts of the address (action, user parameter,
// inputs) are UTF-8 from the file to the browser; name and description are
// for menus and lists, in the system code page once loaded from a file.
class SearchEngine {
public:
    enum IconType : uint32_t { IconNone = 0, IconGif = 2, IconJpeg = 3, IconPng = 4, IconIco = 5 };

    // The longest action address (bytes of UTF-8) and the most fixed inputs.
    static constexpr size_t kMaxAddress = 2048;
    static constexpr size_t kMaxInputs = 64;

    void Clear();
    // Name, description, action and user parameter are set, the action is an
    // http:// or https:// address of at most kMaxAddress bytes, and there are
    // at most kMaxInputs fixed inputs.
    bool IsValid() const;
    static bool IsWebAddress(const std::string& action);

    std::string strName;
    std::string strDescription;
    std::string strAction;
    std::string strUserParam;
    std::vector<std::pair<std::string, std::string>> aInputs;
    std::string strSourceFile;
    std::string strIconFile;
    uint32_t nIconType = IconNone;
    IconImage image;
};

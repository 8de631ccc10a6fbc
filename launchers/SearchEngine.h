#pragma once

#include "launchers/IconImage.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One search engine: the query that a search-plugin file describes and the
// icon found beside it.
class SearchEngine {
public:
    enum IconType : uint32_t { IconNone = 0, IconGif = 2, IconJpeg = 3, IconPng = 4, IconIco = 5 };

    void Clear();
    // Name, description, action and user parameter are set, and the action
    // is an http:// or https:// address.
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

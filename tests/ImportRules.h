#pragma once
// What the program's binaries may import at load time, read from their import
// tables: the checks of the Wine suite and of the native check of the shipped
// 32-bit binaries.

#include "image/PeImageView.h"

#include <cstdint>
#include <set>
#include <string>

namespace ImportRules {

// Lines naming every import that Windows 95 or NT 4 lacks (a library they do
// not carry, or an entry point added later) and a subsystem version above
// 4.0; "" when the binary loads on both.
std::string LoadTimeProblems(const PeImageView& view, const std::string& path);

// Imports from the program's own libraries; *byName counts those bound by name.
int OwnLibraryImports(const PeImageView& view, int* byName);

// The drawing library's ordinals the image imports, and those the program's
// parts use.
std::set<uint32_t> DrawingOrdinals(const PeImageView& view);
const std::set<uint32_t>& DrawingOrdinalsUsed();

} // namespace ImportRules

#pragma once

#include <string>

// Default values of keys under HKEY_CLASSES_ROOT, for tests that register a
// file type or a protocol handler and put the old one back.
namespace ClassesRoot {
// The key's default value; empty when there is none.
std::string Value(const char* key);
void SetValue(const char* key, const std::string& value);
} // namespace ClassesRoot

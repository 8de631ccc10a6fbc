#pragma once

#include <cstddef>
#include <cstdint>

// The acceptance rule of the settings file, on plain bytes (no OS calls).
class SettingsRecordCheck {
public:
    static const uint32_t kSize = 778;
    static const uint32_t kVersion = 0x00020006;
    static const uint32_t kRevision = 3;

    // `record` holds the defaults (kSize bytes). The file's bytes (at most
    // kSize of them are looked at) are laid over a copy of it; the copy is
    // accepted, and written back to `record`, when its version is the current
    // one, its revision not newer and its size not larger. A short file
    // leaves the defaults in the part it does not cover.
    static bool Apply(const uint8_t* file, size_t fileSize, uint8_t* record);
};

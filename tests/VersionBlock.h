#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Builds raw version resources: records of length, value length, type, key, value, children.
class VersionBlock {
public:
    static std::vector<uint8_t> Record(const std::u16string& key, const std::vector<uint8_t>& value, bool text,
                                       uint16_t valueLength, const std::vector<std::vector<uint8_t>>& children)
    {
        std::vector<uint8_t> out(6, 0);
        for (char16_t c : key) {
            out.push_back(static_cast<uint8_t>(c));
            out.push_back(static_cast<uint8_t>(c >> 8));
        }
        out.push_back(0);
        out.push_back(0);
        Pad(out);
        out.insert(out.end(), value.begin(), value.end());
        for (const auto& child : children) {
            Pad(out);
            out.insert(out.end(), child.begin(), child.end());
        }
        out[0] = static_cast<uint8_t>(out.size());
        out[1] = static_cast<uint8_t>(out.size() >> 8);
        out[2] = static_cast<uint8_t>(valueLength);
        out[3] = static_cast<uint8_t>(valueLength >> 8);
        out[4] = text ? 1 : 0;
        return out;
    }
    static std::vector<uint8_t> String(const std::u16string& key, const std::u16string& value)
    {
        std::vector<uint8_t> bytes;
        for (char16_t c : value) {
            bytes.push_back(static_cast<uint8_t>(c));
            bytes.push_back(static_cast<uint8_t>(c >> 8));
        }
        bytes.push_back(0);
        bytes.push_back(0);
        return Record(key, bytes, true, static_cast<uint16_t>(value.size() + 1), {});
    }
    static std::vector<uint8_t> Root(uint32_t versionMS, uint32_t versionLS,
                                     const std::vector<std::vector<uint8_t>>& children)
    {
        std::vector<uint8_t> fixed(52, 0);
        const uint32_t words[4] = {0xFEEF04BDu, 0x00010000u, versionMS, versionLS};
        std::memcpy(fixed.data(), words, sizeof(words));
        return Record(u"VS_VERSION_INFO", fixed, false, 52, children);
    }
    static void Pad(std::vector<uint8_t>& bytes)
    {
        while (bytes.size() % 4) bytes.push_back(0);
    }
};

#include <doctest/doctest.h>

#include "tests/TestPaths.h"
#include "sysutils/Crc32.h"
#include "sysutils/Md5.h"
#include "sysutils/Orvo_SystemUtilities.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {
std::string Hex(const unsigned char digest[16])
{
    char text[33];
    for (int i = 0; i < 16; ++i) snprintf(text + i * 2, 3, "%02x", digest[i]);
    return text;
}

std::string Md5Of(const std::string& text)
{
    Md5 md5;
    md5.Update(text.data(), text.size());
    unsigned char digest[16];
    md5.Final(digest);
    return Hex(digest);
}
} // namespace

TEST_SUITE("checksums")
{
    TEST_CASE("CRC-32")
    {
        CHECK(Crc32Checksum::Compute("abc", 3) == 0x352441C2u);
        CHECK(Crc32Checksum::Compute("", 0) == 0u);
        CHECK(Crc32Checksum::Compute("123456789", 9) == 0xCBF43926u);
        // Running updates equal one pass.
        uint32_t crc = Crc32Checksum::Update(0, "1234", 4);
        CHECK(Crc32Checksum::Update(crc, "56789", 5) == 0xCBF43926u);
    }

    TEST_CASE("MD5 against the RFC 1321 test suite")
    {
        CHECK(Md5Of("") == "d41d8cd98f00b204e9800998ecf8427e");
        CHECK(Md5Of("a") == "0cc175b9c0f1b6a831c399e269772661");
        CHECK(Md5Of("abc") == "900150983cd24fb0d6963f7d28e17f72");
        CHECK(Md5Of("message digest") == "f96b697d7cb7938d525a2f31aaf161d0");
        CHECK(Md5Of("abcdefghijklmnopqrstuvwxyz") == "c3fcd3d76192e4007dfb496cca67e13b");
        CHECK(Md5Of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")
              == "d174ab98d277d9f5a5611c2c9f419d9f");
        CHECK(Md5Of("1234567890123456789012345678901234567890123456789012345678901234567890123456789"
                    "0")
              == "57edf4a22be3c955ac49da2e2107b67a");
    }

    TEST_CASE("MD5 in odd-sized pieces equals one pass")
    {
        std::string data;
        for (int i = 0; i < 1000; ++i) data += static_cast<char>(i * 7);
        Md5 pieces;
        size_t offset = 0;
        for (size_t step = 1; offset < data.size(); step = step * 3 % 71 + 1) {
            size_t take = std::min(step, data.size() - offset);
            pieces.Update(data.data() + offset, take);
            offset += take;
        }
        unsigned char digest[16];
        pieces.Final(digest);
        CHECK(Hex(digest) == Md5Of(data));
    }

    TEST_CASE("FileMD5 reads a file across block boundaries")
    {
        std::string folder = TestPaths::MakeScratchFolder("md5");
        std::string path = folder + "\\data.bin";
        std::string data(40000, '\0');
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 + 7);
        REQUIRE(TestPaths::WriteFile(path, data.data(), data.size()));

        BYTE digest[16] = {};
        CHECK(FileMD5(path.c_str(), digest) == 1);
        CHECK(Hex(digest) == Md5Of(data));

        SetLastError(0);
        CHECK(FileMD5(nullptr, digest) == 0);
        CHECK(GetLastError() == ERROR_INVALID_ADDRESS);
        CHECK(FileMD5(path.c_str(), nullptr) == 0);
        CHECK(FileMD5((folder + "\\missing.bin").c_str(), digest) == 0);
        CHECK(GetLastError() == ERROR_FILE_NOT_FOUND);
        TestPaths::RemoveTree(folder);
    }
}

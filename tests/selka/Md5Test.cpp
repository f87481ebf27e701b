// MD5: the RFC 1321 test suite, and OpenSSL's MD5 as an independent reference
// over lengths around the 64-byte block and 56-byte padding boundaries.
#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "selka/Md5.h"
#include "Rfc1321Vectors.h"

namespace {
void OpenSslMd5(const unsigned char* data, size_t size, unsigned char digest[16])
{
    unsigned int length = 0;
    ASSERT_EQ(EVP_Digest(data, size, digest, &length, EVP_md5(), nullptr), 1);
    ASSERT_EQ(length, 16u);
}

std::string Hex(const void* data, size_t size)
{
    char text[33];
    selka::Md5::HexDigest(data, size, text);
    return text;
}
} // namespace

TEST(Md5, Rfc1321Suite)
{
    for (const auto& c : kRfc1321Suite)
        EXPECT_EQ(Hex(c.first, std::strlen(c.first)), c.second) << '"' << c.first << '"';
    EXPECT_EQ(Hex(nullptr, 0), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(Md5, AgreesWithOpenSsl)
{
    std::mt19937 rng(1321);
    std::vector<unsigned char> data(4200);
    for (auto& b : data)
        b = static_cast<unsigned char>(rng());
    for (size_t size = 0; size <= data.size(); size += (size < 300 ? 1 : 97)) {
        unsigned char ref[16];
        OpenSslMd5(data.data(), size, ref);
        char want[33];
        for (int i = 0; i < 16; ++i)
            std::snprintf(want + 2 * i, 3, "%02x", ref[i]);
        ASSERT_EQ(Hex(data.data(), size), want) << size << " bytes";
    }
    // Fed in uneven pieces, the digest is the same as in one piece.
    selka::Md5 md5;
    for (size_t at = 0, step = 1; at < data.size(); at += step, step = step * 3 % 127 + 1)
        md5.Update(data.data() + at, std::min(step, data.size() - at));
    uint8_t digest[16];
    md5.Final(digest);
    unsigned char ref[16];
    OpenSslMd5(data.data(), data.size(), ref);
    EXPECT_EQ(std::memcmp(digest, ref, 16), 0);
}

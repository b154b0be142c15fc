// Independent answers for the cryptography tests: a plain RC4 written from the
// algorithm, and MD5 digests computed outside this code base, so no expected value
// comes from the layer under test.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

using Bytes = std::vector<uint8_t>;

inline Bytes ReferenceRc4(const Bytes& key, Bytes data) {
  uint8_t s[256];
  for (int i = 0; i < 256; ++i) s[i] = static_cast<uint8_t>(i);
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + s[i] + key[i % key.size()]) & 0xFF;
    std::swap(s[i], s[j]);
  }
  int i = 0, j = 0;
  for (uint8_t& b : data) {
    i = (i + 1) & 0xFF;
    j = (j + s[i]) & 0xFF;
    std::swap(s[i], s[j]);
    b ^= s[(s[i] + s[j]) & 0xFF];
  }
  return data;
}

struct KnownDigest {
  std::string pass;
  std::array<uint8_t, 16> md5;
};
// MD5("abc") and MD5("") from RFC 1321's test suite; the 8-byte pass by a separate tool.
inline const KnownDigest kMd5Abc{"abc", {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0, 0xd6, 0x96, 0x3f, 0x7d,
                                         0x28, 0xe1, 0x7f, 0x72}};
inline const KnownDigest kMd5Empty{"", {0xd4, 0x1d, 0x8c, 0xd9, 0x8f, 0x00, 0xb2, 0x04, 0xe9, 0x80, 0x09, 0x98,
                                        0xec, 0xf8, 0x42, 0x7e}};
inline const KnownDigest kMd5EightBytes{"q7Rz2mXe", {0xa7, 0xbc, 0xe0, 0x61, 0xca, 0x21, 0xe1, 0x60, 0xe7, 0xbe,
                                                     0xf4, 0x39, 0x1e, 0x91, 0xb6, 0x9f}};

// The base provider's default RC4 key: 40 bits of the digest, then 11 zero bytes of salt.
inline Bytes SaltedFortyBitKey(const KnownDigest& d) {
  Bytes key(d.md5.begin(), d.md5.begin() + 5);
  key.resize(16, 0);
  return key;
}

// Deterministic text that is not periodic in any small block size.
inline Bytes SampleText(size_t size, uint32_t seed = 1) {
  Bytes out(size);
  for (uint8_t& b : out) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(seed >> 24);
  }
  return out;
}

}  // namespace testing_support

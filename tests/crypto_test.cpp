#include "platform/crypto.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/crypto_handles.h"
#include "tests/test_support.h"

namespace sw {
namespace {

Text digestOf(HashAlgorithm algorithm, std::string_view data, size_t piece) {
  CryptoContext provider = CryptoContext::acquire();
  CryptoHash hash = CryptoHash::create(provider, algorithm);
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
  for (size_t at = 0; at < data.size(); at += piece) {
    hash.hashData(bytes + at, static_cast<uint32_t>(std::min(piece, data.size() - at)));
  }
  return hash.hexValue();
}

TEST(CryptoTest, KnownAnswersInAnyPieces) {
  const std::string million(1000000, 'a');
  const struct {
    std::string data;
    const char* md5;
    const char* sha1;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"123456789", "25f9e794323b453885f5181f1b624d0b", "f7c3bc1d808e04732adf679965ccc34ca7ae3441"},
      {million, "7707d6ae4e027c70eea2a935c2296f21", "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
  };
  for (const auto& c : cases) {
    for (size_t piece :
         {size_t{1}, size_t{3}, size_t{64}, size_t{65}, size_t{4096}, c.data.size() + 1}) {
      if (piece == 1 && c.data.size() > 1000) continue;
      EXPECT_EQ(digestOf(HashAlgorithm::kMd5, c.data, piece), c.md5) << piece;
      EXPECT_EQ(digestOf(HashAlgorithm::kSha1, c.data, piece), c.sha1) << piece;
    }
  }
}

TEST(CryptoTest, ZeroHandlesFailWithoutEffect) {
  CryptHashHandle hash = 0;
  EXPECT_FALSE(cryptCreateHash(0, HashAlgorithm::kMd5, &hash));
  EXPECT_EQ(hash, 0u);
  const uint8_t data[3] = {1, 2, 3};
  EXPECT_FALSE(cryptHashData(0, data, 3));
  uint32_t size = 0, length = sizeof size;
  EXPECT_FALSE(
      cryptGetHashParam(0, HashParam::kHashSize, reinterpret_cast<uint8_t*>(&size), &length));
  EXPECT_EQ(size, 0u);
  EXPECT_FALSE(cryptDestroyHash(0));
  EXPECT_FALSE(cryptReleaseContext(0));
  EXPECT_EQ(CryptoHash().hexValue(), "");
}

TEST(CryptoTest, HashParameters) {
  CryptoContext provider = CryptoContext::acquire();
  ASSERT_NE(provider.get(), 0u);
  for (auto [algorithm, want] :
       {std::pair{HashAlgorithm::kMd5, 16u}, {HashAlgorithm::kSha1, 20u}}) {
    CryptoHash hash = CryptoHash::create(provider, algorithm);
    uint32_t size = 0, length = sizeof size;
    ASSERT_TRUE(cryptGetHashParam(hash.get(), HashParam::kHashSize,
                                  reinterpret_cast<uint8_t*>(&size), &length));
    EXPECT_EQ(size, want);
    EXPECT_EQ(length, 4u);
    uint8_t small[8];
    uint32_t smallLength = sizeof small;
    EXPECT_FALSE(cryptGetHashParam(hash.get(), HashParam::kHashValue, small, &smallLength));
    EXPECT_EQ(smallLength, want);
    // The value can be asked twice; the hash takes no more data once finished.
    const Text first = hash.hexValue();
    EXPECT_EQ(hash.hexValue(), first);
    const uint8_t more = 'x';
    EXPECT_FALSE(cryptHashData(hash.get(), &more, 1));
  }
}

// Hashes on one provider run side by side on several threads.
TEST(CryptoTest, OneProviderServesSeveralHashes) {
  CryptoContext provider = CryptoContext::acquire();
  CryptoHash a = CryptoHash::create(provider, HashAlgorithm::kSha1);
  CryptoHash b = CryptoHash::create(provider, HashAlgorithm::kSha1);
  a.hashData(reinterpret_cast<const uint8_t*>("ab"), 1);
  b.hashData(reinterpret_cast<const uint8_t*>("abc"), 3);
  a.hashData(reinterpret_cast<const uint8_t*>("bc"), 2);
  EXPECT_EQ(a.hexValue(), b.hexValue());
}

}  // namespace
}  // namespace sw

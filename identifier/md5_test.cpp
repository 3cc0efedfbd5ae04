#include "identifier/md5.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace hwid {
namespace {

std::string hex_of_pieces(const std::string& text,
                          const std::vector<std::uint32_t>& pieces) {
  Md5Digest digest;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::uint32_t offset = 0;
  for (std::uint32_t piece : pieces) {
    digest.update(bytes + offset, piece);
    offset += piece;
  }
  digest.update(bytes + offset, static_cast<std::uint32_t>(text.size()) - offset);
  digest.finalize();
  return digest.hex_digest();
}

// calloc's zero pages cost neither the time nor the memory of writing
// gigabytes of zeros.
using ZeroBuffer = std::unique_ptr<unsigned char, decltype(&std::free)>;
ZeroBuffer zero_buffer(std::size_t size) {
  return ZeroBuffer(static_cast<unsigned char*>(std::calloc(size, 1)), &std::free);
}

TEST(Md5Test, Rfc1321TestSuite) {
  const struct {
    const char* text;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"1234567890123456789012345678901234567890"
       "1234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(md5_hex(c.text), c.digest) << '"' << c.text << '"';
    EXPECT_EQ(Md5Digest(c.text).hex_digest(), c.digest) << '"' << c.text << '"';
  }
}

// Lengths around the block and padding boundaries: below 56 the padding
// fits the last block, from 56 to 63 it needs one more.
TEST(Md5Test, LengthsAroundPaddingBoundaries) {
  const struct {
    std::size_t length;
    const char* digest;
  } cases[] = {
      {55, "ef1772b6dff9a122358552954ad0df65"},
      {56, "3b0c8ac703f828b04c6c197006d17218"},
      {63, "b06521f39153d618550606be297466d5"},
      {64, "014842d480b571495a4a0363793f7367"},
      {65, "c743a45e0d2e6a95cb859adae0248435"},
      {119, "8a7bd0732ed6a28ce75f6dabc90e1613"},
      {120, "5f61c0ccad4cac44c75ff505e1f1e537"},
      {128, "e510683b3f5ffe4093d021808bc6ff70"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(md5_hex(std::string(c.length, 'a')), c.digest) << c.length;
  }
}

TEST(Md5Test, PiecesGiveTheSameDigestAsTheWhole) {
  std::string text;
  for (int k = 0; k < 300; ++k) text += static_cast<char>(k * 7 + 3);
  const std::string whole = md5_hex(text);

  const std::vector<std::vector<std::uint32_t>> splits = {
      {0, 0},       {63, 1},     {64},
      {65},         {128, 3},    {1, 63, 64},
      {56, 8, 200}, {0, 300, 0}, {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10},
  };
  for (const auto& split : splits) {
    EXPECT_EQ(hex_of_pieces(text, split), whole) << "first piece " << split[0];
  }
  const std::vector<std::uint32_t> one_at_a_time(text.size(), 1);
  EXPECT_EQ(hex_of_pieces(text, one_at_a_time), whole);
}

TEST(Md5Test, HexDigestIsEmptyUntilFinalized) {
  Md5Digest digest;
  EXPECT_EQ(digest.hex_digest(), "");
  const unsigned char abc[] = {'a', 'b', 'c'};
  digest.update(abc, 3);
  EXPECT_EQ(digest.hex_digest(), "");
  digest.update(nullptr, 0);
  digest.finalize();
  EXPECT_EQ(digest.hex_digest(), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5Test, SecondFinalizeChangesNothing) {
  Md5Digest digest("abc");
  digest.finalize();
  EXPECT_EQ(digest.hex_digest(), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5Test, RenderingIsAlways32LowerCaseHexCharacters) {
  for (int k = 0; k < 2000; ++k) {
    const std::string hex = md5_hex(std::to_string(k));
    ASSERT_EQ(hex.size(), 32u) << k;
    ASSERT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos)
        << k << ": " << hex;
  }
}

// More than 2^32 bits: the bit count must carry into its high word, both
// when many small updates wrap the low word and when one update is
// longer than 2^29 bytes.
TEST(Md5Test, BitCountCarriesIntoHighWord) {
  constexpr std::uint32_t kLength = (1u << 29) + 5;
  constexpr const char* kDigest = "53f83c490b7435d7e205466bfd984882";

  const std::vector<unsigned char> mebibyte(1 << 20, 0);
  Md5Digest in_pieces;
  for (int k = 0; k < 512; ++k) in_pieces.update(mebibyte.data(), 1 << 20);
  in_pieces.update(mebibyte.data(), 5);
  in_pieces.finalize();
  EXPECT_EQ(in_pieces.hex_digest(), kDigest);

  if (sizeof(void*) < 8) GTEST_SKIP() << "no room for one 512 MiB buffer";
  const ZeroBuffer zeros = zero_buffer(kLength);
  ASSERT_NE(zeros, nullptr);
  Md5Digest at_once;
  at_once.update(zeros.get(), kLength);
  at_once.finalize();
  EXPECT_EQ(at_once.hex_digest(), kDigest);
}

// The longest single update: a loop bound written as i + 64 <= length
// wraps here and runs past the input.
TEST(Md5Test, LongestSingleUpdate) {
  if (sizeof(void*) < 8) GTEST_SKIP() << "needs a 4 GiB buffer";
  constexpr std::uint32_t kLength = 0xffffffff;
  const ZeroBuffer zeros = zero_buffer(kLength);
  ASSERT_NE(zeros, nullptr);
  Md5Digest digest;
  digest.update(zeros.get(), kLength);
  digest.finalize();
  EXPECT_EQ(digest.hex_digest(), "c654ebc4b3472cfa01ade24bbbbc6d3e");
}

}  // namespace
}  // namespace hwid

#include "identifier/md5.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace hwid {
namespace {

// 0x80 then zeros: the most padding one message ever needs.
constexpr unsigned char kPadding[64] = {0x80};

// Hex rendering: two characters per digest byte plus the terminator.
constexpr std::size_t kHexDigestBufferSize = 33;

std::uint32_t load_le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void store_le32(unsigned char* p, std::uint32_t value) {
  p[0] = static_cast<unsigned char>(value);
  p[1] = static_cast<unsigned char>(value >> 8);
  p[2] = static_cast<unsigned char>(value >> 16);
  p[3] = static_cast<unsigned char>(value >> 24);
}

constexpr std::uint32_t rotate_left(std::uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}

// The auxiliary functions, each rearranged (with the same result) so that
// b, the word the previous step just produced, enters as late as possible:
// the rest can be computed while that step is still running, which shortens
// the chain of dependent instructions through the 64 steps.
std::uint32_t aux_f(std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return d ^ (b & (c ^ d));  // (b & c) | (~b & d)
}
std::uint32_t aux_g(std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return (c & ~d) + (b & d);  // (b & d) | (c & ~d); the terms share no bit
}
std::uint32_t aux_h(std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return b ^ (c ^ d);
}
std::uint32_t aux_i(std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return c ^ (b | ~d);
}

// One MD5 operation: a = b + ((a + aux(b, c, d) + x + t) <<< s).
// x + t and a are summed first because they do not wait on b.
template <std::uint32_t (*aux)(std::uint32_t, std::uint32_t, std::uint32_t)>
void step(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
          std::uint32_t x, std::uint32_t t, int s) {
  a = b + rotate_left(a + (x + t) + aux(b, c, d), s);
}

// The MD5 compression function (RFC 1321, section 3.4) over `block_count`
// consecutive 64-byte blocks. The chaining value stays in registers from
// one block to the next rather than making a round trip through memory on
// the critical path.
void compress(std::uint32_t (&state)[4], const unsigned char* blocks,
              std::uint32_t block_count) {
  std::uint32_t chain_a = state[0], chain_b = state[1], chain_c = state[2],
                chain_d = state[3];
  for (; block_count > 0; --block_count, blocks += 64) {
    std::uint32_t x[16];
    for (std::size_t k = 0; k < 16; ++k) x[k] = load_le32(&blocks[4 * k]);

    std::uint32_t a = chain_a, b = chain_b, c = chain_c, d = chain_d;

    // Round 1.
    step<aux_f>(a, b, c, d, x[0], 0xd76aa478, 7);
    step<aux_f>(d, a, b, c, x[1], 0xe8c7b756, 12);
    step<aux_f>(c, d, a, b, x[2], 0x242070db, 17);
    step<aux_f>(b, c, d, a, x[3], 0xc1bdceee, 22);
    step<aux_f>(a, b, c, d, x[4], 0xf57c0faf, 7);
    step<aux_f>(d, a, b, c, x[5], 0x4787c62a, 12);
    step<aux_f>(c, d, a, b, x[6], 0xa8304613, 17);
    step<aux_f>(b, c, d, a, x[7], 0xfd469501, 22);
    step<aux_f>(a, b, c, d, x[8], 0x698098d8, 7);
    step<aux_f>(d, a, b, c, x[9], 0x8b44f7af, 12);
    step<aux_f>(c, d, a, b, x[10], 0xffff5bb1, 17);
    step<aux_f>(b, c, d, a, x[11], 0x895cd7be, 22);
    step<aux_f>(a, b, c, d, x[12], 0x6b901122, 7);
    step<aux_f>(d, a, b, c, x[13], 0xfd987193, 12);
    step<aux_f>(c, d, a, b, x[14], 0xa679438e, 17);
    step<aux_f>(b, c, d, a, x[15], 0x49b40821, 22);

    // Round 2.
    step<aux_g>(a, b, c, d, x[1], 0xf61e2562, 5);
    step<aux_g>(d, a, b, c, x[6], 0xc040b340, 9);
    step<aux_g>(c, d, a, b, x[11], 0x265e5a51, 14);
    step<aux_g>(b, c, d, a, x[0], 0xe9b6c7aa, 20);
    step<aux_g>(a, b, c, d, x[5], 0xd62f105d, 5);
    step<aux_g>(d, a, b, c, x[10], 0x02441453, 9);
    step<aux_g>(c, d, a, b, x[15], 0xd8a1e681, 14);
    step<aux_g>(b, c, d, a, x[4], 0xe7d3fbc8, 20);
    step<aux_g>(a, b, c, d, x[9], 0x21e1cde6, 5);
    step<aux_g>(d, a, b, c, x[14], 0xc33707d6, 9);
    step<aux_g>(c, d, a, b, x[3], 0xf4d50d87, 14);
    step<aux_g>(b, c, d, a, x[8], 0x455a14ed, 20);
    step<aux_g>(a, b, c, d, x[13], 0xa9e3e905, 5);
    step<aux_g>(d, a, b, c, x[2], 0xfcefa3f8, 9);
    step<aux_g>(c, d, a, b, x[7], 0x676f02d9, 14);
    step<aux_g>(b, c, d, a, x[12], 0x8d2a4c8a, 20);

    // Round 3.
    step<aux_h>(a, b, c, d, x[5], 0xfffa3942, 4);
    step<aux_h>(d, a, b, c, x[8], 0x8771f681, 11);
    step<aux_h>(c, d, a, b, x[11], 0x6d9d6122, 16);
    step<aux_h>(b, c, d, a, x[14], 0xfde5380c, 23);
    step<aux_h>(a, b, c, d, x[1], 0xa4beea44, 4);
    step<aux_h>(d, a, b, c, x[4], 0x4bdecfa9, 11);
    step<aux_h>(c, d, a, b, x[7], 0xf6bb4b60, 16);
    step<aux_h>(b, c, d, a, x[10], 0xbebfbc70, 23);
    step<aux_h>(a, b, c, d, x[13], 0x289b7ec6, 4);
    step<aux_h>(d, a, b, c, x[0], 0xeaa127fa, 11);
    step<aux_h>(c, d, a, b, x[3], 0xd4ef3085, 16);
    step<aux_h>(b, c, d, a, x[6], 0x04881d05, 23);
    step<aux_h>(a, b, c, d, x[9], 0xd9d4d039, 4);
    step<aux_h>(d, a, b, c, x[12], 0xe6db99e5, 11);
    step<aux_h>(c, d, a, b, x[15], 0x1fa27cf8, 16);
    step<aux_h>(b, c, d, a, x[2], 0xc4ac5665, 23);

    // Round 4.
    step<aux_i>(a, b, c, d, x[0], 0xf4292244, 6);
    step<aux_i>(d, a, b, c, x[7], 0x432aff97, 10);
    step<aux_i>(c, d, a, b, x[14], 0xab9423a7, 15);
    step<aux_i>(b, c, d, a, x[5], 0xfc93a039, 21);
    step<aux_i>(a, b, c, d, x[12], 0x655b59c3, 6);
    step<aux_i>(d, a, b, c, x[3], 0x8f0ccc92, 10);
    step<aux_i>(c, d, a, b, x[10], 0xffeff47d, 15);
    step<aux_i>(b, c, d, a, x[1], 0x85845dd1, 21);
    step<aux_i>(a, b, c, d, x[8], 0x6fa87e4f, 6);
    step<aux_i>(d, a, b, c, x[15], 0xfe2ce6e0, 10);
    step<aux_i>(c, d, a, b, x[6], 0xa3014314, 15);
    step<aux_i>(b, c, d, a, x[13], 0x4e0811a1, 21);
    step<aux_i>(a, b, c, d, x[4], 0xf7537e82, 6);
    step<aux_i>(d, a, b, c, x[11], 0xbd3af235, 10);
    step<aux_i>(c, d, a, b, x[2], 0x2ad7d2bb, 15);
    step<aux_i>(b, c, d, a, x[9], 0xeb86d391, 21);

    chain_a += a;
    chain_b += b;
    chain_c += c;
    chain_d += d;
  }
  state[0] = chain_a;
  state[1] = chain_b;
  state[2] = chain_c;
  state[3] = chain_d;
}

}  // namespace

Md5Digest::Md5Digest()
    : finalized_(false),
      buffer_{},
      count_{0, 0},
      state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476},
      digest_{} {}

Md5Digest::Md5Digest(std::string_view text) : Md5Digest() {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t remaining = text.size();
  // update() counts in 32 bits; a longer text goes in pieces.
  constexpr std::size_t kMaxPiece = std::numeric_limits<std::uint32_t>::max();
  while (remaining > 0) {
    const std::size_t piece = remaining < kMaxPiece ? remaining : kMaxPiece;
    update(bytes, static_cast<std::uint32_t>(piece));
    bytes += piece;
    remaining -= piece;
  }
  finalize();
}

void Md5Digest::update(const unsigned char* input, std::uint32_t length) {
  if (length == 0) return;  // input may then be null
  std::uint32_t index = (count_[0] >> 3) & 63;
  const std::uint32_t added_bits = length << 3;
  count_[0] += added_bits;
  if (count_[0] < added_bits) ++count_[1];
  count_[1] += length >> 29;

  const std::uint32_t first_part = 64 - index;
  std::uint32_t i = 0;
  if (length >= first_part) {
    std::memcpy(&buffer_[index], input, first_part);
    transform(buffer_);
    // The further whole blocks are compressed where the caller has them.
    // Counting them by division keeps i + 64 from wrapping near 2^32.
    i = first_part;
    const std::uint32_t in_place_blocks = (length - i) / 64;
    compress(state_, &input[i], in_place_blocks);
    i += in_place_blocks * 64;
    index = 0;
  }
  std::memcpy(&buffer_[index], &input[i], length - i);
}

void Md5Digest::finalize() {
  if (finalized_) return;
  unsigned char length_field[8];
  store_le32(&length_field[0], count_[0]);
  store_le32(&length_field[4], count_[1]);

  const std::uint32_t index = (count_[0] >> 3) & 63;
  const std::uint32_t pad_length = index < 56 ? 56 - index : 120 - index;
  update(kPadding, pad_length);
  update(length_field, sizeof length_field);

  for (std::size_t k = 0; k < 4; ++k) store_le32(&digest_[4 * k], state_[k]);

  std::memset(buffer_, 0, sizeof buffer_);
  count_[0] = 0;
  count_[1] = 0;
  finalized_ = true;
}

std::string Md5Digest::hex_digest() const {
  if (!finalized_) return {};
  char text[kHexDigestBufferSize];
  for (std::size_t k = 0; k < sizeof digest_; ++k) {
    std::snprintf(&text[2 * k], sizeof text - 2 * k, "%02x", digest_[k]);
  }
  return std::string(text, 2 * sizeof digest_);
}

void Md5Digest::transform(const unsigned char* block) { compress(state_, block, 1); }

std::string md5_hex(std::string_view text) { return Md5Digest(text).hex_digest(); }

}  // namespace hwid

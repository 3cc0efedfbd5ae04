#include "identifier/md5.h"

#include <cstdio>
#include <cstring>
#include <limits>

#include "identifier/md5_constants.h"

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

// MD5 operation i: a = b + ((a + aux(b, c, d) + x[k] + t) <<< s), with k, t
// and s the step's message word, constant and rotation. x[k] + t and a are
// summed first because they do not wait on b.
template <int i, std::uint32_t (*aux)(std::uint32_t, std::uint32_t, std::uint32_t)>
void step(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
          const std::uint32_t (&x)[16]) {
  a = b + rotate_left(a + (x[kMd5MessageIndex[i]] + kMd5StepConstants[i]) + aux(b, c, d),
                      kMd5Rotations[i]);
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
    step<0, aux_f>(a, b, c, d, x);
    step<1, aux_f>(d, a, b, c, x);
    step<2, aux_f>(c, d, a, b, x);
    step<3, aux_f>(b, c, d, a, x);
    step<4, aux_f>(a, b, c, d, x);
    step<5, aux_f>(d, a, b, c, x);
    step<6, aux_f>(c, d, a, b, x);
    step<7, aux_f>(b, c, d, a, x);
    step<8, aux_f>(a, b, c, d, x);
    step<9, aux_f>(d, a, b, c, x);
    step<10, aux_f>(c, d, a, b, x);
    step<11, aux_f>(b, c, d, a, x);
    step<12, aux_f>(a, b, c, d, x);
    step<13, aux_f>(d, a, b, c, x);
    step<14, aux_f>(c, d, a, b, x);
    step<15, aux_f>(b, c, d, a, x);

    // Round 2.
    step<16, aux_g>(a, b, c, d, x);
    step<17, aux_g>(d, a, b, c, x);
    step<18, aux_g>(c, d, a, b, x);
    step<19, aux_g>(b, c, d, a, x);
    step<20, aux_g>(a, b, c, d, x);
    step<21, aux_g>(d, a, b, c, x);
    step<22, aux_g>(c, d, a, b, x);
    step<23, aux_g>(b, c, d, a, x);
    step<24, aux_g>(a, b, c, d, x);
    step<25, aux_g>(d, a, b, c, x);
    step<26, aux_g>(c, d, a, b, x);
    step<27, aux_g>(b, c, d, a, x);
    step<28, aux_g>(a, b, c, d, x);
    step<29, aux_g>(d, a, b, c, x);
    step<30, aux_g>(c, d, a, b, x);
    step<31, aux_g>(b, c, d, a, x);

    // Round 3.
    step<32, aux_h>(a, b, c, d, x);
    step<33, aux_h>(d, a, b, c, x);
    step<34, aux_h>(c, d, a, b, x);
    step<35, aux_h>(b, c, d, a, x);
    step<36, aux_h>(a, b, c, d, x);
    step<37, aux_h>(d, a, b, c, x);
    step<38, aux_h>(c, d, a, b, x);
    step<39, aux_h>(b, c, d, a, x);
    step<40, aux_h>(a, b, c, d, x);
    step<41, aux_h>(d, a, b, c, x);
    step<42, aux_h>(c, d, a, b, x);
    step<43, aux_h>(b, c, d, a, x);
    step<44, aux_h>(a, b, c, d, x);
    step<45, aux_h>(d, a, b, c, x);
    step<46, aux_h>(c, d, a, b, x);
    step<47, aux_h>(b, c, d, a, x);

    // Round 4.
    step<48, aux_i>(a, b, c, d, x);
    step<49, aux_i>(d, a, b, c, x);
    step<50, aux_i>(c, d, a, b, x);
    step<51, aux_i>(b, c, d, a, x);
    step<52, aux_i>(a, b, c, d, x);
    step<53, aux_i>(d, a, b, c, x);
    step<54, aux_i>(c, d, a, b, x);
    step<55, aux_i>(b, c, d, a, x);
    step<56, aux_i>(a, b, c, d, x);
    step<57, aux_i>(d, a, b, c, x);
    step<58, aux_i>(c, d, a, b, x);
    step<59, aux_i>(b, c, d, a, x);
    step<60, aux_i>(a, b, c, d, x);
    step<61, aux_i>(d, a, b, c, x);
    step<62, aux_i>(c, d, a, b, x);
    step<63, aux_i>(b, c, d, a, x);

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
      state_{kMd5InitialState[0], kMd5InitialState[1], kMd5InitialState[2],
             kMd5InitialState[3]},
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

int hex_digit_value(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

}  // namespace hwid

// The kernel with AVX-512: sixteen texts per vector, each auxiliary
// function one ternary-logic instruction and each rotation one instruction.
// Compiled with -mavx512f (and -mavx2 for its gathers) and called only
// where the CPU and the operating system support both.
#include <immintrin.h>

#include "recovery/search_kernel_lanes.h"

namespace hwid {
namespace {

struct Avx512Lanes {
  using Vector = __m512i;
  static constexpr std::uint32_t kWidth = 16;

  static Vector broadcast(std::uint32_t x) {
    return _mm512_set1_epi32(static_cast<int>(x));
  }
  static Vector load(const std::uint32_t* p) { return _mm512_loadu_si512(p); }
  static void store(std::uint32_t* p, Vector x) { _mm512_storeu_si512(p, x); }
  static Vector add(Vector x, Vector y) { return _mm512_add_epi32(x, y); }
  // An empty asm the compiler cannot see through: it keeps the next step's
  // a + t + x from being reassociated into a later sum, which would keep
  // the old d alive and cost a register copy before every ternary logic.
  static void keep_as_computed(Vector& x) { __asm__("" : "+v"(x)); }
  template <int s>
  static Vector rotate_left(Vector x) {
    return _mm512_rol_epi32(x, s);
  }
  // d goes first, as the operand the instruction overwrites (d is dead
  // after the step; see step()). The truth tables follow from d = 0xF0,
  // b = 0xCC, c = 0xAA.
  static Vector aux_f(Vector b, Vector c, Vector d) {
    return _mm512_ternarylogic_epi32(d, b, c, 0xB8);  // (b & c) | (~b & d)
  }
  static Vector aux_g(Vector b, Vector c, Vector d) {
    return _mm512_ternarylogic_epi32(d, b, c, 0xCA);  // (b & d) | (c & ~d)
  }
  static Vector aux_h(Vector b, Vector c, Vector d) {
    return _mm512_ternarylogic_epi32(d, b, c, 0x96);  // b ^ c ^ d
  }
  static Vector aux_i(Vector b, Vector c, Vector d) {
    return _mm512_ternarylogic_epi32(d, b, c, 0x65);  // c ^ (b | ~d)
  }
  static std::uint32_t equal_lanes(Vector x, Vector y) {
    return _mm512_cmpeq_epi32_mask(x, y);
  }
  static std::uint32_t bitmap_hits(Vector keys, const std::uint32_t* bitmap,
                                   std::uint32_t mask) {
    // Two gathers of eight: faster than one of sixteen on AMD's cores.
    const Vector bits = _mm512_and_si512(keys, _mm512_set1_epi32(static_cast<int>(mask)));
    const __m512i index = _mm512_srli_epi32(bits, 5);
    const __m256i low = _mm256_i32gather_epi32(reinterpret_cast<const int*>(bitmap),
                                               _mm512_castsi512_si256(index), 4);
    const __m256i high = _mm256_i32gather_epi32(reinterpret_cast<const int*>(bitmap),
                                                _mm512_extracti64x4_epi64(index, 1), 4);
    const Vector words = _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
    const Vector shifted =
        _mm512_srlv_epi32(words, _mm512_and_si512(bits, _mm512_set1_epi32(31)));
    return _mm512_test_epi32_mask(shifted, _mm512_set1_epi32(1));
  }
};

}  // namespace

std::uint32_t search_block_avx512(const SeedTextBlock& block, const KeyFilter& filter,
                                  KernelCandidate* out) {
  return search_block<Avx512Lanes, 7>(block, filter, out);
}

}  // namespace hwid
